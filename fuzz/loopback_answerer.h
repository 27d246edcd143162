// A minimal HTTP/1.1 server on 127.0.0.1 that answers every request with the
// status and body it was last given, and remembers the last request, so that
// a fuzz target can put arbitrary answer bytes in front of a real client.
//
// It reads a request's header block and a body of Content-Length bytes, and
// answers with that status, a Content-Length line and the body, keeping the
// connection open. Each connection is served by a thread of its own. The
// server runs for the rest of the process; it is made once per target.
#ifndef LUMERIN_FUZZ_LOOPBACK_ANSWERER_H_
#define LUMERIN_FUZZ_LOOPBACK_ANSWERER_H_

#include <mutex>
#include <string>

namespace lumerin::fuzz {

// A request as it arrived.
struct SeenRequest {
  std::string method;
  std::string target;
  std::string body;
};

class LoopbackAnswerer {
 public:
  // The one server of the process, listening on a free port of 127.0.0.1.
  // Aborts when no socket can be had.
  static LoopbackAnswerer& Get();

  LoopbackAnswerer(const LoopbackAnswerer&) = delete;
  LoopbackAnswerer& operator=(const LoopbackAnswerer&) = delete;

  // The port it listens on.
  [[nodiscard]] int port() const { return port_; }

  // Every later request is answered with `status` and `body`.
  void SetAnswer(int status, std::string body);

  // The last request answered.
  [[nodiscard]] SeenRequest LastRequest();

 private:
  LoopbackAnswerer();
  void AcceptLoop();
  void Serve(int connection);

  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  int status_ = 200;  // guarded by mutex_
  std::string body_;  // guarded by mutex_
  SeenRequest last_;  // guarded by mutex_
};

}  // namespace lumerin::fuzz

#endif  // LUMERIN_FUZZ_LOOPBACK_ANSWERER_H_
