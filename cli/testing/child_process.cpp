#include "cli/testing/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <thread>

extern char** environ;

namespace lumerin::testing {
namespace {

using Clock = std::chrono::steady_clock;

// One end of a pipe; closes itself.
class Descriptor {
 public:
  Descriptor() = default;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }

  int get() const { return fd_; }
  bool open() const { return fd_ >= 0; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

bool MakePipe(Descriptor& readEnd, Descriptor& writeEnd) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  readEnd.Reset(fds[0]);
  writeEnd.Reset(fds[1]);
  return true;
}

// The caller's environment with `extra` added, each entry of `extra` replacing
// a variable of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view variable(*entry);
    const std::string_view name = variable.substr(0, variable.find('=') + 1);
    bool replaced = false;
    for (const std::string& added : extra) replaced = replaced || added.starts_with(name);
    if (!replaced) environment.emplace_back(variable);
  }
  environment.insert(environment.end(), extra.begin(), extra.end());
  return environment;
}

std::vector<char*> NullTerminated(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Reads what `from` has into `into`; closes it at its end or on an error.
void Drain(Descriptor& from, std::string& into) {
  char block[1 << 14];
  const ssize_t got = ::read(from.get(), block, sizeof block);
  if (got > 0) {
    into.append(block, static_cast<std::size_t>(got));
  } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
    from.Close();
  }
}

// Writes more of `input` from `written` on; closes `to` when all is written or
// the child no longer reads.
void Feed(Descriptor& to, std::string_view input, std::size_t& written) {
  const ssize_t put = ::write(to.get(), input.data() + written, input.size() - written);
  if (put > 0) {
    written += static_cast<std::size_t>(put);
  } else if (errno != EINTR && errno != EAGAIN) {
    to.Close();
  }
  if (written == input.size()) to.Close();
}

// Waits for `child` until `deadline`; its wait status, or nullopt at the
// deadline.
std::optional<int> WaitUntil(pid_t child, Clock::time_point deadline) {
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) return status;
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace

ChildResult RunChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                            std::string_view input, const std::vector<std::string>& environment,
                            std::chrono::milliseconds timeLimit) {
  ::signal(SIGPIPE, SIG_IGN);
  ChildResult result;
  Descriptor inRead, inWrite, outRead, outWrite, errRead, errWrite;
  if (!MakePipe(inRead, inWrite) || !MakePipe(outRead, outWrite) || !MakePipe(errRead, errWrite)) {
    return result;
  }

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, inRead.get(), STDIN_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  ::posix_spawnattr_setsigdefault(&attributes, &defaults);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp = ChildEnvironment(environment);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, program.c_str(), &actions, &attributes,
                                    NullTerminated(argv).data(), NullTerminated(envp).data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attributes);
  inRead.Close();
  outWrite.Close();
  errWrite.Close();
  if (spawned != 0) return result;

  const Clock::time_point deadline = Clock::now() + timeLimit;
  ::fcntl(inWrite.get(), F_SETFL, O_NONBLOCK);
  std::size_t written = 0;
  if (input.empty()) inWrite.Close();
  while (outRead.open() || errRead.open()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    pollfd polled[3];
    nfds_t count = 0;
    for (Descriptor* d : {&inWrite, &outRead, &errRead}) {
      const short events = d == &inWrite ? POLLOUT : POLLIN;
      if (d->open()) polled[count++] = {d->get(), events, 0};
    }
    if (::poll(polled, count, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    for (nfds_t k = 0; k < count; ++k) {
      if (polled[k].revents == 0) continue;
      if (polled[k].fd == inWrite.get()) {
        Feed(inWrite, input, written);
      } else if (polled[k].fd == outRead.get()) {
        Drain(outRead, result.output);
      } else {
        Drain(errRead, result.errors);
      }
    }
  }

  const std::optional<int> status = WaitUntil(child, deadline);
  if (!status) {
    result.timedOut = true;
    ::kill(child, SIGKILL);
    int ignored = 0;
    ::waitpid(child, &ignored, 0);
    return result;
  }
  if (WIFEXITED(*status)) result.exitStatus = WEXITSTATUS(*status);
  return result;
}

}  // namespace lumerin::testing
