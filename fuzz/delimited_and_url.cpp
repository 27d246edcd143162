// Fuzzes the routines that take values out of larger texts by markers and
// separators: TextBetween, HeaderValue, the URL parts and the cookie merge,
// on arbitrary texts and markers drawn from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scan_model.h"
#include "text/delimited.h"
#include "text/text_blanks.h"
#include "text/text_convert.h"
#include "text/text_search.h"
#include "text/text_split.h"
#include "web/cookie_merge.h"
#include "web/url_parts.h"

namespace lumerin::fuzz {
namespace {

// True when `byte` stands at a character start of `text`.
bool HasByteAtCharacterStart(std::string_view text, char byte) {
  for (const std::size_t offset : CharacterStarts(text)) {
    if (text[offset] == byte) return true;
  }
  return false;
}

void CheckTextBetween(const Text& source, const Text& left, const Text& right, int start,
                      bool ignoreCase) {
  const std::initializer_list<Shown> shown = {{"source", source}, {"left", left}, {"right", right}};
  const Text value = TextBetween(source, left, right, start, ignoreCase);

  // Both markers may spell a double quote as "#引号".
  const Text leftMarker = ReplaceText(left, "#\xD2\xFD\xBA\xC5", "\"", 1, kNoLimit, true);
  const Text rightMarker = ReplaceText(right, "#\xD2\xFD\xBA\xC5", "\"", 1, kNoLimit, true);
  const int leftAt = ModelFind(source, leftMarker, start, ignoreCase);
  Text expected;
  if (leftAt != -1) {
    const std::size_t after = static_cast<std::size_t>(leftAt - 1) + leftMarker.size();
    const int rightAt = ModelFind(source, rightMarker, static_cast<int>(after + 1), ignoreCase);
    if (rightAt != -1 && static_cast<std::size_t>(rightAt - 1) > after) {
      expected = source.substr(after, static_cast<std::size_t>(rightAt - 1) - after);
    }
    Require(std::string_view(source).substr(after, value.size()) == value,
            "TextBetween's value follows the first left marker", shown);
    Require(value.empty() || BytesMatch(source, after + value.size(), rightMarker, ignoreCase),
            "TextBetween's value ends where a right marker begins", shown);
  }
  Require(value == expected,
          "TextBetween gives the text up to the first right marker after the left", shown);

  const Text header = HeaderValue(source);
  const int colon = ModelFind(source, ":", 0, false);
  Require(header == (colon == -1 ? Text() : TrimBoth(std::string_view(source).substr(colon))),
          "HeaderValue gives the trimmed text after the first colon", {{"line", source}});
}

void CheckUrlParts(const Text& url, bool rootDomain, std::optional<int> levels) {
  const std::initializer_list<Shown> shown = {{"url", url}};
  for (const bool keepPort : {false, true}) {
    const Text host = UrlHost(url, rootDomain, keepPort, levels);
    Require(ToLowerText(host) == host, "UrlHost is lower case", shown);
    Require(!HasByteAtCharacterStart(host, '/'), "UrlHost holds no \"/\"", shown);
    Require(keepPort || !HasByteAtCharacterStart(host, ':'),
            "UrlHost without the port holds no \":\"", shown);
    if (rootDomain && !levels) {
      const std::vector<std::size_t> starts = CharacterStarts(host);
      Require(std::count_if(starts.begin(), starts.end(),
                            [&host](std::size_t offset) { return host[offset] == '.'; }) <= 1,
              "UrlHost reduced to the root domain holds at most one \".\"", shown);
    }
  }

  const Text host = UrlHost(url);
  const Text hostWithPort = UrlHost(url, false, true);
  const int firstColon = ModelFind(hostWithPort, ":", 0, false);
  Require(
      host == (firstColon == -1 ? hostWithPort
                                : hostWithPort.substr(0, static_cast<std::size_t>(firstColon - 1))),
      "UrlHost is the host with its port cut at the first \":\"", shown);

  const int port = UrlPort(url);
  const int lastColon = ModelFindReverse(hostWithPort, ":", kWholeText, false);
  if (lastColon == -1) {
    const bool secure = FoldEveryByte(url.substr(0, 5)) == "https";
    Require(port == (secure ? 443 : 80), "UrlPort without a port is 443 for https, else 80", shown);
  } else {
    Require(port == ToInteger(std::string_view(hostWithPort).substr(lastColon)),
            "UrlPort reads the number after the host's last \":\"", shown);
  }

  const Text path = UrlPath(url);
  Require(!path.empty() && path.front() == '/', "UrlPath begins with \"/\"", shown);
  Require(path == "/" || std::string_view(url).ends_with(path), "UrlPath is the end of the URL",
          shown);
}

// The name of a pair that holds no blanks: the text before its first "=".
std::string_view PairName(std::string_view pair) {
  const int equals = ModelFind(pair, "=", 0, false);
  return equals == -1 ? pair : pair.substr(0, static_cast<std::size_t>(equals - 1));
}

bool IsDeleted(std::string_view pair) { return pair.ends_with("=deleted"); }

void CheckMergeCookies(const Text& stored, const Text& fresh) {
  const std::initializer_list<Shown> shown = {{"cookie list", stored}, {"new cookies", fresh}};
  Text cookieList = stored;
  Text newCookies = fresh;
  const Text merged = MergeCookies(cookieList, newCookies);

  Require(cookieList == merged, "MergeCookies stores the merged list in the cookie list", shown);
  Require(newCookies == RemoveAllSpaces(fresh),
          "MergeCookies leaves the new cookies without blanks", shown);

  const TextArray items = SplitText(merged, "; ");
  const TextArray oldPairs = SplitText(RemoveAllSpaces(stored), ";");
  const TextArray newPairs = SplitText(newCookies, ";");
  const auto contains = [](const TextArray& list, std::string_view item) {
    return std::find(list.begin(), list.end(), item) != list.end();
  };
  // The stored pairs that stay: the first of each name that no new pair has.
  TextArray keptOld;
  for (std::size_t i = 0; i < oldPairs.size(); ++i) {
    const std::string_view name = PairName(oldPairs[i]);
    const auto named = [name](const Text& pair) { return PairName(pair) == name; };
    const bool replaced =
        std::any_of(newPairs.begin(), newPairs.end(), named) ||
        std::any_of(oldPairs.begin(), oldPairs.begin() + static_cast<std::ptrdiff_t>(i), named);
    if (!replaced) keptOld.push_back(oldPairs[i]);
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    Require(!IsDeleted(items[i]), "MergeCookies keeps no deleted pair", shown);
    Require(std::find(items.begin() + static_cast<std::ptrdiff_t>(i) + 1, items.end(), items[i]) ==
                items.end(),
            "MergeCookies keeps no exact repeat", shown);
    Require(contains(newPairs, items[i]) || contains(keptOld, items[i]),
            "MergeCookies keeps only new pairs and stored pairs of names no new pair has", shown);
  }
  for (const Text& pair : newPairs) {
    Require(pair.empty() || IsDeleted(pair) || contains(items, pair),
            "MergeCookies keeps every new pair", shown);
  }
  for (const Text& pair : keptOld) {
    Require(pair.empty() || IsDeleted(pair) || contains(items, pair),
            "MergeCookies keeps the first stored pair of every name no new pair has", shown);
  }
}

}  // namespace
}  // namespace lumerin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace lumerin::fuzz;
  FuzzedDataProvider data(bytes, size);
  const std::string left = ConsumeText(data, 24);
  const std::string right = ConsumeText(data, 24);
  const std::string cookies = ConsumeText(data, 512);
  const std::string source = ConsumeText(data, 4096);
  const int start = ConsumePosition(data, source.size());
  const bool ignoreCase = data.ConsumeBool();
  const bool rootDomain = data.ConsumeBool();
  std::optional<int> levels;
  if (data.ConsumeBool()) levels = data.ConsumeIntegralInRange(-2, 6);

  CheckTextBetween(source, left, right, start, ignoreCase);
  CheckUrlParts(source, rootDomain, levels);
  CheckMergeCookies(cookies, source);
  return 0;
}
