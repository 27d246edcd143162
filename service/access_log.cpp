#include "service/access_log.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace lumerin {
namespace {

constexpr std::size_t kMaxLoggedField = 200;

void AppendPrintable(std::string* out, std::string_view text) {
  const std::string_view shown = text.substr(0, kMaxLoggedField);
  for (const char c : shown) {
    const auto b = static_cast<unsigned char>(c);
    out->push_back(b > 0x20 && b < 0x7F ? c : '?');
  }
  if (text.size() > shown.size()) *out += "...";
}

}  // namespace

std::string AccessLogLine(std::string_view method, std::string_view path, int httpStatus,
                          std::chrono::nanoseconds duration) {
  std::string line = "access ";
  AppendPrintable(&line, method);
  line.push_back(' ');
  AppendPrintable(&line, path);
  char tail[48];
  std::snprintf(tail, sizeof tail, " %d %.3fms\n", httpStatus,
                std::chrono::duration<double, std::milli>(duration).count());
  line += tail;
  return line;
}

void AccessLog::Record(std::string_view method, std::string_view path, int httpStatus,
                       std::chrono::nanoseconds duration) const {
  WriteLine(AccessLogLine(method, path, httpStatus, duration));
}

void AccessLog::Note(std::string_view message) const {
  std::string line = "linkd: ";
  line += message;
  line.push_back('\n');
  WriteLine(line);
}

void AccessLog::WriteLine(const std::string& line) const {
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a broken log must not stop the service
    written += static_cast<std::size_t>(n);
  }
}

}  // namespace lumerin
