// Fuzzes the scan of a raw answer header block that ends every web request:
// the redirect target from the Location lines, the cookies from the
// Set-Cookie lines, and the merge into a caller's own cookie list, on
// arbitrary header bytes (zero bytes included) and cookie lists.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scan_model.h"
#include "text/delimited.h"
#include "text/text_blanks.h"
#include "web/cookie_merge.h"
#include "web/web_request.h"

namespace lumerin::fuzz {
namespace {

// What the scan must leave in the request, worked out line by line from the
// header block: the cookies before any merge, and the location.
struct ScanOutcome {
  Text newCookies;
  Text location;
};

ScanOutcome ExpectedScan(const Text& rawHeaders, const Text& locationBefore) {
  ScanOutcome outcome{Text(), locationBefore};
  for (const std::string& line : ModelSplit(rawHeaders, "\r\n")) {
    if (ModelFind(line, "Location:", 0, false) != -1) outcome.location = HeaderValue(line);
    if (ModelFind(line, "Set-Cookie", 0, false) != -1) {
      outcome.newCookies += TrimBoth(TextBetween(line, "Set-Cookie:", ";"));
      outcome.newCookies += "; ";
    }
  }
  if (!outcome.newCookies.empty()) outcome.newCookies.resize(outcome.newCookies.size() - 2);
  if (outcome.location.empty()) outcome.location = rawHeaders;
  return outcome;
}

void CheckScan(const Text& rawHeaders, const std::optional<Text>& cookieList,
               const Text& location) {
  const std::initializer_list<Shown> shown = {
      {"raw headers", rawHeaders},
      {"cookie list", cookieList ? std::string_view(*cookieList) : "(absent)"}};
  WebRequestParameters request;
  request.url = "http://127.0.0.1:1/x";
  request.method = 1;
  request.postText = "a=1";
  request.extraHeaders = "Referer: r";
  request.cookieList = cookieList;
  request.newCookies = "stale=1";
  request.location = location;
  request.rawHeaders = rawHeaders;
  ScanRawHeaders(request);

  const ScanOutcome expected = ExpectedScan(rawHeaders, location);
  Require(request.rawHeaders == rawHeaders, "The scan leaves the raw header block as it was",
          shown);
  Require(request.location == expected.location,
          "The location is the value of the last Location line, else what came in, else the "
          "header block",
          shown);
  if (cookieList) {
    Text merged = *cookieList;
    Text spaceless = expected.newCookies;
    MergeCookies(merged, spaceless);
    Require(request.cookieList == merged,
            "A present cookie list is merged with the answer's cookies", shown);
    Require(request.newCookies == spaceless, "With a cookie list the new cookies lose their blanks",
            shown);
  } else {
    Require(!request.cookieList, "An absent cookie list stays absent", shown);
    Require(request.newCookies == expected.newCookies,
            "The new cookies are the Set-Cookie values joined by \"; \"", shown);
  }
  Require(request.url == "http://127.0.0.1:1/x" && request.method == 1 &&
              request.postText == "a=1" && request.extraHeaders == "Referer: r" &&
              request.postBytes.empty() && !request.proxy && !request.noRedirect,
          "The scan changes only its outputs", shown);
}

}  // namespace
}  // namespace lumerin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace lumerin::fuzz;
  FuzzedDataProvider data(bytes, size);
  std::optional<std::string> cookieList;
  if (data.ConsumeBool()) cookieList = ConsumeText(data, 256);
  const std::string location = data.ConsumeBool() ? ConsumeText(data, 32) : std::string();
  const std::string rawHeaders = data.ConsumeRemainingBytesAsString();
  CheckScan(rawHeaders, cookieList, location);
  return 0;
}
