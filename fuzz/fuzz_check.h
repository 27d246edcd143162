// How a fuzz target reports a broken property.
//
// libFuzzer treats an abort() as a crash and keeps the input that caused it,
// so a property that does not hold must abort, with a message that names the
// property and shows the bytes involved.
#ifndef LUMERIN_FUZZ_FUZZ_CHECK_H_
#define LUMERIN_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

namespace lumerin::fuzz {

// One labelled value printed when a property fails.
struct Shown {
  const char* label;
  std::string_view bytes;
};

// Writes `bytes` to stderr with every byte outside printable ASCII (and the
// backslash) as \xNN, so that the report shows exactly what was compared.
inline void PrintEscaped(std::string_view bytes) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      std::fputc(byte, stderr);
    } else {
      std::fprintf(stderr, "\\x%02X", byte);
    }
  }
}

// Aborts with `property` and the shown values when `holds` is false.
inline void Require(bool holds, const char* property, std::initializer_list<Shown> shown = {}) {
  if (holds) return;
  std::fprintf(stderr, "property failed: %s\n", property);
  for (const Shown& value : shown) {
    std::fprintf(stderr, "  %s: \"", value.label);
    PrintEscaped(value.bytes);
    std::fprintf(stderr, "\"\n");
  }
  std::abort();
}

}  // namespace lumerin::fuzz

#endif  // LUMERIN_FUZZ_FUZZ_CHECK_H_
