// The access log: one line per request on a file descriptor (stderr).
//
// A line is "access METHOD PATH STATUS DURATIONms", e.g.
// "access POST /create.php 200 0.412ms"; status 0 means the request ended
// without an answer (the client left, or its body was cut off). It never holds a request body, a
// query string or a long URL; bytes of the path that are not printable ASCII
// are written as "?", and long paths are cut. A line is written with a single
// write(2), so lines from concurrent threads never interleave.
#ifndef LUMERIN_SERVICE_ACCESS_LOG_H_
#define LUMERIN_SERVICE_ACCESS_LOG_H_

#include <chrono>
#include <string>
#include <string_view>

namespace lumerin {

// The log line for one request, ending in "\n".
[[nodiscard]] std::string AccessLogLine(std::string_view method, std::string_view path,
                                        int httpStatus, std::chrono::nanoseconds duration);

// Writes lines to `fd`, which the caller keeps open.
class AccessLog {
 public:
  explicit AccessLog(int fd) : fd_(fd) {}

  void Record(std::string_view method, std::string_view path, int httpStatus,
              std::chrono::nanoseconds duration) const;

  // Writes a free-form operator message line ("linkd: MESSAGE").
  void Note(std::string_view message) const;

 private:
  void WriteLine(const std::string& line) const;

  int fd_;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_ACCESS_LOG_H_
