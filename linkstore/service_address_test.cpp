#include "linkstore/service_address.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace lumerin {
namespace {

// Sets LUMERIN_SERVICE for the lifetime of the object (unset for nullopt) and
// puts back what stood there before.
class ScopedServiceVariable {
 public:
  explicit ScopedServiceVariable(std::optional<std::string> value) {
    if (const char* old = getenv(kName)) previous_ = old;
    if (value) {
      setenv(kName, value->c_str(), 1);
    } else {
      unsetenv(kName);
    }
  }
  ~ScopedServiceVariable() {
    if (previous_) {
      setenv(kName, previous_->c_str(), 1);
    } else {
      unsetenv(kName);
    }
  }
  ScopedServiceVariable(const ScopedServiceVariable&) = delete;
  ScopedServiceVariable& operator=(const ScopedServiceVariable&) = delete;

 private:
  static constexpr const char* kName = "LUMERIN_SERVICE";
  std::optional<std::string> previous_;
};

TEST(ServiceAddressFromEnvironment, DefaultsWhenUnsetOrEmptyAndTakesTheValueAsItStands) {
  struct Case {
    const char* name;
    std::optional<std::string> value;
    std::string host;
  };
  const Case cases[] = {
      {"unset", std::nullopt, "127.0.0.1:7312"},
      {"empty", "", "127.0.0.1:7312"},
      {"host and port", "10.1.2.3:8080", "10.1.2.3:8080"},
      {"host alone", "links.example", "links.example"},
      {"a blank is not empty", " ", " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedServiceVariable variable(c.value);
    EXPECT_EQ(ServiceAddressFromEnvironment().host, c.host);
  }
}

TEST(ServiceAddress, DerivesEndpointsAndShortLinkPrefixFromTheHost) {
  const ServiceAddress service{"127.0.0.1:7312"};
  EXPECT_EQ(CreateEndpoint(service), "http://127.0.0.1:7312/create.php");
  EXPECT_EQ(QueryEndpoint(service), "http://127.0.0.1:7312/query.php");
  EXPECT_EQ(ShortLinkPrefix(service), "http://127.0.0.1:7312/");
}

}  // namespace
}  // namespace lumerin
