#include "linkstore/short_link_client.h"

#include <gtest/gtest.h>

#include <string>

#include "testsupport/http/scripted_server.h"

namespace lumerin {
namespace {

using testsupport::ClosedLoopbackPort;
using testsupport::ReceivedRequest;
using testsupport::Reply;
using testsupport::ScriptedServer;

// A server that answers every request with `status` and `body`.
ScriptedServer AnsweringServer(int status, std::string body) {
  return ScriptedServer(
      [status, body](const ReceivedRequest&) { return Reply::Answer(status, body); });
}

// `text` with every "HOST" replaced by `host`.
std::string WithHost(std::string text, const std::string& host) {
  for (std::size_t at = text.find("HOST"); at != std::string::npos; at = text.find("HOST", at)) {
    text.replace(at, 4, host);
  }
  return text;
}

TEST(CreateShortLink, PostsTheLongUrlUnencodedToTheCreateEndpoint) {
  ScriptedServer server = AnsweringServer(200, "{}");
  const ServiceAddress service{server.Address()};
  (void)CreateShortLink(service, "http://txt1?0A1B");
  ASSERT_EQ(server.Requests().size(), 1u);
  const ReceivedRequest request = server.Requests()[0];
  EXPECT_EQ(request.Method(), "POST");
  EXPECT_EQ(request.Target(), "/create.php");
  EXPECT_EQ(request.body, "url=http://txt1?0A1B&alias=&access_type=web");
}

TEST(CreateShortLink, TakesTheCodeOutOfTheAnswer) {
  struct Case {
    const char* name;
    int status;
    std::string body;  // "HOST" stands for the server's address
    std::string code;  // "HOST" likewise
  };
  const Case cases[] = {
      {"escaped slashes and a further member", 200,
       "{\"tinyurl\":\"http:\\/\\/HOST\\/Ab3dE\",\"status\":0,\"err_msg\":\"\"}", "Ab3dE"},
      {"unescaped slashes", 200, "{\"tinyurl\":\"http://HOST/Ab3dE\",\"status\":0}", "Ab3dE"},
      {"members before the object are free", 200,
       "junk {\"tinyurl\":\"http:\\/\\/HOST\\/Ab3dE\",\"x\":1}", "Ab3dE"},
      {"another host comes back whole less its backslashes", 200,
       "{\"tinyurl\":\"http:\\/\\/other.example\\/Ab3dE\",\"status\":0}",
       "http://other.example/Ab3dE"},
      {"another scheme", 200, "{\"tinyurl\":\"https:\\/\\/HOST\\/Ab3dE\",\"status\":0}",
       "https://HOST/Ab3dE"},
      {"a prefix joined by removing one is removed too", 200,
       "{\"tinyurl\":\"http://http://HOST/HOST/Ab3dE\",\"status\":0}", "Ab3dE"},
      {"tinyurl the only member", 200, "{\"tinyurl\":\"http:\\/\\/HOST\\/Ab3dE\"}", ""},
      {"space after the colon", 200, "{\"tinyurl\": \"http:\\/\\/HOST\\/Ab3dE\",\"status\":0}", ""},
      {"tinyurl not first", 200, "{\"status\":0,\"tinyurl\":\"http:\\/\\/HOST\\/Ab3dE\",\"a\":1}",
       ""},
      {"error answer", 500, "{\"status\":-1,\"err_msg\":\"refused\"}", ""},
      {"empty body", 200, "", ""},
      // The status is not looked at: a well-shaped body counts.
      {"shaped body under an error status", 503,
       "{\"tinyurl\":\"http:\\/\\/HOST\\/Ab3dE\",\"status\":0}", "Ab3dE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The server learns its own address from the request's Host line.
    ScriptedServer server([&c](const ReceivedRequest& request) {
      return Reply::Answer(c.status, WithHost(c.body, request.Header("Host").value_or("")));
    });
    EXPECT_EQ(CreateShortLink(ServiceAddress{server.Address()}, "http://txt1?00"),
              WithHost(c.code, server.Address()));
  }
}

TEST(LookupShortLink, PostsTheShortLinkToTheQueryEndpoint) {
  ScriptedServer server = AnsweringServer(200, "{}");
  const ServiceAddress service{server.Address()};
  (void)LookupShortLink(service, "Ab3dE");
  (void)LookupShortLink(service, "");
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[0].Method(), "POST");
  EXPECT_EQ(server.Requests()[0].Target(), "/query.php");
  EXPECT_EQ(server.Requests()[0].body,
            "tinyurl=http://" + server.Address() + "/Ab3dE&access_type=web");
  EXPECT_EQ(server.Requests()[1].body, "tinyurl=http://" + server.Address() + "/&access_type=web");
}

TEST(LookupShortLink, TakesTheLongUrlOutOfTheAnswerUnchanged) {
  struct Case {
    const char* name;
    int status;
    std::string body;
    std::string longUrl;
  };
  const Case cases[] = {
      {"longurl last", 200, "{\"status\":0,\"tinyurl\":\"x\",\"longurl\":\"http://txt1?0A\"}",
       "http://txt1?0A"},
      {"a member after longurl is taken up to the next closing", 200,
       "{\"longurl\":\"http://txt1?0A\",\"status\":0,\"note\":\"n\"}",
       "http://txt1?0A\",\"status\":0,\"note\":\"n"},
      {"no closing after longurl", 200, "{\"longurl\":\"http://txt1?0A\",\"status\":0", ""},
      {"escapes are kept", 200, "{\"longurl\":\"http:\\/\\/txt1?0A\"}", "http:\\/\\/txt1?0A"},
      {"error answer", 404, "{\"status\":-1,\"err_msg\":\"no such code\"}", ""},
      {"empty body", 200, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer server = AnsweringServer(c.status, c.body);
    EXPECT_EQ(LookupShortLink(ServiceAddress{server.Address()}, "Ab3dE"), c.longUrl);
  }
}

TEST(ShortLinkClient, GivesTheEmptyTextWhenTheServiceCannotBeReached) {
  const ServiceAddress service{"127.0.0.1:" + std::to_string(ClosedLoopbackPort())};
  EXPECT_EQ(CreateShortLink(service, "http://txt1?00"), "");
  EXPECT_EQ(LookupShortLink(service, "Ab3dE"), "");
}

}  // namespace
}  // namespace lumerin
