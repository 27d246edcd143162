// Where the link service is, and the addresses derived from it.
//
// The client programs learn the service's host once, in main, from the
// environment; everything below main takes the address as a value, so the
// logic never reads the environment and tests point it at their own servers.
#ifndef LUMERIN_LINKSTORE_SERVICE_ADDRESS_H_
#define LUMERIN_LINKSTORE_SERVICE_ADDRESS_H_

#include "text/text_types.h"

namespace lumerin {

// The link service, reached over plain HTTP.
struct ServiceAddress {
  Text host;  // "host" or "host:port", e.g. "127.0.0.1:7312"
};

// The service named by LUMERIN_SERVICE, or 127.0.0.1:7312 when it is unset or
// empty. The only environment read of the client programs; called once by
// each program's main, not by the logic. The value is taken as it stands.
[[nodiscard]] ServiceAddress ServiceAddressFromEnvironment();

// "http://" + host + "/create.php", where long URLs are stored.
[[nodiscard]] Text CreateEndpoint(const ServiceAddress& service);

// "http://" + host + "/query.php", where long URLs are looked up.
[[nodiscard]] Text QueryEndpoint(const ServiceAddress& service);

// "http://" + host + "/", the text in front of the code in every short link
// the service hands out.
[[nodiscard]] Text ShortLinkPrefix(const ServiceAddress& service);

}  // namespace lumerin

#endif  // LUMERIN_LINKSTORE_SERVICE_ADDRESS_H_
