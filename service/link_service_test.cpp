#include "service/link_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <future>

#include "service/test_directory.h"

namespace lumerin {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Caps the size of every file this process writes, as a full disk would,
// until it leaves scope.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit capped = saved_;
    capped.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &capped);
  }
  FileSizeCap(const FileSizeCap&) = delete;
  FileSizeCap& operator=(const FileSizeCap&) = delete;
  ~FileSizeCap() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

Answer CreateAndWait(LinkService& service, const std::string& body) {
  std::promise<Answer> answer;
  service.Create(body, [&](Answer a) { answer.set_value(std::move(a)); });
  return answer.get_future().get();
}

TEST(LinkService, FailedCommitAnswers503KeepsQueriesAndRecovers) {
  TestDirectory directory;
  const std::string path = directory.File("links.db");
  std::unique_ptr<LinkDatabase> database;
  ASSERT_TRUE(LinkDatabase::Open(path, LinkDatabase::Access::kReadWrite, &database).ok());
  std::vector<std::string> failures;
  BatchWriter writer(std::move(database),
                     [&failures](const std::string& message) { failures.push_back(message); });
  ReaderPool readers(path);
  LinkService service(writer, readers, "h:1");

  const Answer first = CreateAndWait(service, "url=http://txt1?01&alias=&access_type=web");
  ASSERT_EQ(first.httpStatus, 200) << first.body;
  const std::string code = first.body.substr(first.body.find("h:1\\/") + 5, 5);
  const std::string bigUrl = "http://txt1?" + std::string(4000, 'F');
  {
    const std::uintmax_t size =
        std::max(std::filesystem::file_size(path), std::filesystem::file_size(path + "-wal"));
    FileSizeCap cap(static_cast<rlim_t>(size));
    const Answer refused = CreateAndWait(service, "url=" + bigUrl);
    EXPECT_EQ(refused.httpStatus, 503);
    EXPECT_EQ(refused.body,
              R"({"status":-1,"err_msg":"storage unavailable, nothing stored; try again"})");
    const Answer found = service.Query("tinyurl=" + code);
    EXPECT_EQ(found.httpStatus, 200) << found.body;
  }
  ASSERT_FALSE(failures.empty());
  EXPECT_THAT(failures.front(), Not(HasSubstr("txt1")));

  const Answer stored = CreateAndWait(service, "url=" + bigUrl);
  EXPECT_EQ(stored.httpStatus, 200) << stored.body;
  EXPECT_EQ(service.Query("tinyurl=" + code).httpStatus, 200);
}

}  // namespace
}  // namespace lumerin
