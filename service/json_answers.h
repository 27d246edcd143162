// The bodies the service answers with, byte for byte.
//
// Clients find the values in these answers by searching for fixed markers, not
// by parsing JSON, so member order and spacing are part of the contract:
//
//   create:  {"tinyurl":"http:\/\/HOST\/CODE","status":0,"longurl":"URL","err_msg":""}
//            (tinyurl first, the next member directly after it)
//   query:   {"status":0,"tinyurl":"http:\/\/HOST\/CODE","longurl":"URL"}
//            (longurl last, written exactly as stored)
//   failure: {"status":-1,"err_msg":"MESSAGE"}
//            (never a tinyurl or longurl member)
//
// Long URLs are written unescaped; CheckLongUrl admits only URLs for which
// that is valid JSON. Everything else is escaped, "/" included.
#ifndef LUMERIN_SERVICE_JSON_ANSWERS_H_
#define LUMERIN_SERVICE_JSON_ANSWERS_H_

#include <string>
#include <string_view>

namespace lumerin {

// An HTTP status and a JSON body.
struct Answer {
  int httpStatus = 0;
  std::string body;
};

// `text` as the inside of a JSON string: '"', '\' and '/' preceded by '\',
// control bytes as \u00XX; every other byte unchanged.
[[nodiscard]] std::string EscapeJson(std::string_view text);

// 200 and the create answer for `code` on `publicHost` ("host" or "host:port").
[[nodiscard]] Answer CreatedAnswer(std::string_view publicHost, std::string_view code,
                                   std::string_view longUrl);

// 200 and the query answer for `code` on `publicHost`.
[[nodiscard]] Answer FoundAnswer(std::string_view publicHost, std::string_view code,
                                 std::string_view longUrl);

// `httpStatus` (4xx or 5xx) and the failure answer carrying `message`.
[[nodiscard]] Answer ErrorAnswer(int httpStatus, std::string_view message);

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_JSON_ANSWERS_H_
