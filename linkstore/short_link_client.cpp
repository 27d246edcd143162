#include "linkstore/short_link_client.h"

#include <utility>

#include "text/delimited.h"
#include "text/text_basic.h"
#include "text/text_convert.h"
#include "text/text_search.h"
#include "web/web_request.h"

namespace lumerin {

namespace {

// The method code of WebRequest that sends a POST.
constexpr int kPostMethod = 1;

// The answer markers: tinyurl must open the create answer's object and have a
// further member right after it; longurl must close the query answer's object.
constexpr std::string_view kShortLinkStart = "{\"tinyurl\":\"";
constexpr std::string_view kShortLinkEnd = "\",\"";
constexpr std::string_view kLongUrlStart = "\"longurl\":\"";
constexpr std::string_view kLongUrlEnd = "\"}";

// Posts `body` to `url` and gives the answer body as text (up to its first
// zero byte); the empty text on any failure.
Text PostForm(Text url, Text body) {
  WebRequestParameters request;
  request.url = std::move(url);
  request.method = kPostMethod;
  request.postText = std::move(body);
  return BytesToText(WebRequest(request));
}

// `text` with every exact occurrence of `search` removed.
Text RemoveAll(std::string_view text, std::string_view search) {
  return ReplaceText(text, search, {}, 1, kNoLimit, /*caseSensitive=*/true);
}

}  // namespace

Text CreateShortLink(const ServiceAddress& service, std::string_view longUrl) {
  const Text answer =
      PostForm(CreateEndpoint(service), ConcatText({"url=", longUrl, "&alias=&access_type=web"}));
  Text code = RemoveAll(TextBetween(answer, kShortLinkStart, kShortLinkEnd), "\\");
  // Removing one prefix can join the text around it into another (a hostile
  // "http://http://HOST/HOST/c"), so removal repeats until none is left; each
  // pass shortens the code, so this ends.
  const Text prefix = ShortLinkPrefix(service);
  while (FindText(code, prefix) != -1) code = RemoveAll(code, prefix);
  return code;
}

Text LookupShortLink(const ServiceAddress& service, std::string_view code) {
  const Text answer =
      PostForm(QueryEndpoint(service),
               ConcatText({"tinyurl=", ShortLinkPrefix(service), code, "&access_type=web"}));
  return TextBetween(answer, kLongUrlStart, kLongUrlEnd);
}

}  // namespace lumerin
