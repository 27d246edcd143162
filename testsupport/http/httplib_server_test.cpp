#include "testsupport/http/httplib_server.h"

#include "gtest/gtest.h"

namespace lumerin::testsupport {
namespace {

TEST(HttplibServer, ServesItsRoutesUntilStopped) {
  HttplibServer server([](httplib::Server& routes) {
    routes.Get("/a", [](const httplib::Request&, httplib::Response& answer) {
      answer.set_content("body", "text/plain");
    });
  });
  httplib::Client client("127.0.0.1", server.Port());
  const httplib::Result result = client.Get("/a");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body, "body");

  server.Stop();
  httplib::Client late("127.0.0.1", server.Port());
  EXPECT_FALSE(late.Get("/a"));
}

}  // namespace
}  // namespace lumerin::testsupport
