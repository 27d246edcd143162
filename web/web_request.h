// One complete HTTP exchange, the way the short-link client talks to its
// service: build the header text from the caller's lines and the default
// ones, send the request through the HTTP client layer (http_client.h), read
// the whole answer body, fetch the raw answer header block, and take the
// redirect target and the cookies out of that block.
//
// The call is synchronous and keeps nothing between calls of its own; the
// HTTP client layer below it keeps the process-wide cookie store and the
// kept-alive connections.
//
// Example, the live path of the short-link client:
//   WebRequestParameters request;
//   request.url = "http://127.0.0.1:7312/create.php";
//   request.method = 1;
//   request.postText = "url=...";
//   ByteArray answer = WebRequest(request);  // empty on any failure
#ifndef LUMERIN_WEB_WEB_REQUEST_H_
#define LUMERIN_WEB_WEB_REQUEST_H_

#include <optional>

#include "text/text_types.h"

namespace lumerin {

// The User-Agent sent when the header text names none.
inline constexpr char kDefaultUserAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; QOVIX; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// The size of the buffer the raw answer header block is fetched into. A block
// that does not fit (with a terminating zero) is not fetched, and rawHeaders
// stays this many spaces.
inline constexpr int kRawHeaderBufferSize = 5000;

// The size of the blocks the answer body is read in.
inline constexpr int kBodyBlockSize = 1024;

// The inputs and outputs of one WebRequest call. Fields marked in/out are
// rewritten in place; outputs are written only once the request has been
// opened (an invalid URL leaves every field as it was).
struct WebRequestParameters {
  // The full URL, scheme prefix included ("http://host[:port]/path?query").
  Text url;
  // 1 sends "POST", any other value "GET"; a body is sent whenever it is not 0.
  int method = 0;
  // The body as text; used when method is not 0 and postBytes is empty.
  Text postText;
  // In/out. A cookie list kept by the caller ("a=1; b=2"). When present, the
  // process-wide cookie store is not used for this request, the list is sent
  // as a Cookie line when not empty, and on return it holds the list merged
  // with the answer's cookies (MergeCookies).
  std::optional<Text> cookieList;
  // Out: the name=value parts of the answer's Set-Cookie lines, joined by
  // "; " (without spaces once merged into a present cookieList).
  Text newCookies;
  // In/out: the caller's header lines joined by CR LF, without a trailing
  // CR LF. On return it holds the complete header text that was sent: the
  // caller's lines followed by the default Referer, Accept, Accept-Language
  // and Content-Type lines that were missing, and a Cookie line.
  Text extraHeaders;
  // In/out: receives the value of the answer's last Location line; when it is
  // still empty after the scan it becomes a copy of rawHeaders. A value that
  // came in is kept when the answer names no redirect target.
  Text location;
  // True returns a redirect answer as it is instead of following it.
  bool noRedirect = false;
  // In/out: the body as bytes; takes precedence over postText. When it comes
  // in empty and a body is sent, it receives the bytes of postText.
  ByteArray postBytes;
  // When present, the request goes through the HTTP proxy at this address
  // ("host:port"); an empty or unusable address makes the request fail rather
  // than go direct.
  std::optional<Text> proxy;
  // Out: the raw answer header block (status line and header lines, each
  // ended by CR LF, then the empty line), or kRawHeaderBufferSize spaces when
  // there is no answer or its block does not fit.
  Text rawHeaders;
};

// Performs the exchange described by `request` and returns the answer body;
// the empty array when the request cannot be opened, the server is
// unreachable, the exchange fails or times out, the body exceeds the client's
// limit, or the answer has no body. The HTTP status is not examined: an error
// page's body is returned like any other. Never throws.
[[nodiscard]] ByteArray WebRequest(WebRequestParameters& request);

// The scan WebRequest runs over the raw header block once the exchange is
// over: sets request.newCookies from the Set-Cookie lines of
// request.rawHeaders, request.location from its last line holding
// "Location:", merges the cookies into request.cookieList when it is present,
// and falls back to a copy of rawHeaders when location is still empty.
// Accepts any bytes in rawHeaders.
void ScanRawHeaders(WebRequestParameters& request);

}  // namespace lumerin

#endif  // LUMERIN_WEB_WEB_REQUEST_H_
