// Fuzzes how the short-link client reads the service's answers: arbitrary
// answer bytes (zero bytes included) under an arbitrary HTTP status, served
// by a loopback server to CreateShortLink and LookupShortLink as they run in
// the programs. The code read must hold neither the short-link prefix nor a
// backslash, the long URL must stand in the answer between its markers, and
// the requests sent must be the forms the client promises.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/loopback_answerer.h"
#include "fuzz/scan_model.h"
#include "linkstore/service_address.h"
#include "linkstore/short_link_client.h"
#include "text/text_convert.h"

namespace lumerin::fuzz {
namespace {

// True when `search` occurs in `text` at a character start.
bool OccursAtCharacterStart(std::string_view text, std::string_view search) {
  return ModelFind(text, search, 0, false) != -1;
}

void CheckCreate(const ServiceAddress& service, const Text& longUrl, const Text& answer) {
  const std::initializer_list<Shown> shown = {{"long url", longUrl}, {"answer", answer}};
  const Text code = CreateShortLink(service, longUrl);

  const SeenRequest request = LoopbackAnswerer::Get().LastRequest();
  Require(request.method == "POST" && request.target == "/create.php" &&
              request.body == "url=" + longUrl + "&alias=&access_type=web",
          "CreateShortLink posts its form to the create endpoint", shown);

  Require(!OccursAtCharacterStart(code, "\\"), "The code read holds no backslash", shown);
  Require(!OccursAtCharacterStart(code, ShortLinkPrefix(service)),
          "The code read holds no short-link prefix", shown);
  Require(code.empty() || OccursAtCharacterStart(answer, "{\"tinyurl\":\""),
          "A code is read only from an answer with the tinyurl marker", shown);
}

void CheckLookup(const ServiceAddress& service, const Text& code, const Text& answer) {
  const std::initializer_list<Shown> shown = {{"code", code}, {"answer", answer}};
  const Text longUrl = LookupShortLink(service, code);

  const SeenRequest request = LoopbackAnswerer::Get().LastRequest();
  Require(request.method == "POST" && request.target == "/query.php" &&
              request.body == "tinyurl=" + ShortLinkPrefix(service) + code + "&access_type=web",
          "LookupShortLink posts its form to the query endpoint", shown);

  Require(longUrl.empty() || answer.find("\"longurl\":\"" + longUrl + "\"}") != Text::npos,
          "The long URL read stands in the answer between its markers", shown);
  Require(!OccursAtCharacterStart(longUrl, "\"}"), "The long URL read ends at the first \"}",
          shown);
}

}  // namespace
}  // namespace lumerin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace lumerin::fuzz;
  static constexpr int kStatuses[] = {200, 201, 400, 404, 409, 500, 503};
  static constexpr std::string_view kInputPort = "7312";
  FuzzedDataProvider data(bytes, size);
  const int status =
      kStatuses[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kStatuses) - 1)];
  const std::string argument = ConsumeText(data, 64);

  // The server's port is free, not fixed: inputs name the service's port as
  // 7312, and every 7312 of an answer is rewritten to the real port.
  LoopbackAnswerer& server = LoopbackAnswerer::Get();
  const std::string port = std::to_string(server.port());
  const lumerin::ServiceAddress service{"127.0.0.1:" + port};
  std::string body = data.ConsumeRemainingBytesAsString();
  for (std::size_t at = 0; (at = body.find(kInputPort, at)) != std::string::npos;) {
    body.replace(at, kInputPort.size(), port);
    at += port.size();
  }
  server.SetAnswer(status, body);
  // The client reads the answer as text: up to its first zero byte.
  const lumerin::Text answer =
      lumerin::BytesToText({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()});
  CheckCreate(service, argument, answer);
  CheckLookup(service, argument, answer);
  return 0;
}
