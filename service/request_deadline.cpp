#include "service/request_deadline.h"

#include <sys/socket.h>

namespace lumerin {
namespace {

constexpr auto kSweepInterval = std::chrono::milliseconds(500);

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void RequestDeadline::Watch::StartWaiting() { waitingSinceMs_.store(NowMs()); }

RequestDeadline::RequestDeadline(std::chrono::milliseconds limit) : limit_(limit) {
  sweeper_ = std::thread([this] { Sweep(); });
}

RequestDeadline::~RequestDeadline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  sweeper_.join();
  for (Watch* watch : watches_) delete watch;  // only if an owner forgot one
}

RequestDeadline::Watch* RequestDeadline::Add(int fd) {
  auto* watch = new Watch(fd);
  watch->StartWaiting();
  std::lock_guard<std::mutex> lock(mutex_);
  watches_.insert(watch);
  return watch;
}

void RequestDeadline::Remove(Watch* watch) {
  if (watch == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watches_.erase(watch);
  }
  delete watch;
}

void RequestDeadline::Sweep() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, kSweepInterval, [this] { return stopping_; })) {
    const std::int64_t now = NowMs();
    for (Watch* watch : watches_) {
      const std::int64_t since = watch->waitingSinceMs_.load();
      if (since == Watch::kNotWaiting || now - since <= limit_.count()) continue;
      // The descriptor is still open: its owner removes the watch first.
      shutdown(watch->fd_, SHUT_RDWR);
      watch->StopWaiting();
    }
  }
}

}  // namespace lumerin
