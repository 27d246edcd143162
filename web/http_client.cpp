#include "web/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "web/ascii_case.h"
#include "web/header_text.h"
#include "web/proxy_list.h"
#include "web/server_address.h"

namespace lumerin {
namespace http {

struct InternetState {
  std::string agent;
  std::optional<ProxyList> proxies;  // present for the proxy access type
  std::string bypassList;
  ClientLimits limits;
};

struct ConnectionState {
  InternetState internet;
  std::string server;
  int port = 0;
};

struct RequestState {
  ConnectionState connection;
  std::string verb;
  std::string object;
  long httpVersion = CURL_HTTP_VERSION_1_1;
  std::uint32_t flags = 0;
  std::optional<ServerAddress> proxy;  // the proxy to go through, if any
  bool sent = false;
  bool answered = false;
  std::string headerBlock;
  std::string body;
  std::size_t bodyRead = 0;
};

void StateDeleter::operator()(InternetState* state) const { delete state; }
void StateDeleter::operator()(ConnectionState* state) const { delete state; }
void StateDeleter::operator()(RequestState* state) const { delete state; }

namespace {

// A header block larger than this fails the request, like an oversized body.
constexpr std::size_t kMaxHeaderBlockBytes = std::size_t{1} << 20;

// Idle libcurl handles kept for reuse (with their connections); more are
// freed when they come back.
constexpr std::size_t kMaxIdleHandles = 4;

// The process-wide state of the client: libcurl's global set-up, the cookie
// store shared by every request that uses cookies, and the pool of idle
// libcurl handles, each holding its kept-alive connections. Created on first
// use and torn down at process exit.
class ProcessState {
 public:
  static ProcessState& Get() {
    static ProcessState state;
    return state;
  }

  // An easy handle with default options, or null when libcurl cannot make one.
  CURL* Acquire() {
    {
      std::lock_guard<std::mutex> lock(poolMutex_);
      if (!idle_.empty()) {
        CURL* easy = idle_.back();
        idle_.pop_back();
        return easy;
      }
    }
    return curl_easy_init();
  }

  // Takes back a handle from Acquire, its options reset (its connections and
  // its share stay).
  void Release(CURL* easy) {
    // curl_easy_reset forgets the list of cookie files without freeing it;
    // clearing it first frees it (cookies kept in the share stay).
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, static_cast<char*>(nullptr));
    curl_easy_reset(easy);
    {
      std::lock_guard<std::mutex> lock(poolMutex_);
      if (idle_.size() < kMaxIdleHandles) {
        idle_.push_back(easy);
        return;
      }
    }
    curl_easy_cleanup(easy);
  }

  // The shared cookie store; null when libcurl could not make it.
  CURLSH* cookieShare() const { return cookieShare_; }

  ProcessState(const ProcessState&) = delete;
  ProcessState& operator=(const ProcessState&) = delete;

 private:
  ProcessState() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    cookieShare_ = curl_share_init();
    if (cookieShare_ == nullptr) return;
    curl_share_setopt(cookieShare_, CURLSHOPT_LOCKFUNC, &ProcessState::Lock);
    curl_share_setopt(cookieShare_, CURLSHOPT_UNLOCKFUNC, &ProcessState::Unlock);
    curl_share_setopt(cookieShare_, CURLSHOPT_USERDATA, this);
    if (curl_share_setopt(cookieShare_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) != CURLSHE_OK) {
      curl_share_cleanup(cookieShare_);
      cookieShare_ = nullptr;
    }
  }

  ~ProcessState() {
    // The handles first: a share still in use cannot be freed.
    for (CURL* easy : idle_) curl_easy_cleanup(easy);
    if (cookieShare_ != nullptr) curl_share_cleanup(cookieShare_);
    curl_global_cleanup();
  }

  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<ProcessState*>(user)->shareLocks_[static_cast<std::size_t>(data)].lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* user) {
    static_cast<ProcessState*>(user)->shareLocks_[static_cast<std::size_t>(data)].unlock();
  }

  std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks_;
  CURLSH* cookieShare_ = nullptr;
  std::mutex poolMutex_;
  std::vector<CURL*> idle_;  // guarded by poolMutex_
};

// An easy handle borrowed from the pool for one transfer.
class PooledEasy {
 public:
  PooledEasy() : easy_(ProcessState::Get().Acquire()) {}
  ~PooledEasy() {
    if (easy_ != nullptr) ProcessState::Get().Release(easy_);
  }
  PooledEasy(const PooledEasy&) = delete;
  PooledEasy& operator=(const PooledEasy&) = delete;

  [[nodiscard]] CURL* get() const { return easy_; }

 private:
  CURL* easy_;
};

// A libcurl header list, freed on destruction.
class CurlHeaderList {
 public:
  CurlHeaderList() = default;
  ~CurlHeaderList() { curl_slist_free_all(list_); }
  CurlHeaderList(const CurlHeaderList&) = delete;
  CurlHeaderList& operator=(const CurlHeaderList&) = delete;

  // False when libcurl is out of memory.
  [[nodiscard]] bool Append(const std::string& line) {
    curl_slist* longer = curl_slist_append(list_, line.c_str());
    if (longer == nullptr) return false;
    list_ = longer;
    return true;
  }
  [[nodiscard]] curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

// What the callbacks collect during one transfer.
struct Transfer {
  std::size_t maxBodyBytes = 0;
  std::string headerBlock;
  bool blockEnded = true;                    // the next status line starts a new block
  std::optional<std::string> contentLength;  // of the current block
  std::string body;
};

// The value of `line` when it is a Content-Length line, without blanks.
std::optional<std::string_view> ContentLengthValue(std::string_view line) {
  constexpr std::string_view kName = "Content-Length:";
  if (line.size() < kName.size() || !EqualsIgnoringAsciiCase(line.substr(0, kName.size()), kName)) {
    return std::nullopt;
  }
  std::string_view value = line.substr(kName.size());
  const std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string_view();
  value.remove_prefix(first);
  return value.substr(0, value.find_last_not_of(" \t") + 1);
}

// Keeps the header block of the latest answer: a status line after an ended
// block (an interim 1xx answer, a followed redirect) starts afresh, together
// with the body; lines after the final block (chunked trailers) are dropped.
// Line ends are normalised to CR LF. Two Content-Length lines that disagree
// leave the body's end in doubt, so they fail the transfer (libcurl alone
// would believe the last).
std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* user) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  const std::size_t length = size * count;
  std::string_view line(data, length);
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (transfer.blockEnded) {
    if (!line.starts_with("HTTP/")) return length;
    transfer.headerBlock.clear();
    transfer.body.clear();
    transfer.contentLength.reset();
    transfer.blockEnded = false;
  }
  if (const std::optional<std::string_view> value = ContentLengthValue(line)) {
    if (transfer.contentLength && *transfer.contentLength != *value) return 0;
    transfer.contentLength = std::string(*value);
  }
  if (transfer.headerBlock.size() + line.size() + 2 > kMaxHeaderBlockBytes) return 0;
  transfer.headerBlock.append(line).append("\r\n");
  if (line.empty()) transfer.blockEnded = true;
  return length;
}

// Collects the body, failing the transfer (returning short) as soon as it
// would exceed the limit.
std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* user) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  const std::size_t length = size * count;
  if (length > transfer.maxBodyBytes - transfer.body.size()) {
    std::string().swap(transfer.body);
    return 0;
  }
  transfer.body.append(data, length);
  return length;
}

// The caller's lines as libcurl takes them, plus the empty entries that stop
// libcurl from adding lines of its own that the caller did not write.
bool FillHeaderList(const std::vector<HeaderLine>& lines, bool proxied, CurlHeaderList& list) {
  for (const HeaderLine& line : lines) {
    // libcurl drops "Name:" with a blank value; "Name;" makes it send "Name:".
    const bool blankValue = line.value.find_first_not_of(" \t") == std::string::npos;
    if (!list.Append(blankValue ? line.name + ";" : line.name + ":" + line.value)) return false;
  }
  std::vector<std::string_view> suppressed = {"Accept", "Expect", "Content-Type"};
  if (proxied) suppressed.push_back("Proxy-Connection");
  for (std::string_view name : suppressed) {
    if (!HasHeaderLine(lines, name) && !list.Append(std::string(name) + ":")) return false;
  }
  return true;
}

std::string CurlUrl(const RequestState& request) {
  const bool secure = (request.flags & kFlagSecure) != 0;
  return std::string(secure ? "https://" : "http://") + request.connection.server + ":" +
         std::to_string(request.connection.port) + request.object;
}

// Sets every option of one transfer. False when libcurl refuses one.
bool Configure(CURL* easy, const RequestState& request, const std::vector<HeaderLine>& lines,
               const CurlHeaderList& headerList, const std::string& url,
               const std::string& proxyUrl, std::optional<ByteView> body, Transfer& transfer) {
  const InternetState& internet = request.connection.internet;
  const bool secure = (request.flags & kFlagSecure) != 0;
  const bool follow = (request.flags & kFlagNoAutoRedirect) == 0;
  const char* redirectSchemes = secure                                              ? "https"
                                : (request.flags & kFlagIgnoreRedirectToHttps) != 0 ? "http,https"
                                                                                    : "http";
  bool ok = true;
  auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
  set(curl_easy_setopt(easy, CURLOPT_URL, url.c_str()));
  set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
  set(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, redirectSchemes));
  set(curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L));
  set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
  set(curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, request.httpVersion));
  set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L));
  set(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects)));
  set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(internet.limits.connectTimeout.count())));
  set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L));
  set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                       static_cast<long>(internet.limits.stallTimeout.count())));
  // An empty proxy turns proxies off, also those of the environment; an empty
  // no-proxy list keeps the environment's from bypassing the chosen proxy.
  set(curl_easy_setopt(easy, CURLOPT_PROXY, proxyUrl.c_str()));
  set(curl_easy_setopt(easy, CURLOPT_NOPROXY, ""));

  CURLSH* cookies = ProcessState::Get().cookieShare();
  if ((request.flags & kFlagNoCookies) == 0 && cookies != nullptr) {
    set(curl_easy_setopt(easy, CURLOPT_SHARE, cookies));
    // Switches the cookie engine on; no file is read.
    set(curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""));
  } else {
    set(curl_easy_setopt(easy, CURLOPT_SHARE, static_cast<CURLSH*>(nullptr)));
  }
  if (!HasHeaderLine(lines, "User-Agent") && !internet.agent.empty()) {
    set(curl_easy_setopt(easy, CURLOPT_USERAGENT, internet.agent.c_str()));
  }
  set(curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList.get()));

  const bool post = request.verb == "POST";
  if (post || body) {
    static const char kNoBytes[] = "";
    const void* bytes = body && !body->empty() ? static_cast<const void*>(body->data()) : kNoBytes;
    set(curl_easy_setopt(easy, CURLOPT_POST, 1L));
    set(curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(body ? body->size() : 0)));
    set(curl_easy_setopt(easy, CURLOPT_POSTFIELDS, bytes));
    if (!post) set(curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str()));
  } else {
    set(curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L));
  }

  set(curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &OnHeaderLine));
  set(curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer));
  set(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &OnBodyBytes));
  set(curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer));
  return ok;
}

bool IsObjectByte(char c) { return c >= 0x21 && c <= 0x7E; }

}  // namespace

InternetHandle OpenInternet(std::string_view agent, int accessType,
                            std::optional<std::string_view> proxyList,
                            std::optional<std::string_view> bypassList,
                            const ClientLimits& limits) {
  auto state = std::make_unique<InternetState>();
  state->agent = std::string(agent.substr(0, agent.find_first_of("\r\n")));
  state->limits = limits;
  if (accessType == kInternetOpenTypeProxy) {
    if (!proxyList) return InternetHandle();
    state->proxies = ProxyList::Parse(*proxyList);
    if (!state->proxies) return InternetHandle();
    state->bypassList = std::string(bypassList.value_or(""));
  } else if (accessType != kInternetOpenTypeDirect) {
    return InternetHandle();
  }
  return InternetHandle(state.release());
}

ConnectionHandle Connect(const InternetHandle& internet, std::string_view server, int port,
                         int service) {
  if (!internet.IsOpen() || !IsServerName(server) || !IsServerPort(port) ||
      service != kInternetServiceHttp) {
    return ConnectionHandle();
  }
  return ConnectionHandle(new ConnectionState{*internet.state(), std::string(server), port});
}

RequestHandle OpenRequest(const ConnectionHandle& connection, std::string_view verb,
                          std::string_view object, std::string_view version, std::uint32_t flags) {
  if (!connection.IsOpen() || (verb != "GET" && verb != "POST")) return RequestHandle();
  if (!object.starts_with('/') || !std::all_of(object.begin(), object.end(), IsObjectByte)) {
    return RequestHandle();
  }
  auto state = std::make_unique<RequestState>();
  if (version == "HTTP/1.0") {
    state->httpVersion = CURL_HTTP_VERSION_1_0;
  } else if (version != "HTTP/1.1") {
    return RequestHandle();
  }
  state->connection = *connection.state();
  const InternetState& internet = state->connection.internet;
  if (internet.proxies && !IsBypassed(internet.bypassList, state->connection.server)) {
    state->proxy = internet.proxies->ForScheme((flags & kFlagSecure) != 0 ? "https" : "http");
    if (!state->proxy) return RequestHandle();
  }
  state->verb = std::string(verb);
  state->object = std::string(object);
  state->flags = flags;
  return RequestHandle(state.release());
}

bool SendRequest(RequestHandle& handle, std::string_view headerText, std::optional<ByteView> body) {
  RequestState* request = handle.state();
  if (request == nullptr || request->sent) return false;
  request->sent = true;
  const std::optional<std::vector<HeaderLine>> lines = ParseHeaderText(headerText);
  if (!lines) return false;
  CurlHeaderList headerList;
  if (!FillHeaderList(*lines, request->proxy.has_value(), headerList)) return false;
  const std::string url = CurlUrl(*request);
  const std::string proxyUrl =
      request->proxy ? "http://" + request->proxy->host + ":" + std::to_string(request->proxy->port)
                     : std::string();

  PooledEasy easy;
  if (easy.get() == nullptr) return false;
  Transfer transfer;
  transfer.maxBodyBytes = request->connection.internet.limits.maxBodyBytes;
  if (!Configure(easy.get(), *request, *lines, headerList, url, proxyUrl, body, transfer)) {
    return false;
  }
  if (curl_easy_perform(easy.get()) != CURLE_OK) return false;
  request->answered = true;
  request->headerBlock = std::move(transfer.headerBlock);
  request->body = std::move(transfer.body);
  return true;
}

int ReadResponse(RequestHandle& handle, std::span<std::uint8_t> buffer) {
  RequestState* request = handle.state();
  if (request == nullptr || !request->answered) return 0;
  const std::size_t count = std::min({buffer.size(), request->body.size() - request->bodyRead,
                                      static_cast<std::size_t>(std::numeric_limits<int>::max())});
  if (count == 0) return 0;
  std::memcpy(buffer.data(), request->body.data() + request->bodyRead, count);
  request->bodyRead += count;
  return static_cast<int>(count);
}

std::optional<int> QueryInfo(const RequestHandle& handle, int infoLevel, std::span<char> buffer) {
  const RequestState* request = handle.state();
  if (request == nullptr || !request->answered || infoLevel != kQueryRawHeadersCrLf) {
    return std::nullopt;
  }
  const std::string& block = request->headerBlock;
  if (block.size() + 1 > buffer.size()) return std::nullopt;
  std::memcpy(buffer.data(), block.data(), block.size());
  buffer[block.size()] = '\0';
  return static_cast<int>(block.size());
}

}  // namespace http
}  // namespace lumerin
