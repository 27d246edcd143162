#include "testsupport/linkd/linkd_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "service/link_database.h"

namespace lumerin {
namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 10000;
constexpr std::string_view kListeningPrefix = "listening on ";

std::string MakeTemporaryDirectory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/lumerin-linkd-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

// Reads one line from `fd` within `timeoutMs`; false on EOF or time-out.
bool ReadLine(int fd, int timeoutMs, std::string* line) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  line->clear();
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    pollfd readable{fd, POLLIN, 0};
    const int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (c == '\n') return true;
    line->push_back(c);
  }
}

}  // namespace

LinkdFixture::LinkdFixture(std::vector<std::string> extraArguments)
    : extraArguments_(std::move(extraArguments)), directory_(MakeTemporaryDirectory()) {
  databasePath_ = directory_ + "/links.db";
  logPath_ = directory_ + "/linkd.log";
}

LinkdFixture::~LinkdFixture() {
  if (running()) Stop();
  if (!directory_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
}

bool LinkdFixture::Start() { return !running() && StartOnPort(0); }

bool LinkdFixture::Restart() {
  if (running()) Stop();
  return (port_ != 0 && StartOnPort(port_)) || StartOnPort(0);
}

bool LinkdFixture::StartOnPort(std::uint16_t port) {
  if (directory_.empty()) return false;
  std::vector<std::string> arguments = {LUMERIN_LINKD_PATH, "--listen",
                                        "127.0.0.1:" + std::to_string(port), "--db", databasePath_};
  arguments.insert(arguments.end(), extraArguments_.begin(), extraArguments_.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const int log = open(logPath_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (log < 0) return false;
  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(log);
    return false;
  }
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child == 0) {
    // Only async-signal-safe calls between fork and exec.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(output[1], STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    syscall(SYS_close_range, 3U, ~0U, 0U);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(output[1]);
  close(log);
  if (child < 0) {
    close(output[0]);
    return false;
  }
  pid_ = child;
  std::string line;
  const bool listening =
      ReadLine(output[0], kStartTimeoutMs, &line) && line.starts_with(kListeningPrefix);
  close(output[0]);
  if (!listening) {
    Kill();
    return false;
  }
  host_ = line.substr(kListeningPrefix.size());
  const std::size_t colon = host_.rfind(':');
  port_ = static_cast<std::uint16_t>(std::atoi(host_.c_str() + colon + 1));
  return true;
}

bool LinkdFixture::WaitForExit(int timeoutMs, int* status) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const pid_t done = waitpid(pid_, status, WNOHANG);
    if (done == pid_ || (done < 0 && errno != EINTR)) {
      pid_ = -1;
      return done > 0;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

bool LinkdFixture::Stop() {
  if (!running()) return false;
  kill(pid_, SIGTERM);
  int status = 0;
  if (WaitForExit(kStopTimeoutMs, &status)) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  Kill();
  return false;
}

void LinkdFixture::Kill() {
  if (!running()) return;
  kill(pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

std::int64_t LinkdFixture::StoredRecordCount() const {
  std::unique_ptr<LinkDatabase> database;
  if (!LinkDatabase::Open(databasePath_, LinkDatabase::Access::kReadOnly, &database).ok()) {
    return -1;
  }
  std::int64_t count = 0;
  if (!database->CountLinks(&count).ok()) return -1;
  return count;
}

int LinkdFixture::RequestCount() const {
  std::ifstream log(logPath_);
  int count = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.starts_with("access ")) ++count;
  }
  return count;
}

std::string LinkdFixture::ServiceLog() const {
  std::ifstream log(logPath_);
  std::ostringstream text;
  text << log.rdbuf();
  return text.str();
}

}  // namespace lumerin
