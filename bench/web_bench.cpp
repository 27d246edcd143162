// The cost of the web request on the longest shortening: 151 sequential
// form POSTs of 1812-byte bodies to a loopback server answering a small JSON
// text. The yardstick in the same run is the same exchange made with one
// libcurl easy handle set up once and reused, the floor for a client built on
// libcurl.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <string>

#include "testsupport/http/scripted_server.h"
#include "web/web_request.h"

namespace lumerin {
namespace {

using testsupport::ReceivedRequest;
using testsupport::Reply;
using testsupport::ScriptedServer;

// Requests per iteration: 150 part records and an index record.
constexpr int kRequests = 151;
constexpr std::size_t kBodyBytes = 1812;

const std::string kAnswer =
    "{\"tinyurl\":\"http:\\/\\/127.0.0.1\\/"
    "Ab3dE\",\"status\":0,\"longurl\":\"x\",\"err_msg\":\"\"}";

std::string FormBody() { return "url=" + std::string(kBodyBytes - 4, 'A'); }

ScriptedServer::Handler AnswerJson() {
  return [](const ReceivedRequest&) { return Reply::Answer(200, kAnswer); };
}

void BM_WebRequestLivePath(benchmark::State& state) {
  ScriptedServer server(AnswerJson());
  const std::string url = server.BaseUrl() + "/create.php";
  const std::string body = FormBody();
  for (auto _ : state) {
    for (int i = 0; i < kRequests; ++i) {
      WebRequestParameters request;
      request.url = url;
      request.method = 1;
      request.postText = body;
      const ByteArray answer = WebRequest(request);
      if (answer.size() != kAnswer.size()) state.SkipWithError("wrong answer");
    }
  }
  state.counters["connections"] = server.AcceptedConnections();
}
BENCHMARK(BM_WebRequestLivePath)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

void BM_ReusedCurlHandleFloor(benchmark::State& state) {
  ScriptedServer server(AnswerJson());
  const std::string url = server.BaseUrl() + "/create.php";
  const std::string body = FormBody();
  const std::string referer = "Referer: " + url;
  CURL* easy = curl_easy_init();
  curl_slist* headers = nullptr;
  for (const char* line : {referer.c_str(), "Accept: */*", "Accept-Language: zh-cn",
                           "Content-Type: application/x-www-form-urlencoded", "Expect:"}) {
    headers = curl_slist_append(headers, line);
  }
  std::string answer;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_USERAGENT, kDefaultUserAgent);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &answer);
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  for (auto _ : state) {
    for (int i = 0; i < kRequests; ++i) {
      answer.clear();
      if (curl_easy_perform(easy) != CURLE_OK || answer != kAnswer) {
        state.SkipWithError("wrong answer");
      }
    }
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(easy);
  state.counters["connections"] = server.AcceptedConnections();
}
BENCHMARK(BM_ReusedCurlHandleFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lumerin
