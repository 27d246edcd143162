#include "service/access_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace lumerin {
namespace {

using std::chrono::microseconds;

TEST(AccessLog, WritesOneLineWithMethodPathStatusAndDuration) {
  EXPECT_EQ(AccessLogLine("POST", "/create.php", 200, microseconds(412)),
            "access POST /create.php 200 0.412ms\n");
  EXPECT_EQ(AccessLogLine("GET", "/a b\n\x01\xC3", 404, microseconds(1500)),
            "access GET /a?b??? 404 1.500ms\n");
  const std::string longPath = "/" + std::string(1000, 'p');
  const std::string line = AccessLogLine("GET", longPath, 404, microseconds(0));
  EXPECT_LT(line.size(), 260u);
  EXPECT_EQ(line.back(), '\n');
}

TEST(AccessLog, RecordsToItsDescriptor) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const AccessLog log(pipeFds[1]);
  log.Record("GET", "/healthz", 200, microseconds(7));
  log.Note("stopped");
  close(pipeFds[1]);
  char buffer[256];
  const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
  close(pipeFds[0]);
  ASSERT_GT(got, 0);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(got)),
            "access GET /healthz 200 0.007ms\nlinkd: stopped\n");
}

}  // namespace
}  // namespace lumerin
