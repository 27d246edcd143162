// End-to-end tests of lumerin-linkd: the real binary on a free loopback port
// with a temporary database, driven over HTTP.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "testsupport/linkd/linkd_fixture.h"

namespace lumerin {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Reply {
  int status = 0;
  std::string body;
};

std::uint16_t PortOf(const std::string& host) {
  return static_cast<std::uint16_t>(std::stoi(host.substr(host.rfind(':') + 1)));
}

// A plain TCP connection to the service, for requests no HTTP client library
// would send.
class RawConnection {
 public:
  explicit RawConnection(const std::string& host) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(PortOf(host));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;
  ~RawConnection() {
    if (fd_ >= 0) close(fd_);
  }

  bool connected() const { return fd_ >= 0; }

  bool Send(const std::string& bytes) {
    return connected() && send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                              static_cast<ssize_t>(bytes.size());
  }

  // Reads one answer (headers and a Content-Length body, or an interim 100
  // Continue) within 10 s; the status is 0 when none arrives.
  Reply ReadReply() {
    std::string data = std::move(pending_);
    pending_.clear();
    std::size_t headerEnd = std::string::npos;
    std::size_t total = std::string::npos;
    char buffer[4096];
    const auto findEnd = [&] {
      if (headerEnd != std::string::npos || (headerEnd = data.find("\r\n\r\n")) == data.npos) {
        return;
      }
      const std::size_t length = data.find("Content-Length: ");
      total = headerEnd + 4 +
              (length < headerEnd ? std::stoul(data.substr(length + 16)) : std::size_t{0});
    };
    findEnd();
    while (connected() && (total == std::string::npos || data.size() < total)) {
      pollfd readable{fd_, POLLIN, 0};
      if (poll(&readable, 1, 10000) <= 0) break;
      const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      data.append(buffer, static_cast<std::size_t>(got));
      findEnd();
    }
    if (total == std::string::npos || data.size() < total || !data.starts_with("HTTP/1.1 ")) {
      return {};
    }
    pending_ = data.substr(total);
    return {std::stoi(data.substr(9, 3)), data.substr(headerEnd + 4, total - headerEnd - 4)};
  }

 private:
  int fd_;
  std::string pending_;  // bytes read past the last answer
};

std::string RawPost(const std::string& path, const std::string& extraHeaders,
                    std::size_t contentLength) {
  return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders +
         "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
         std::to_string(contentLength) + "\r\n\r\n";
}

void ExpectErrorShape(const Reply& reply, const std::string& name) {
  EXPECT_TRUE(reply.body.starts_with(R"({"status":-1,"err_msg":")")) << name << ": " << reply.body;
  EXPECT_TRUE(reply.body.ends_with(R"("})")) << name << ": " << reply.body;
  EXPECT_THAT(reply.body, Not(HasSubstr("\"tinyurl\""))) << name;
  EXPECT_THAT(reply.body, Not(HasSubstr("\"longurl\""))) << name;
}

class LinkdTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(linkd_.Start()) << linkd_.ServiceLog(); }

  // Every test ends with a clean stop: exit status 0, so also no sanitizer
  // report from the service.
  void TearDown() override {
    if (linkd_.running()) {
      EXPECT_TRUE(linkd_.Stop()) << linkd_.ServiceLog();
    }
  }

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

TEST_F(LinkdTest, RefusesBadRequestsAndGoesOnServing) {
  ASSERT_EQ(Post("/create.php", "url=http://txt1?01&alias=taken_alias&access_type=web").status,
            200);
  std::mt19937 random(20240601);
  std::string noise(2000, '\0');
  for (char& c : noise) c = static_cast<char>(random());

  struct Case {
    const char* name;
    const char* method;
    const char* path;
    std::string body;
    int status;
  };
  const std::vector<Case> cases = {
      {"no url", "POST", "/create.php", "alias=&access_type=web", 400},
      {"empty body", "POST", "/create.php", "", 400},
      {"non-http url", "POST", "/create.php", "url=ftp://host/x&alias=&access_type=web", 400},
      {"quote in url", "POST", "/create.php", "url=http://txt1?A\"B&alias=&access_type=web", 400},
      {"encoded space in url", "POST", "/create.php", "url=http://txt1?A+B&alias=", 400},
      {"raw space in url", "POST", "/create.php", "url=http://txt1?A B&alias=", 400},
      {"5000-byte url", "POST", "/create.php", "url=http://txt1?" + std::string(4988, 'A'), 400},
      {"url given twice", "POST", "/create.php", "url=http://a&url=http://b", 400},
      {"malformed alias", "POST", "/create.php", "url=http://txt1?02&alias=a-b-c", 400},
      {"short alias", "POST", "/create.php", "url=http://txt1?02&alias=abcd", 400},
      {"alias taken", "POST", "/create.php", "url=http://txt1?02&alias=taken_alias", 409},
      {"random bytes as a form", "POST", "/create.php", noise, 400},
      {"random bytes as a query", "POST", "/query.php", noise, 400},
      {"no tinyurl", "POST", "/query.php", "access_type=web", 400},
      {"tinyurl that is not a code", "POST", "/query.php", "tinyurl=http://h/Ab3-dE", 400},
      {"tinyurl with a path", "POST", "/query.php", "tinyurl=http://h/a/Ab3dE", 400},
      {"unknown code", "POST", "/query.php", "tinyurl=Zz9Zz9Zz9", 404},
      {"GET create", "GET", "/create.php", "", 405},
      {"GET query", "GET", "/query.php", "", 405},
      {"unknown path", "POST", "/shorten.php", "url=http://txt1?03", 404},
      {"root", "GET", "/", "", 404},
  };
  for (const Case& c : cases) {
    const Reply reply = Send(linkd_.host(), c.method, c.path, c.body);
    EXPECT_EQ(reply.status, c.status) << c.name << ": " << reply.body;
    ExpectErrorShape(reply, c.name);
  }
  EXPECT_EQ(linkd_.StoredRecordCount(), 1) << "no refused create stored anything";

  const std::string code = Create("http://txt1?04");
  ASSERT_FALSE(code.empty());
  EXPECT_EQ(Post("/query.php", "tinyurl=" + code).body, QueryAnswer(code, "http://txt1?04"));
  EXPECT_EQ(Post("/query.php", "tinyurl=taken_alias").body,
            QueryAnswer("taken_alias", "http://txt1?01"));
}

TEST_F(LinkdTest, AnswersOversizedBodies413WithoutReadingThem) {
  {
    // What libcurl does for larger bodies: ask before sending.
    RawConnection connection(linkd_.host());
    ASSERT_TRUE(connection.Send(RawPost("/create.php", "Expect: 100-continue\r\n", 1 << 20)));
    const Reply reply = connection.ReadReply();
    EXPECT_EQ(reply.status, 413);
    ExpectErrorShape(reply, "expect");
  }
  {
    // Headers first, the 1 MiB body never sent: the answer must not wait for it.
    RawConnection connection(linkd_.host());
    ASSERT_TRUE(connection.Send(RawPost("/create.php", "", 1 << 20) + "url=http://txt1?"));
    const Reply reply = connection.ReadReply();
    EXPECT_EQ(reply.status, 413);
    ExpectErrorShape(reply, "no expect");
  }
  {
    RawConnection connection(linkd_.host());
    const std::string body = "url=http://txt1?" + std::string(1800, 'C') + "&alias=";
    ASSERT_TRUE(connection.Send(RawPost("/create.php", "Expect: 100-continue\r\n", body.size())));
    ASSERT_TRUE(connection.Send(body));
    Reply reply = connection.ReadReply();
    if (reply.status == 100) reply = connection.ReadReply();
    EXPECT_EQ(reply.status, 200) << reply.body;
  }
  EXPECT_EQ(Send(linkd_.host(), "GET", "/healthz", "").status, 200);
}

TEST_F(LinkdTest, AcceptsHeadersOf8KiBAndRefusesHugeOnes) {
  const std::string body = "url=http://txt1?0A&alias=";
  {
    RawConnection connection(linkd_.host());
    ASSERT_TRUE(connection.Send(
        RawPost("/create.php", "X-Pad: " + std::string(8 * 1024, 'p') + "\r\n", body.size()) +
        body));
    EXPECT_EQ(connection.ReadReply().status, 200);
  }
  {
    RawConnection connection(linkd_.host());
    ASSERT_TRUE(connection.Send(
        RawPost("/create.php", "X-Pad: " + std::string(64 * 1024, 'p') + "\r\n", body.size()) +
        body));
    const Reply reply = connection.ReadReply();
    EXPECT_GE(reply.status, 400);
  }
  EXPECT_FALSE(Create("http://txt1?0B").empty());
}

TEST_F(LinkdTest, ServesOthersWhileSlowClientsTrickleAndDropsTheSlowOnes) {
  // Clients that send a byte now and then are never idle; the service must
  // answer others meanwhile and close the slow ones once their request is
  // overdue (10 s).
  std::vector<std::unique_ptr<RawConnection>> slow;
  for (int i = 0; i < 200; ++i) {
    slow.push_back(std::make_unique<RawConnection>(linkd_.host()));
    ASSERT_TRUE(slow.back()->Send("P"));
  }
  const std::string request = "OST /create.php HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: 1";
  std::size_t dropped = 0;
  for (std::size_t second = 0; second < 14 && dropped < slow.size(); ++second) {
    EXPECT_FALSE(Create("http://txt1?" + std::to_string(second)).empty()) << second;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    dropped = 0;
    for (auto& connection : slow) {
      if (!connection->Send(request.substr(second % request.size(), 1))) ++dropped;
    }
  }
  EXPECT_EQ(dropped, slow.size());
}

TEST_F(LinkdTest, WritesThePublicHostIntoShortLinks) {
  LinkdFixture published({"--public-host", "short.example:8080"});
  ASSERT_TRUE(published.Start()) << published.ServiceLog();
  const Reply created = Send(published.host(), "POST", "/create.php", "url=http://txt1?AB");
  EXPECT_THAT(created.body,
              ::testing::MatchesRegex(
                  R"re(\{"tinyurl":"http:\\/\\/short\.example:8080\\/[0-9A-Za-z]{5}",.*)re"));
}

TEST_F(LinkdTest, StopsCleanlyOnSigintAndSigtermKeepingLinks) {
  const std::string code = Create("http://txt1?5A");
  ASSERT_FALSE(code.empty());
  ASSERT_EQ(kill(linkd_.pid(), SIGINT), 0);
  EXPECT_TRUE(linkd_.Stop());
  EXPECT_THAT(linkd_.ServiceLog(), HasSubstr("stopping on SIGINT"));
  ASSERT_TRUE(linkd_.Restart()) << linkd_.ServiceLog();
  EXPECT_EQ(Post("/query.php", "tinyurl=" + code).body, QueryAnswer(code, "http://txt1?5A"));
  EXPECT_TRUE(linkd_.Stop());
  EXPECT_THAT(linkd_.ServiceLog(), HasSubstr("stopping on SIGTERM"));
  EXPECT_THAT(linkd_.ServiceLog(), HasSubstr("stopped"));
  EXPECT_EQ(linkd_.StoredRecordCount(), 1);
}

TEST_F(LinkdTest, LogsOneLinePerRequestWithoutRecordContent) {
  EXPECT_EQ(linkd_.RequestCount(), 0);
  const std::string code = Create("http://txt1?C0FFEE");
  ASSERT_FALSE(code.empty());
  Post("/query.php", "tinyurl=" + code);
  Post("/query.php", "tinyurl=nothing_here");
  Send(linkd_.host(), "GET", "/create.php?url=http://txt1?BADC0DE", "");
  EXPECT_EQ(linkd_.RequestCount(), 4);
  const std::string log = linkd_.ServiceLog();
  EXPECT_THAT(log, HasSubstr("access POST /create.php 200 "));
  EXPECT_THAT(log, HasSubstr("access POST /query.php 404 "));
  EXPECT_THAT(log, HasSubstr("access GET /create.php 405 "));
  EXPECT_THAT(log, Not(HasSubstr("C0FFEE")));
  EXPECT_THAT(log, Not(HasSubstr("BADC0DE")));
  EXPECT_THAT(log, Not(HasSubstr(code)));
}

TEST(LinkdStart, RefusesAPortInUse) {
  LinkdFixture first;
  ASSERT_TRUE(first.Start()) << first.ServiceLog();
  LinkdFixture second({"--listen", first.host()});
  EXPECT_FALSE(second.Start());
  EXPECT_THAT(second.ServiceLog(), HasSubstr("cannot listen on " + first.host()));
  EXPECT_FALSE(second.running());
}

TEST(LinkdStart, RefusesANewerDatabaseSchema) {
  LinkdFixture linkd;
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(linkd.databasePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE links(x); PRAGMA user_version = 7;", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  EXPECT_FALSE(linkd.Start());
  EXPECT_THAT(linkd.ServiceLog(), HasSubstr("schema version 7"));
}

}  // namespace
}  // namespace lumerin
