// The export of the restored text: where the file goes, what it is called and
// how it is written. No Qt here; the window's export handler strings these
// together and shows the outcome.
//
// The file is RunDirectory() + "/Lumerin导出数据" + DateTimeText(now) + ".txt",
// for example /opt/lumerin/Lumerin导出数据2015年3月7日21时4分9秒.txt, and holds
// exactly the GB18030 bytes of the box with CR LF line breaks, nothing added.
// Paths are file-system bytes (UTF-8 on Linux), not Text.
#ifndef LUMERIN_APP_EXPORT_H_
#define LUMERIN_APP_EXPORT_H_

#include <string>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// A local date and time in whole seconds, as a calendar shows it.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;   // 0 to 23
  int minute = 0;
  int second = 0;
};

// The outcome of a file write: success, or the errno value that stopped it.
struct WriteStatus {
  int errorNumber = 0;  // 0 on success

  [[nodiscard]] bool Ok() const { return errorNumber == 0; }
  // The system's description of the failure, in the user's locale; empty on
  // success.
  [[nodiscard]] std::string Reason() const;
};

// The directory that holds the running executable: everything in the path of
// /proc/self/exe before its last "/", so "/opt/lumerin/lumerin" gives
// "/opt/lumerin" and "/lumerin" gives the empty string (the root, to which
// "/" + a file name is joined). The empty string also when the path cannot be
// read. A "/" byte never occurs inside a multi-byte UTF-8 character, so the
// last "/" is always a real separator.
[[nodiscard]] std::string RunDirectory();

// The current local date and time, read from the clock once.
[[nodiscard]] LocalDateTime CurrentLocalDateTime();

// The stamp of the export file name, in GB18030: the date as year "年" month
// "月" day "日", then the time by the first rule that applies: a non-zero
// second gives hour "时" minute "分" second "秒"; else a non-zero minute gives
// hour "时" minute "分"; else a non-zero hour gives hour "时"; exact midnight
// gives nothing. Plain decimal numbers without leading zeros.
//   DateTimeText({2015, 3, 7, 21, 4, 0}) == Gb18030FromUtf8("2015年3月7日21时4分")
[[nodiscard]] Text DateTimeText(const LocalDateTime& when);

// The export file's path: `runDirectory` + "/Lumerin导出数据" + the stamp
// `dateTimeText` (GB18030, turned into UTF-8 for the file system) + ".txt".
[[nodiscard]] std::string ExportFilePath(std::string_view runDirectory,
                                         std::string_view dateTimeText);

// Writes `bytes` as the whole content of the file at `path`, creating it
// (mode 0666 less the umask) or emptying it first; an empty `bytes` leaves a
// file of 0 bytes. Nothing else is written: no byte order mark, no terminator.
// On failure the errno value says why (an empty path gives ENOENT); a file
// created or emptied before a write failed is left as it is.
[[nodiscard]] WriteStatus WriteWholeFile(const std::string& path, ByteView bytes);

}  // namespace lumerin

#endif  // LUMERIN_APP_EXPORT_H_
