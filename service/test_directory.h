// A fresh temporary directory for a test, removed with everything in it when
// the test ends.
#ifndef LUMERIN_SERVICE_TEST_DIRECTORY_H_
#define LUMERIN_SERVICE_TEST_DIRECTORY_H_

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace lumerin {

class TestDirectory {
 public:
  TestDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumerin-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  TestDirectory(const TestDirectory&) = delete;
  TestDirectory& operator=(const TestDirectory&) = delete;
  ~TestDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  // The path of `name` inside the directory.
  [[nodiscard]] std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_TEST_DIRECTORY_H_
