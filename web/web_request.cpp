#include "web/web_request.h"

#include <string>

#include "text/byte_array.h"
#include "text/delimited.h"
#include "text/text_basic.h"
#include "text/text_blanks.h"
#include "text/text_convert.h"
#include "text/text_search.h"
#include "text/text_split.h"
#include "web/cookie_merge.h"
#include "web/http_client.h"
#include "web/url_parts.h"

namespace lumerin {

namespace {

// The User-Agent value: the header text's own, else the default one.
Text ChooseAgent(std::string_view extraHeaders) {
  if (FindText(extraHeaders, "User-Agent:", 0, true) == -1) return kDefaultUserAgent;
  const Text agent = TrimBoth(TextBetween(extraHeaders, "User-Agent:", "\r\n"));
  return agent.empty() ? HeaderValue(extraHeaders) : agent;
}

std::uint32_t RequestFlags(const WebRequestParameters& request) {
  std::uint32_t flags = BitOr({kFlagReload, kFlagNeedFile});
  if (request.cookieList) flags = BitOr({flags, kFlagNoCookies});
  if (request.noRedirect) flags = BitOr({flags, kFlagNoAutoRedirect});
  const bool secure = ToLowerText(TextLeft(request.url, 5)) == "https";
  return BitOr({flags, secure ? kFlagSecure : kFlagIgnoreRedirectToHttps});
}

// Appends the default lines the header text lacks, and the caller's cookies.
void CompleteHeaderText(WebRequestParameters& request) {
  Text& headers = request.extraHeaders;
  if (FindText(headers, "Referer:") == -1) {
    headers = headers.empty() ? ConcatText({"Referer: ", request.url})
                              : ConcatText({headers, "\r\nReferer: ", request.url});
  }
  if (FindText(headers, "Accept:") == -1) headers = ConcatText({headers, "\r\nAccept: */*"});
  if (FindText(headers, "Accept-Language:") == -1) {
    headers = ConcatText({headers, "\r\nAccept-Language: zh-cn"});
  }
  if (FindText(headers, "Content-Type:") == -1) {
    headers = ConcatText({headers, "\r\nContent-Type: application/x-www-form-urlencoded"});
  }
  if (request.cookieList && !request.cookieList->empty()) {
    headers = ConcatText({headers, "\r\nCookie: ", *request.cookieList});
  }
}

// Reads the whole answer body in blocks.
ByteArray ReadBody(http::RequestHandle& handle) {
  ByteArray body;
  while (true) {
    ByteArray block = BlankBytes(kBodyBlockSize);
    const int delivered = http::ReadResponse(handle, block);
    if (delivered == 0) break;
    body.insert(body.end(), block.begin(), block.begin() + delivered);
  }
  return body;
}

// The raw header block, or kRawHeaderBufferSize spaces when it cannot be had.
Text RawHeaderBlock(const http::RequestHandle& handle) {
  Text buffer = BlankText(kRawHeaderBufferSize);
  static_cast<void>(http::QueryInfo(handle, kQueryRawHeadersCrLf, buffer));
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

ByteArray WebRequest(WebRequestParameters& request) {
  const Text verb = request.method == 1 ? "POST" : "GET";
  const Text agent = ChooseAgent(request.extraHeaders);

  http::InternetHandle internet =
      request.proxy ? http::OpenInternet(agent, kInternetOpenTypeProxy,
                                         ConcatText({"http=", *request.proxy}), "")
                    : http::OpenInternet(agent, kInternetOpenTypeDirect);
  if (!internet.IsOpen()) return ByteArray();

  http::ConnectionHandle connection =
      http::Connect(internet, UrlHost(request.url), UrlPort(request.url), kInternetServiceHttp);
  if (!connection.IsOpen()) {
    internet.Close();
    return ByteArray();
  }

  http::RequestHandle handle =
      http::OpenRequest(connection, verb, UrlPath(request.url), "HTTP/1.1", RequestFlags(request));
  if (!handle.IsOpen()) {
    connection.Close();
    internet.Close();
    return ByteArray();
  }

  CompleteHeaderText(request);
  if (request.method == 0) {
    http::SendRequest(handle, request.extraHeaders, std::nullopt);
  } else {
    if (BytesLength(request.postBytes) == 0) request.postBytes = TextToBytes(request.postText);
    http::SendRequest(handle, request.extraHeaders, ByteView(request.postBytes));
  }

  const ByteArray body = ReadBody(handle);
  request.rawHeaders = RawHeaderBlock(handle);
  handle.Close();
  connection.Close();
  internet.Close();

  ScanRawHeaders(request);
  return body;
}

void ScanRawHeaders(WebRequestParameters& request) {
  request.newCookies.clear();
  const TextArray lines = SplitText(request.rawHeaders, "\r\n");
  for (int i = 1; i <= ArrayCount(lines); ++i) {
    const Text line = ArrayElement(lines, i);
    if (FindText(line, "Location:") != -1) request.location = HeaderValue(line);
    if (FindText(line, "Set-Cookie") != -1) {
      request.newCookies =
          ConcatText({request.newCookies, TrimBoth(TextBetween(line, "Set-Cookie:", ";")), "; "});
    }
  }
  request.newCookies = TextLeft(request.newCookies, TextLength(request.newCookies) - 2);
  if (request.cookieList) MergeCookies(*request.cookieList, request.newCookies);
  if (request.location.empty()) request.location = request.rawHeaders;
}

}  // namespace lumerin
