// The HTTP client layer under WebRequest: seven operations in the shape of a
// desktop platform's HTTP client (open, connect, open a request, send, read,
// query the raw headers, close), built on libcurl. Nothing above this layer
// sees libcurl.
//
// A request runs in these steps, each step's handle made from the one before:
//   http::InternetHandle internet = http::OpenInternet(agent, kInternetOpenTypeDirect);
//   http::ConnectionHandle connection =
//       http::Connect(internet, "127.0.0.1", 7312, kInternetServiceHttp);
//   http::RequestHandle request =
//       http::OpenRequest(connection, "POST", "/create.php", "HTTP/1.1", flags);
//   http::SendRequest(request, headerText, bodyBytes);
//   while (int got = http::ReadResponse(request, block)) ...
//   std::optional<int> size = http::QueryInfo(request, kQueryRawHeadersCrLf, buffer);
//   request.Close(); connection.Close(); internet.Close();
// A failed open gives a closed handle, and every operation on a closed handle
// fails. Each handle copies what it needs from the one it was made from, so
// handles may be closed in any order; closing is idempotent, and the
// destructor closes.
//
// What goes on the wire: the request line (verb, object, version), Host, the
// agent as User-Agent unless the header text has a User-Agent line of its
// own (an empty agent sends none), the lines of the header text in their
// order, a Cookie line from the cookie store (see below), Content-Length when
// a body is sent, and the body byte for byte. Nothing else: no Accept or
// Expect line the caller did not write.
//
// The answer is read whole during SendRequest, so that ReadResponse and
// QueryInfo only hand out what arrived. A send that fails (no connection, a
// malformed answer, a time-out, an answer too large) leaves the request with
// no answer: reads deliver nothing and the header query fails.
//
// Process-wide state. Like a platform's own HTTP client, this layer keeps
// state that outlives a request, shared by every thread of the process and
// guarded by locks: an in-memory cookie store, used by every request not
// opened with kFlagNoCookies, and a small pool of libcurl handles whose
// kept-alive connections are reused, so that consecutive requests to one
// host and port share one connection. Nothing of it is written to disk.
#ifndef LUMERIN_WEB_HTTP_CLIENT_H_
#define LUMERIN_WEB_HTTP_CLIENT_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// Access types of OpenInternet.
inline constexpr int kInternetOpenTypeDirect = 1;  // no proxy, whatever the environment says
inline constexpr int kInternetOpenTypeProxy = 3;   // through the proxies of a proxy list

// The service of Connect: HTTP (plain or, with kFlagSecure, over TLS).
inline constexpr int kInternetServiceHttp = 3;

// Request flags of OpenRequest, combined by bitwise OR.
// Take the answer from the server, never a cache (this client has no cache).
inline constexpr std::uint32_t kFlagReload = 0x80000000;
// Asks a platform for a cache file; accepted and without effect here.
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010;
// Neither send stored cookies nor store the answer's.
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000;
// Return a redirect answer as it is instead of following it.
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000;
// Talk TLS (the URL scheme "https").
inline constexpr std::uint32_t kFlagSecure = 0x00800000;
// Let a followed redirect go from plain HTTP to HTTPS; without it a plain
// request follows plain redirects only. A secure request never follows a
// redirect to plain HTTP.
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000;

// The query of QueryInfo: the raw answer header block, lines ended by CR LF.
inline constexpr int kQueryRawHeadersCrLf = 22;

// The most redirects a request follows; one more fails it.
inline constexpr int kMaxRedirects = 10;

// The client's limits. They are not a setting of the programs; tests shorten
// them through OpenInternet.
struct ClientLimits {
  // Giving up on a connection that is not made within this time.
  std::chrono::milliseconds connectTimeout{10'000};
  // Failing a transfer that delivers nothing (under one byte a second) for
  // this long, waiting for the answer included.
  std::chrono::seconds stallTimeout{30};
  // Failing an answer whose body is longer than this; no more than this is
  // ever held.
  std::size_t maxBodyBytes = std::size_t{16} << 20;
};

namespace http {

struct InternetState;
struct ConnectionState;
struct RequestState;

// Frees the states behind handles (defined with the states).
struct StateDeleter {
  void operator()(InternetState* state) const;
  void operator()(ConnectionState* state) const;
  void operator()(RequestState* state) const;
};

// A handle owns its state until it is closed or destroyed; it can be moved,
// not copied. A default-constructed handle is closed.
template <typename State>
class Handle {
 public:
  Handle() = default;
  explicit Handle(State* state) : state_(state) {}

  [[nodiscard]] bool IsOpen() const { return state_ != nullptr; }
  // Releases the state; later calls do nothing.
  void Close() { state_.reset(); }
  // The state, for this layer's operations; null once closed. Its type is
  // known only inside the layer.
  [[nodiscard]] State* state() const { return state_.get(); }

 private:
  std::unique_ptr<State, StateDeleter> state_;
};

// An opened client: the agent, the access type and the limits.
using InternetHandle = Handle<InternetState>;
// A server to talk to: an opened client, a host and a port.
using ConnectionHandle = Handle<ConnectionState>;
// One request and, once sent, its answer.
using RequestHandle = Handle<RequestState>;

// Opens the client. `agent` is the User-Agent value; only its bytes before a
// first CR or LF are ever sent. With kInternetOpenTypeDirect the lists are
// not looked at and requests go straight to their server (proxy variables of
// the environment are ignored too). With kInternetOpenTypeProxy, `proxyList` must be
// a usable proxy list (proxy_list.h) and `bypassList` names the hosts reached
// directly (absent or empty: none). A closed handle for any other access type
// or an unusable list. `limits` is for tests; callers leave it out.
[[nodiscard]] InternetHandle OpenInternet(std::string_view agent, int accessType,
                                          std::optional<std::string_view> proxyList = std::nullopt,
                                          std::optional<std::string_view> bypassList = std::nullopt,
                                          const ClientLimits& limits = {});

// Names the server: `server` must be a server name (server_address.h),
// `port` in 1-65535 and `service` kInternetServiceHttp. Makes no connection
// yet. A closed handle when `internet` is closed or an argument is refused.
[[nodiscard]] ConnectionHandle Connect(const InternetHandle& internet, std::string_view server,
                                       int port, int service);

// Prepares a request: `verb` "GET" or "POST"; `object` the path and query,
// beginning with "/", of the bytes 0x21-0x7E only, sent exactly as written
// (no dot segments removed); `version` "HTTP/1.1" or "HTTP/1.0"; `flags` the
// request flags above (other bits are ignored). Through a proxy, the request
// also needs a proxy for its scheme ("http", or "https" with kFlagSecure)
// unless its host is bypassed. A closed handle when `connection` is closed or
// an argument is refused.
[[nodiscard]] RequestHandle OpenRequest(const ConnectionHandle& connection, std::string_view verb,
                                        std::string_view object, std::string_view version,
                                        std::uint32_t flags);

// Sends the request with `headerText` (header lines joined by CR LF, checked
// by ParseHeaderText: header_text.h) and, when `body` is present, that body
// with its Content-Length (a POST without a body sends an empty one), and
// reads the whole answer, following redirects unless kFlagNoAutoRedirect (at
// most kMaxRedirects; a POST answered 301, 302 or 303 goes on as a GET
// without body, as browsers do). True when an answer arrived, of any status.
// False, with no answer, when the request is closed or was sent already, the
// header text is refused, no connection is made, the answer is malformed,
// the transfer stalls or the body is longer than the limit.
bool SendRequest(RequestHandle& request, std::string_view headerText, std::optional<ByteView> body);

// Copies the next bytes of the answer body into `buffer`, as many as fit and
// remain, and returns their count: 0 at the end of the body, and when the
// request is closed or has no answer.
[[nodiscard]] int ReadResponse(RequestHandle& request, std::span<std::uint8_t> buffer);

// For kQueryRawHeadersCrLf: writes the final answer's header block (its status
// line and header lines, each ended by CR LF, then the empty line CR LF)
// followed by a zero byte into `buffer` and returns the block's length. With
// redirects followed, that is the last answer's block. nullopt, with `buffer`
// unchanged, for any other query, when the request has no answer, or when the
// block and its zero byte do not fit into `buffer`.
[[nodiscard]] std::optional<int> QueryInfo(const RequestHandle& request, int infoLevel,
                                           std::span<char> buffer);

}  // namespace http
}  // namespace lumerin

#endif  // LUMERIN_WEB_HTTP_CLIENT_H_
