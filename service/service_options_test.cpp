#include "service/service_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumerin {
namespace {

Status Parse(std::vector<const char*> args, ServiceOptions* options) {
  return ParseServiceOptions(args, options);
}

TEST(ServiceOptions, DefaultsWithoutArguments) {
  ServiceOptions options;
  ASSERT_TRUE(Parse({}, &options).ok());
  EXPECT_EQ(options.listenAddress, "127.0.0.1");
  EXPECT_EQ(options.listenPort, 7312);
  EXPECT_EQ(options.databasePath, "lumerin-links.db");
  EXPECT_EQ(options.publicHost, "");
  EXPECT_FALSE(options.help);
}

TEST(ServiceOptions, ParsesEachOption) {
  ServiceOptions options;
  ASSERT_TRUE(Parse({"--listen", "[::1]:0", "--db", "/tmp/x.db", "--public-host",
                     "example.org:8080", "--help"},
                    &options)
                  .ok());
  EXPECT_EQ(options.listenAddress, "::1");
  EXPECT_TRUE(options.listenIpv6);
  EXPECT_EQ(options.listenPort, 0);
  EXPECT_EQ(options.databasePath, "/tmp/x.db");
  EXPECT_EQ(options.publicHost, "example.org:8080");
  EXPECT_TRUE(options.help);

  ASSERT_TRUE(Parse({"--listen", "0.0.0.0:65535"}, &options).ok());
  EXPECT_EQ(options.listenAddress, "0.0.0.0");
  EXPECT_FALSE(options.listenIpv6);
  EXPECT_EQ(options.listenPort, 65535);
}

TEST(ServiceOptions, RefusesMalformedArguments) {
  const std::vector<std::vector<const char*>> cases = {
      {"--listen"},
      {"--listen", "127.0.0.1"},
      {"--listen", "127.0.0.1:"},
      {"--listen", "127.0.0.1:65536"},
      {"--listen", "127.0.0.1:-1"},
      {"--listen", "127.0.0.1:80x"},
      {"--listen", "localhost:80"},
      {"--listen", "::1:80"},
      {"--db", ""},
      {"--public-host", ""},
      {"--public-host", "a/b"},
      {"--public-host", "a\"b"},
      {"--public-host", "a b"},
      {"--port", "1"},
      {"extra"},
  };
  for (const auto& args : cases) {
    ServiceOptions options;
    const Status status = Parse(args, &options);
    EXPECT_FALSE(status.ok()) << args[0] << " " << (args.size() > 1 ? args[1] : "");
  }
}

}  // namespace
}  // namespace lumerin
