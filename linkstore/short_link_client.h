// The client of the link service: store a long URL, look one up.
//
// Each call sends one form-encoded POST through WebRequest and reads the small
// JSON answer by its fixed markers; there is no JSON parser, and neither the
// HTTP status nor the headers of an answer are looked at. The request bodies
// are sent byte for byte as given, nothing percent-encoded: the records that
// Lumerin stores hold only a marker and hexadecimal digits. Every failure (no
// connection, an error answer, an answer without the markers) is the empty
// text; nothing is retried.
#ifndef LUMERIN_LINKSTORE_SHORT_LINK_CLIENT_H_
#define LUMERIN_LINKSTORE_SHORT_LINK_CLIENT_H_

#include <string_view>

#include "linkstore/service_address.h"
#include "text/text_types.h"

namespace lumerin {

// Stores `longUrl` at the service's create endpoint with the body
// "url=" + longUrl + "&alias=&access_type=web" and returns its short code:
// the text between "{\"tinyurl\":\"" and the next "\",\"" in the answer,
// with every backslash removed and then every occurrence of the short-link
// prefix, repeatedly, so that the code holds none. A short link of another
// host therefore comes back whole (less its backslashes). The empty text when
// either marker is missing, so also when tinyurl is the last member of the
// answer.
//   answer {"tinyurl":"http:\/\/HOST\/Ab3dE","status":0}  gives  "Ab3dE"
[[nodiscard]] Text CreateShortLink(const ServiceAddress& service, std::string_view longUrl);

// Looks up the long URL behind `code` at the service's query endpoint with the
// body "tinyurl=" + short-link prefix + code + "&access_type=web" (the code as
// it comes, also when empty) and returns the text between "\"longurl\":\"" and
// the next "\"}" in the answer, unchanged: no escape sequence is removed. The
// empty text when either marker is missing.
[[nodiscard]] Text LookupShortLink(const ServiceAddress& service, std::string_view code);

}  // namespace lumerin

#endif  // LUMERIN_LINKSTORE_SHORT_LINK_CLIENT_H_
