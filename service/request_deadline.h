// A deadline on the arrival of each request, against slow clients.
//
// The HTTP server's idle time-out closes connections that go silent, but a
// client that sends one byte every second is never idle and could hold its
// connection for hours while trickling headers. RequestDeadline closes such
// connections: a connection that has been waiting longer than the limit for
// a request to arrive in full (counted from the connection's start, or from
// the end of its previous request) is shut down (shutdown(2)); the HTTP
// server then sees the end of the stream and closes it in its own way.
//
// The owner registers each connection with its socket before the first
// request and removes it before the socket is closed, so the deadline never
// touches a descriptor that may have been reused. A sweeper thread checks
// the registered connections twice per second.
#ifndef LUMERIN_SERVICE_REQUEST_DEADLINE_H_
#define LUMERIN_SERVICE_REQUEST_DEADLINE_H_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace lumerin {

class RequestDeadline {
 public:
  // One watched connection. Its methods may be called from any thread.
  class Watch {
   public:
    explicit Watch(int fd) : fd_(fd) {}

    // The connection now waits for a request; its deadline starts.
    void StartWaiting();

    // A request has arrived in full; no deadline until StartWaiting().
    void StopWaiting() { waitingSinceMs_.store(kNotWaiting); }

   private:
    friend class RequestDeadline;
    static constexpr std::int64_t kNotWaiting = -1;

    const int fd_;
    std::atomic<std::int64_t> waitingSinceMs_{kNotWaiting};
  };

  // Starts the sweeper; connections waiting longer than `limit` are shut
  // down.
  explicit RequestDeadline(std::chrono::milliseconds limit);

  RequestDeadline(const RequestDeadline&) = delete;
  RequestDeadline& operator=(const RequestDeadline&) = delete;

  // Stops the sweeper. Every Watch must have been removed.
  ~RequestDeadline();

  // Watches the connection on `fd`, waiting from now on. The result stays
  // valid until Remove().
  [[nodiscard]] Watch* Add(int fd);

  // Stops watching and frees `watch`; call before `fd` is closed. Null is
  // ignored.
  void Remove(Watch* watch);

 private:
  void Sweep();

  const std::chrono::milliseconds limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::unordered_set<Watch*> watches_;  // guarded by mutex_
  bool stopping_ = false;               // guarded by mutex_
  std::thread sweeper_;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_REQUEST_DEADLINE_H_
