#include "service/request_deadline.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumerin {
namespace {

using std::chrono::milliseconds;

// True when the peer of `fd` ended the stream within `timeout`.
bool SeesEndOfStream(int fd, milliseconds timeout) {
  pollfd readable{fd, POLLIN, 0};
  if (poll(&readable, 1, static_cast<int>(timeout.count())) != 1) return false;
  char byte = 0;
  return recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
}

class SocketPair {
 public:
  SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0); }
  SocketPair(const SocketPair&) = delete;
  SocketPair& operator=(const SocketPair&) = delete;
  ~SocketPair() {
    close(fds_[0]);
    close(fds_[1]);
  }
  int server() const { return fds_[0]; }
  int client() const { return fds_[1]; }

 private:
  int fds_[2] = {-1, -1};
};

TEST(RequestDeadline, ShutsDownConnectionsWaitingTooLongOnly) {
  RequestDeadline deadline(milliseconds(200));
  SocketPair slow;
  SocketPair served;
  SocketPair waitingAgain;
  RequestDeadline::Watch* slowWatch = deadline.Add(slow.server());
  RequestDeadline::Watch* servedWatch = deadline.Add(served.server());
  RequestDeadline::Watch* againWatch = deadline.Add(waitingAgain.server());
  servedWatch->StopWaiting();  // its request arrived in time
  againWatch->StopWaiting();

  EXPECT_TRUE(SeesEndOfStream(slow.client(), milliseconds(3000)));
  againWatch->StartWaiting();  // the next request's wait starts now
  EXPECT_FALSE(SeesEndOfStream(served.client(), milliseconds(100)));
  EXPECT_TRUE(SeesEndOfStream(waitingAgain.client(), milliseconds(3000)));
  EXPECT_FALSE(SeesEndOfStream(served.client(), milliseconds(600)));

  deadline.Remove(slowWatch);
  deadline.Remove(servedWatch);
  deadline.Remove(againWatch);
  deadline.Remove(nullptr);
}

}  // namespace
}  // namespace lumerin
