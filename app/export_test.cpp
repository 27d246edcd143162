#include "app/export.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "text/ansi_conversion.h"

namespace lumerin {
namespace {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary directory, removed with all
// it holds when the test ends.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (fs::temp_directory_path() / "lumerin-export-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TemporaryDirectory() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ByteArray Bytes(std::string_view text) { return ByteArray(text.begin(), text.end()); }

struct StampCase {
  LocalDateTime when;
  const char* expected;  // UTF-8
};

TEST(DateTimeText, NamesTheTimeDownToItsLastNonZeroUnit) {
  const StampCase cases[] = {
      {{2015, 3, 7, 21, 4, 9}, "2015年3月7日21时4分9秒"},
      {{2015, 3, 7, 21, 4, 0}, "2015年3月7日21时4分"},
      {{2015, 3, 7, 21, 0, 0}, "2015年3月7日21时"},
      {{2015, 3, 7, 0, 0, 0}, "2015年3月7日"},
      {{2015, 3, 7, 0, 0, 30}, "2015年3月7日0时0分30秒"},
      {{2015, 3, 7, 0, 30, 0}, "2015年3月7日0时30分"},
      {{2015, 12, 31, 18, 0, 5}, "2015年12月31日18时0分5秒"},
  };
  for (const StampCase& c : cases) {
    const Text stamp = DateTimeText(c.when);
    EXPECT_EQ(stamp, Gb18030FromUtf8(c.expected)) << c.expected;
  }
}

TEST(ExportFilePath, JoinsDirectoryNameStampAndSuffix) {
  const Text stamp = DateTimeText({2015, 3, 7, 21, 4, 9});
  EXPECT_EQ(ExportFilePath("/opt/lumerin", stamp),
            "/opt/lumerin/Lumerin导出数据2015年3月7日21时4分9秒.txt");
  // A program in the root directory has the empty run directory.
  EXPECT_EQ(ExportFilePath("", DateTimeText({2015, 3, 7, 0, 0, 0})),
            "/Lumerin导出数据2015年3月7日.txt");
  EXPECT_EQ(ExportFilePath("/home/用户/工具", stamp),
            "/home/用户/工具/Lumerin导出数据2015年3月7日21时4分9秒.txt");
}

TEST(RunDirectory, IsTheDirectoryOfThisExecutable) {
  const std::string directory = RunDirectory();
  EXPECT_EQ(fs::path(directory), fs::canonical("/proc/self/exe").parent_path());
  EXPECT_NE(directory.back(), '/');
}

TEST(WriteWholeFile, WritesExactlyTheBytes) {
  TemporaryDirectory directory;
  const std::string path = (directory.path() / "out.txt").string();
  const std::string bytes(
      "\xD6\xD0\r\n\x00\xFF"
      "end",
      9);  // zero byte included

  ASSERT_TRUE(WriteWholeFile(path, Bytes(bytes)).Ok());
  EXPECT_EQ(FileBytes(path), bytes);
}

TEST(WriteWholeFile, ReplacesTheWholeOfAnExistingFile) {
  TemporaryDirectory directory;
  const std::string path = (directory.path() / "out.txt").string();
  ASSERT_TRUE(WriteWholeFile(path, Bytes("a much longer first content")).Ok());

  ASSERT_TRUE(WriteWholeFile(path, Bytes("short")).Ok());
  EXPECT_EQ(FileBytes(path), "short");
  ASSERT_TRUE(WriteWholeFile(path, ByteArray()).Ok());
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(WriteWholeFile, ReportsWhyItFailed) {
  TemporaryDirectory directory;
  const struct {
    std::string path;
    int errorNumber;
  } cases[] = {
      {"", ENOENT},
      {(directory.path() / "missing" / "out.txt").string(), ENOENT},
      {directory.path().string(), EISDIR},
      {"/proc/lumerin-export.txt", ENOENT},
  };
  for (const auto& c : cases) {
    const WriteStatus status = WriteWholeFile(c.path, Bytes("x"));
    EXPECT_FALSE(status.Ok()) << c.path;
    EXPECT_EQ(status.errorNumber, c.errorNumber) << c.path;
    EXPECT_FALSE(status.Reason().empty()) << c.path;
  }
  EXPECT_FALSE(fs::exists(directory.path() / "missing"));
  EXPECT_TRUE(WriteStatus{}.Reason().empty());
}

}  // namespace
}  // namespace lumerin
