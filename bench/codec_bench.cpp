// Throughput of the sealing codec on the longest text shortening accepts, with
// OpenSSL's RC4 on the same data in the same run as the yardstick.
#include <benchmark/benchmark.h>

// The low-level RC4 interface is deprecated in OpenSSL 3, and it is exactly
// what this file compares against.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/rc4.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "codec/hex.h"
#include "codec/rc4.h"
#include "codec/seal.h"
#include "text/text_types.h"

namespace lumerin {
namespace {

constexpr std::size_t kTextBytes = 135000;
constexpr std::string_view kKey = "\xC3\xDC\xD4\xBF benchmark key";

// A text of kTextBytes bytes, none of them zero, the same in every run.
const Text& BenchmarkText() {
  static const Text text = [] {
    Text t(kTextBytes, '\0');
    std::uint32_t state = 12345;
    for (char& c : t) {
      state = state * 1103515245u + 12345u;
      c = static_cast<char>(1 + (state >> 16) % 255);
    }
    return t;
  }();
  return text;
}

ByteView BenchmarkBytes() {
  const Text& text = BenchmarkText();
  return ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void BM_SealText(benchmark::State& state) {
  const Text& text = BenchmarkText();
  for (auto _ : state) benchmark::DoNotOptimize(SealText(text, kKey));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_SealText);

void BM_UnsealText(benchmark::State& state) {
  const Text sealed = SealText(BenchmarkText(), kKey);
  for (auto _ : state) benchmark::DoNotOptimize(UnsealText(sealed, kKey));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_UnsealText);

void BM_Rc4Transform(benchmark::State& state) {
  const ByteView data = BenchmarkBytes();
  for (auto _ : state) benchmark::DoNotOptimize(Rc4Transform(data, kKey));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_Rc4Transform);

// The same work as BM_Rc4Transform: a fresh key schedule and a fresh result
// buffer on every iteration.
void BM_OpenSslRc4(benchmark::State& state) {
  const ByteView data = BenchmarkBytes();
  for (auto _ : state) {
    RC4_KEY key;
    RC4_set_key(&key, static_cast<int>(kKey.size()),
                reinterpret_cast<const unsigned char*>(kKey.data()));
    ByteArray result(data.size());
    RC4(&key, data.size(), data.data(), result.data());
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_OpenSslRc4);

void BM_HexEncode(benchmark::State& state) {
  const ByteView data = BenchmarkBytes();
  for (auto _ : state) benchmark::DoNotOptimize(HexEncode(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_HexEncode);

void BM_HexDecode(benchmark::State& state) {
  const Text hex = HexEncode(BenchmarkBytes());
  for (auto _ : state) benchmark::DoNotOptimize(HexDecode(hex));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}
BENCHMARK(BM_HexDecode);

}  // namespace
}  // namespace lumerin
