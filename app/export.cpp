#include "app/export.h"

#include <errno.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstddef>
#include <system_error>

#include "text/ansi_conversion.h"
#include "text/text_basic.h"
#include "text/text_convert.h"

namespace lumerin {

namespace {

// The date and time units of the stamp, in GB18030.
constexpr std::string_view kYear = "\xC4\xEA";    // 年
constexpr std::string_view kMonth = "\xD4\xC2";   // 月
constexpr std::string_view kDay = "\xC8\xD5";     // 日
constexpr std::string_view kHour = "\xCA\xB1";    // 时
constexpr std::string_view kMinute = "\xB7\xD6";  // 分
constexpr std::string_view kSecond = "\xC3\xEB";  // 秒

// The file name in front of the stamp, in UTF-8 as the file system takes it.
constexpr std::string_view kExportFilePrefix = "/Lumerin导出数据";
constexpr std::string_view kExportFileSuffix = ".txt";

}  // namespace

std::string WriteStatus::Reason() const {
  if (Ok()) return std::string();
  return std::system_category().message(errorNumber);
}

std::string RunDirectory() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return std::string();
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      break;
    }
    path.resize(path.size() * 2);  // Possibly cut short: try a larger buffer.
  }
  const std::size_t lastSlash = path.rfind('/');
  if (lastSlash == std::string::npos) return std::string();
  path.resize(lastSlash);
  return path;
}

LocalDateTime CurrentLocalDateTime() {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return LocalDateTime{.year = local.tm_year + 1900,
                       .month = local.tm_mon + 1,
                       .day = local.tm_mday,
                       .hour = local.tm_hour,
                       .minute = local.tm_min,
                       .second = local.tm_sec};
}

Text DateTimeText(const LocalDateTime& when) {
  const Text date = ConcatText({NumberToText(when.year), kYear, NumberToText(when.month), kMonth,
                                NumberToText(when.day), kDay});
  if (when.second != 0) {
    return ConcatText({date, NumberToText(when.hour), kHour, NumberToText(when.minute), kMinute,
                       NumberToText(when.second), kSecond});
  }
  if (when.minute != 0) {
    return ConcatText({date, NumberToText(when.hour), kHour, NumberToText(when.minute), kMinute});
  }
  if (when.hour != 0) return ConcatText({date, NumberToText(when.hour), kHour});
  return date;
}

std::string ExportFilePath(std::string_view runDirectory, std::string_view dateTimeText) {
  std::string path(runDirectory);
  path += kExportFilePrefix;
  path += Utf8FromGb18030(dateTimeText);
  path += kExportFileSuffix;
  return path;
}

WriteStatus WriteWholeFile(const std::string& path, ByteView bytes) {
  if (path.empty()) return WriteStatus{.errorNumber = ENOENT};
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (file < 0) return WriteStatus{.errorNumber = errno};
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t step = write(file, bytes.data() + written, bytes.size() - written);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) {
      const int failure = step < 0 ? errno : EIO;  // 0 would repeat for ever
      close(file);
      return WriteStatus{.errorNumber = failure};
    }
    written += static_cast<std::size_t>(step);
  }
  // A delayed write error (a full disk on a network file system) shows here.
  if (close(file) != 0 && errno != EINTR) return WriteStatus{.errorNumber = errno};
  return WriteStatus{};
}

}  // namespace lumerin
