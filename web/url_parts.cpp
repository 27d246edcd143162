#include "web/url_parts.h"

#include "text/delimited.h"
#include "text/text_basic.h"
#include "text/text_blanks.h"
#include "text/text_convert.h"
#include "text/text_search.h"
#include "text/text_split.h"

namespace lumerin {

namespace {

// The host part of `lowered` (a lower-cased URL) after the scheme rules.
Text HostAfterScheme(Text lowered) {
  if (TextRight(lowered, 1) != "/") lowered += "/";
  if (TextLeft(lowered, 8) == "https://") return TextBetween(lowered, "https://", "/");
  if (FindText(lowered, "http://") == -1) lowered = ConcatText({"http://", lowered});
  return TextBetween(lowered, "http://", "/");
}

// `host` reduced to its last `labels` (at least 1) dot-separated labels, or
// unchanged when it has no more than that.
Text LastLabels(std::string_view host, int labels) {
  int dot = kWholeText;
  for (int found = 0; found < labels; ++found) {
    dot = FindTextReverse(host, ".", dot);
    if (dot == -1) return Text(host);
  }
  return TextRight(host, TextLength(host) - dot);
}

// The host reduction selected by the presence of a level count.
Text HostByLevels(std::string_view url, bool rootDomain, int levels) {
  Text t = ReplaceText(ToLowerText(url), "http://", "", 1, kNoLimit, true);
  t = ReplaceText(t, "https://", "", 1, kNoLimit, true);
  const int slash = FindText(t, "/");
  if (slash != -1) t = TextLeft(t, slash - 1);
  const int kept = (levels < 0 ? 0 : levels) + (rootDomain ? 1 : 2);
  return LastLabels(t, kept);
}

}  // namespace

Text UrlHost(std::string_view url, bool rootDomain, bool keepPort, std::optional<int> levels) {
  Text t;
  if (levels) {
    t = HostByLevels(url, rootDomain, *levels);
  } else {
    t = HostAfterScheme(ToLowerText(url));
    if (rootDomain) {
      const TextArray labels = SplitText(t, ".");
      const int count = ArrayCount(labels);
      if (count > 1) {
        t = ConcatText({ArrayElement(labels, count - 1), ".", ArrayElement(labels, count)});
      }
    }
  }
  if (keepPort) return t;
  const int colon = FindText(t, ":");
  return colon == -1 ? t : TextLeft(t, colon - 1);
}

int UrlPort(std::string_view url) {
  const Text host = UrlHost(url, false, true);
  const int colon = FindTextReverse(host, ":");
  if (colon != -1) return ToInteger(std::string_view(TextRight(host, TextLength(host) - colon)));
  return TextLeft(ToLowerText(url), 5) == "https" ? 443 : 80;
}

Text UrlPath(std::string_view url) {
  const int hostAt = FindText(url, UrlHost(url), 1, true);
  const int slash = FindText(url, "/", hostAt, true);
  if (slash == -1) return "/";
  return TextRight(url, TextLength(url) - slash + 1);
}

}  // namespace lumerin
