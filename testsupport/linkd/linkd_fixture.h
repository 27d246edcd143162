// A running lumerin-linkd for tests of every layer.
//
// The fixture starts the real service binary on a free loopback port with a
// database in a fresh temporary directory, and gives tests what they need to
// talk to it and to check on it:
//
//   LinkdFixture linkd;
//   ASSERT_TRUE(linkd.Start());
//   ... point the client at linkd.host() ...
//   EXPECT_EQ(linkd.RequestCount(), 0);  // "no request was sent"
//   linkd.Kill();
//   ASSERT_TRUE(linkd.Restart());        // same database
//
// The destructor stops the service and removes the directory, so no process
// or file outlives a test, also when it fails. The child is also told to die
// with the thread that started it (PR_SET_PDEATHSIG), which covers a test
// program that crashes: start the fixture from a thread that outlives it
// (the test's own thread does). Not thread-safe: one thread drives a fixture.
#ifndef LUMERIN_TESTSUPPORT_LINKD_LINKD_FIXTURE_H_
#define LUMERIN_TESTSUPPORT_LINKD_LINKD_FIXTURE_H_

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumerin {

class LinkdFixture {
 public:
  // Prepares a temporary directory; starts nothing. `extraArguments` are
  // passed to every start after --listen and --db (e.g. --public-host X).
  explicit LinkdFixture(std::vector<std::string> extraArguments = {});

  LinkdFixture(const LinkdFixture&) = delete;
  LinkdFixture& operator=(const LinkdFixture&) = delete;

  // Stops the service if it runs and removes the temporary directory.
  ~LinkdFixture();

  // Starts the service on 127.0.0.1 and a free port and waits (10 s at most)
  // for its "listening on" line. False when it is already running or did not
  // come up; ServiceLog() then tells why.
  [[nodiscard]] bool Start();

  // "127.0.0.1:PORT" of the running service (of the last run after a stop).
  [[nodiscard]] const std::string& host() const { return host_; }

  // "http://" + host() + "/", the prefix of the short links it hands out.
  [[nodiscard]] std::string ShortLinkPrefix() const { return "http://" + host_ + "/"; }

  // Sends SIGTERM and waits for the exit (SIGKILL after 10 s). True when the
  // service ran and exited cleanly with status 0.
  bool Stop();

  // Sends SIGKILL and waits: the service gets no chance to clean up, as in
  // a crash.
  void Kill();

  // Stops the service if it runs, then starts it again on the same database,
  // on the same port when it is still free, else on a new one (see host()).
  [[nodiscard]] bool Restart();

  [[nodiscard]] bool running() const { return pid_ > 0; }
  [[nodiscard]] pid_t pid() const { return pid_; }

  // The database file and the temporary directory holding it.
  [[nodiscard]] const std::string& databasePath() const { return databasePath_; }
  [[nodiscard]] const std::string& directory() const { return directory_; }

  // The number of links in the database, read through a read-only
  // connection (the service may be running or not); -1 when it cannot be
  // read.
  [[nodiscard]] std::int64_t StoredRecordCount() const;

  // The number of requests the service has answered (or seen abandoned) so
  // far, over all starts: its access-log lines. Every answer is logged
  // before it is sent, so the count includes every answer a client has got.
  // Requests the HTTP layer refuses before routing them (a malformed request
  // line, headers over the memory limit) are not counted.
  [[nodiscard]] int RequestCount() const;

  // Everything the service wrote to stderr so far, over all starts.
  [[nodiscard]] std::string ServiceLog() const;

 private:
  bool StartOnPort(std::uint16_t port);
  bool WaitForExit(int timeoutMs, int* status);

  std::vector<std::string> extraArguments_;
  std::string directory_;
  std::string databasePath_;
  std::string logPath_;
  std::string host_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace lumerin

#endif  // LUMERIN_TESTSUPPORT_LINKD_LINKD_FIXTURE_H_
