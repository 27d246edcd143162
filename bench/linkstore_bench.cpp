// Shortening and restoring the longest accepted text end to end against a
// real lumerin-linkd on loopback, and the yardsticks beside them.
//
// Shortening is sequential and every create is answered only after its
// durable commit, so 151 creates cost at least 151 x (one bare HTTP round
// trip + one WAL, synchronous=FULL commit on the same disk): BM_ShorteningFloor
// pays exactly that sum in the same run. BM_BareCurlCreates sends the same 151
// creates without Lumerin's client code, which splits the time of
// BM_ShortenLongestText between the client and the service.
//
//   build-bench/bench/bench --benchmark_filter='Longest|Floor|Bare|Healthz|Commit'
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "linkstore/record_format.h"
#include "linkstore/restoring.h"
#include "linkstore/shortening.h"
#include "service/link_database.h"
#include "testsupport/linkd/linkd_fixture.h"

namespace lumerin {
namespace {

// The longest text shortening accepts: 150 part records and an index record.
constexpr int kLongestText = 134999;
constexpr int kRequestsPerLongestText = 151;

// The one service all benchmarks of this file talk to, started on first use
// and stopped at exit.
LinkdFixture& Linkd() {
  static LinkdFixture linkd;
  if (!linkd.running() && !linkd.Start()) {
    std::fprintf(stderr, "lumerin-linkd did not start:\n%s", linkd.ServiceLog().c_str());
    std::abort();
  }
  return linkd;
}

// `length` bytes from 1 to 255, different for every seed.
Text BenchText(int length, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(1, 255);
  Text text(static_cast<std::size_t>(length), ' ');
  for (char& c : text) c = static_cast<char>(byte(generator));
  return text;
}

// Requests to the service over one kept-alive libcurl handle with nothing of
// Lumerin's web layer in between: the bare HTTP exchange.
class BareCurl {
 public:
  explicit BareCurl(const std::string& host)
      : base_("http://" + host), curl_(curl_easy_init(), curl_easy_cleanup) {
    curl_easy_setopt(curl_.get(), CURLOPT_WRITEFUNCTION, &Discard);
  }

  // True when a GET of `path` was answered 200.
  bool Get(const std::string& path) {
    curl_easy_setopt(curl_.get(), CURLOPT_HTTPGET, 1L);
    return Perform(path);
  }

  // True when a form POST of `body` to `path` was answered 200.
  bool Post(const std::string& path, const std::string& body) {
    curl_easy_setopt(curl_.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl_.get(), CURLOPT_COPYPOSTFIELDS, body.c_str());
    return Perform(path);
  }

 private:
  static size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

  bool Perform(const std::string& path) {
    const std::string url = base_ + path;
    curl_easy_setopt(curl_.get(), CURLOPT_URL, url.c_str());
    long status = 0;
    return curl_easy_perform(curl_.get()) == CURLE_OK &&
           curl_easy_getinfo(curl_.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
           status == 200;
  }

  std::string base_;
  std::unique_ptr<CURL, void (*)(CURL*)> curl_;
};

// One-link transactions into a database of the service's own layout (WAL,
// synchronous=FULL) beside the service's database, so on the same disk.
class DurableCommits {
 public:
  explicit DurableCommits(const std::string& directory) {
    const Status opened =
        LinkDatabase::Open(directory + "/floor.db", LinkDatabase::Access::kReadWrite, &database_);
    if (!opened.ok()) Fail(opened);
  }

  // Stores one new link and commits it.
  void CommitOne() {
    std::string code = "F";
    code += std::to_string(next_++);
    bool inserted = false;
    if (Status s = database_->Begin(); !s.ok()) Fail(s);
    if (Status s = database_->Insert(code, "http://txt1?" + code, &inserted); !s.ok()) Fail(s);
    if (Status s = database_->Commit(); !s.ok()) Fail(s);
  }

 private:
  [[noreturn]] static void Fail(const Status& status) {
    std::fprintf(stderr, "floor database: %s\n", status.message().c_str());
    std::abort();
  }

  std::unique_ptr<LinkDatabase> database_;
  std::uint64_t next_ = 0;
};

void SetPerRequest(benchmark::State& state, int requestsPerIteration) {
  state.counters["per_request"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * requestsPerIteration,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ShortenLongestText(benchmark::State& state) {
  const ServiceAddress service{Linkd().host()};
  std::uint32_t seed = 1;
  for (auto _ : state) {
    // A new text every time, so that every create is a new, committed link.
    state.PauseTiming();
    const Text text = BenchText(kLongestText, seed++);
    state.ResumeTiming();
    const Text code = ShortenText(service, text, "bench key");
    if (code.size() != 5) state.SkipWithError("shortening failed");
  }
  SetPerRequest(state, kRequestsPerLongestText);
}
BENCHMARK(BM_ShortenLongestText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RestoreLongestText(benchmark::State& state) {
  const ServiceAddress service{Linkd().host()};
  const Text text = BenchText(kLongestText, 0);
  const Text code = ShortenText(service, text, "bench key");
  for (auto _ : state) {
    if (RestoreText(service, code, "bench key") != text) state.SkipWithError("restoring failed");
  }
  SetPerRequest(state, kRequestsPerLongestText);
}
BENCHMARK(BM_RestoreLongestText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HealthzRoundTrip(benchmark::State& state) {
  BareCurl curl(Linkd().host());
  for (auto _ : state) {
    if (!curl.Get("/healthz")) state.SkipWithError("healthz failed");
  }
}
BENCHMARK(BM_HealthzRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DurableCommit(benchmark::State& state) {
  DurableCommits commits(Linkd().directory());
  for (auto _ : state) commits.CommitOne();
}
BENCHMARK(BM_DurableCommit)->Unit(benchmark::kMicrosecond)->UseRealTime();

// 151 x (round trip + commit), one after another, as shortening pays them.
void BM_ShorteningFloor(benchmark::State& state) {
  BareCurl curl(Linkd().host());
  DurableCommits commits(Linkd().directory());
  for (auto _ : state) {
    for (int request = 0; request < kRequestsPerLongestText; ++request) {
      if (!curl.Get("/healthz")) state.SkipWithError("healthz failed");
      commits.CommitOne();
    }
  }
  SetPerRequest(state, kRequestsPerLongestText);
}
BENCHMARK(BM_ShorteningFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The creates of one shortening (151 new long URLs of 1812 characters) sent
// over a bare libcurl handle: what the service itself takes for them, with
// neither the sealing nor Lumerin's web layer on the client side.
void BM_BareCurlCreates(benchmark::State& state) {
  BareCurl curl(Linkd().host());
  std::string longUrl = "http://txt1?" + std::string(kPartSize, '0');
  std::uint64_t serial = 0;
  for (auto _ : state) {
    for (int request = 0; request < kRequestsPerLongestText; ++request) {
      // A new long URL each time: the serial number overwrites its tail.
      const std::string digits = std::to_string(++serial);
      longUrl.replace(longUrl.size() - digits.size(), digits.size(), digits);
      if (!curl.Post("/create.php", "url=" + longUrl + "&alias=&access_type=web")) {
        state.SkipWithError("create failed");
      }
    }
  }
  SetPerRequest(state, kRequestsPerLongestText);
}
BENCHMARK(BM_BareCurlCreates)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lumerin
