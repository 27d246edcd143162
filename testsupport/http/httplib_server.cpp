#include "testsupport/http/httplib_server.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace lumerin::testsupport {

HttplibServer::HttplibServer(const std::function<void(httplib::Server&)>& routes) {
  // An idle kept-alive connection holds a server thread (and so Stop) until
  // this time-out; the library's default of 5 s would slow every test down.
  server_.set_keep_alive_timeout(1);
  routes(server_);
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ < 0) {
    std::fputs("HttplibServer: cannot bind 127.0.0.1\n", stderr);
    std::abort();
  }
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // A stop issued before the server runs would be lost, so wait for it.
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttplibServer::~HttplibServer() { Stop(); }

std::string HttplibServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

void HttplibServer::Stop() {
  if (!thread_.joinable()) return;
  server_.stop();
  thread_.join();
}

}  // namespace lumerin::testsupport
