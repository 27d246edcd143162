// Throughput of the text scans over the largest text they meet: a sealed
// text of 270,000 upper-case hexadecimal digits, cut by "-" every 1800 bytes
// and ending in a record marker.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "text/text_search.h"
#include "text/text_split.h"

namespace lumerin {
namespace {

constexpr std::size_t kTextSize = 270000;
constexpr std::size_t kSliceSize = 1800;
constexpr std::string_view kEndMarker = "http://txt1?";
constexpr std::string_view kAbsentMarker = "http://idx1?";

const std::string& HexText() {
  static const std::string text = [] {
    std::string built;
    built.reserve(kTextSize);
    std::uint32_t state = 0x2545F491u;
    while (built.size() < kTextSize - kEndMarker.size()) {
      if (built.size() % kSliceSize == kSliceSize - 1) {
        built.push_back('-');
        continue;
      }
      state = state * 1664525u + 1013904223u;
      built.push_back("0123456789ABCDEF"[state >> 28]);
    }
    built.append(kEndMarker);
    return built;
  }();
  return text;
}

void SetThroughput(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(HexText().size()));
}

void BM_FindTextAbsent(benchmark::State& state) {
  const std::string& text = HexText();
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, kAbsentMarker));
  SetThroughput(state);
}
BENCHMARK(BM_FindTextAbsent);

void BM_FindTextAtEnd(benchmark::State& state) {
  const std::string& text = HexText();
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, kEndMarker));
  SetThroughput(state);
}
BENCHMARK(BM_FindTextAtEnd);

void BM_FindTextIgnoreCaseAtEnd(benchmark::State& state) {
  const std::string& text = HexText();
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, "HTTP://TXT1?", 0, true));
  SetThroughput(state);
}
BENCHMARK(BM_FindTextIgnoreCaseAtEnd);

void BM_ReplaceText(benchmark::State& state) {
  const std::string& text = HexText();
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReplaceText(text, "-", "+", 1, kNoLimit, /*caseSensitive=*/true));
  }
  SetThroughput(state);
}
BENCHMARK(BM_ReplaceText);

void BM_SplitText(benchmark::State& state) {
  const std::string& text = HexText();
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(text, "-"));
  SetThroughput(state);
}
BENCHMARK(BM_SplitText);

}  // namespace
}  // namespace lumerin
