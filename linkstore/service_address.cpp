#include "linkstore/service_address.h"

#include <cstdlib>

#include "text/text_basic.h"

namespace lumerin {

namespace {

constexpr std::string_view kDefaultHost = "127.0.0.1:7312";

}  // namespace

ServiceAddress ServiceAddressFromEnvironment() {
  const char* host = std::getenv("LUMERIN_SERVICE");
  if (host == nullptr || *host == '\0') return ServiceAddress{Text(kDefaultHost)};
  return ServiceAddress{Text(host)};
}

Text CreateEndpoint(const ServiceAddress& service) {
  return ConcatText({"http://", service.host, "/create.php"});
}

Text QueryEndpoint(const ServiceAddress& service) {
  return ConcatText({"http://", service.host, "/query.php"});
}

Text ShortLinkPrefix(const ServiceAddress& service) {
  return ConcatText({"http://", service.host, "/"});
}

}  // namespace lumerin
