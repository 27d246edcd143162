// End-to-end tests of lumerin-linkd: the real binary on a free loopback port
// with a temporary database, driven over HTTP.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "testsupport/linkd/linkd_fixture.h"

namespace lumerin {
namespace {

struct Reply {
  int status = 0;
  std::string body;
};

class LinkdTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(linkd_.Start()) << linkd_.ServiceLog(); }

  static Reply Send(const std::string& host, const std::string& method, const std::string& path,
                    const std::string& body) {
    httplib::Client client("http://" + host);
    client.set_read_timeout(10, 0);
    const httplib::Result result =
        method == "GET" ? client.Get(path.c_str())
                        : client.Post(path.c_str(), body, "application/x-www-form-urlencoded");
    if (!result) return {};
    return {result->status, result->body};
  }

  Reply Post(const std::string& path, const std::string& body) const {
    return Send(linkd_.host(), "POST", path, body);
  }

  // Stores `url` and returns its code, or "" when the answer is not a
  // successful create answer.
  std::string Create(const std::string& url) const {
    const Reply reply = Post("/create.php", "url=" + url + "&alias=&access_type=web");
    const std::regex shape(R"re(\{"tinyurl":"http:\\/\\/[^"]*\\/([0-9A-Za-z_]+)","status":0,.*)re");
    std::smatch match;
    if (reply.status != 200 || !std::regex_match(reply.body, match, shape)) return "";
    return match[1];
  }

  std::string CreateAnswer(const std::string& code, const std::string& url) const {
    return R"({"tinyurl":"http:\/\/)" + linkd_.host() + R"(\/)" + code +
           R"(","status":0,"longurl":")" + url + R"(","err_msg":""})";
  }

  std::string QueryAnswer(const std::string& code, const std::string& url) const {
    return R"({"status":0,"tinyurl":"http:\/\/)" + linkd_.host() + R"(\/)" + code +
           R"(","longurl":")" + url + R"("})";
  }

  LinkdFixture linkd_;
};

TEST_F(LinkdTest, AnswersCreateAndQueryByteForByte) {
  const std::string url = "http://txt1?0A1B2C3D";
  const Reply created = Post("/create.php", "url=" + url + "&alias=&access_type=web");
  ASSERT_EQ(created.status, 200) << created.body;
  const std::string code = Create(url);
  ASSERT_THAT(code, ::testing::MatchesRegex("[0-9A-Za-z]{5}"));
  EXPECT_EQ(created.body, CreateAnswer(code, url));

  const std::string expected = QueryAnswer(code, url);
  for (const std::string& shortLink :
       {linkd_.ShortLinkPrefix() + code, code, "http://elsewhere.example/" + code}) {
    const Reply found = Post("/query.php", "tinyurl=" + shortLink + "&access_type=web");
    EXPECT_EQ(found.status, 200) << shortLink;
    EXPECT_EQ(found.body, expected) << shortLink;
  }
  EXPECT_EQ(linkd_.StoredRecordCount(), 1);
}

TEST_F(LinkdTest, ConcurrentCreatesOfOneUrlGiveOneCode) {
  const std::string url = "http://txt1?" + std::string(1800, 'A');
  std::vector<std::string> codes(8);
  std::vector<std::thread> threads;
  for (std::string& code : codes) {
    threads.emplace_back([&] { code = Create(url); });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_FALSE(codes[0].empty());
  EXPECT_THAT(codes, ::testing::Each(codes[0]));
  EXPECT_EQ(linkd_.StoredRecordCount(), 1);
}

TEST_F(LinkdTest, AnsweredCreatesSurviveKill) {
  constexpr int kThreads = 8;
  constexpr int kPerThread = 40;
  std::vector<std::vector<std::string>> codes(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        codes[t].push_back(Create("http://txt1?" + std::to_string(t * 1000 + i)));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  linkd_.Kill();
  ASSERT_TRUE(linkd_.Restart()) << linkd_.ServiceLog();
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kPerThread; ++i) {
      const std::string& code = codes[t][i];
      ASSERT_FALSE(code.empty());
      const Reply found = Post("/query.php", "tinyurl=" + code + "&access_type=web");
      EXPECT_EQ(found.body, QueryAnswer(code, "http://txt1?" + std::to_string(t * 1000 + i)));
    }
  }
  EXPECT_EQ(linkd_.StoredRecordCount(), kThreads * kPerThread);
}

}  // namespace
}  // namespace lumerin
