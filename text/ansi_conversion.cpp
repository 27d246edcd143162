#include "text/ansi_conversion.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace lumerin {

namespace {

// U+FFFD, the replacement character, in each encoding.
constexpr std::string_view kReplacementGb18030 = "\x84\x31\xA4\x37";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
  return c >= low && c <= high;
}

// The length of the ill-formed UTF-8 sequence at the start of `in` that
// becomes one U+FFFD: its longest prefix that could still begin a valid
// sequence, at least one byte. A valid but unconvertible sequence counts whole.
std::size_t InvalidUtf8Length(std::string_view in) {
  const auto lead = static_cast<unsigned char>(in[0]);
  std::size_t length = 0;
  unsigned char low = 0x80;  // Range of the first continuation byte.
  unsigned char high = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  std::size_t taken = 1;
  while (taken < length && taken < in.size()) {
    const auto c = static_cast<unsigned char>(in[taken]);
    if (!InRange(c, taken == 1 ? low : 0x80, taken == 1 ? high : 0xBF)) break;
    ++taken;
  }
  return taken;
}

// The length of the ill-formed GB18030 sequence at the start of `in` that
// becomes one U+FFFD. A broken structure costs only its lead byte, so that an
// ASCII byte after a stray lead byte survives; a sequence cut off by the end
// of the input, or a well-formed one without a mapping, counts whole.
std::size_t InvalidGb18030Length(std::string_view in) {
  const auto byteAt = [in](std::size_t i) { return static_cast<unsigned char>(in[i]); };
  if (!InRange(byteAt(0), 0x81, 0xFE) || in.size() == 1) return 1;
  if (InRange(byteAt(1), 0x40, 0x7E) || InRange(byteAt(1), 0x80, 0xFE)) return 2;
  if (!InRange(byteAt(1), 0x30, 0x39)) return 1;
  if (in.size() == 2) return 2;
  if (!InRange(byteAt(2), 0x81, 0xFE)) return 1;
  if (in.size() == 3) return 3;
  return InRange(byteAt(3), 0x30, 0x39) ? 4 : 1;
}

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~Converter() {
    if (IsOpen()) iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  [[nodiscard]] bool IsOpen() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`, appending to `out`. Each ill-formed sequence is
  // measured by `invalidLength` and replaced by `replacement`. Returns the
  // number of sequences replaced.
  template <typename InvalidLength>
  std::size_t Convert(std::string_view in, std::string& out, std::string_view replacement,
                      InvalidLength invalidLength) {
    std::size_t replaced = 0;
    std::size_t written = out.size();
    out.resize(written + in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());  // iconv never writes through it.
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
      char* outPtr = out.data() + written;
      std::size_t outLeft = out.size() - written;
      const std::size_t result = iconv(descriptor_, &inPtr, &inLeft, &outPtr, &outLeft);
      written = out.size() - outLeft;
      if (result != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ, or EINVAL for a sequence cut off by the end: replace it, go on.
      const std::size_t skip = std::min(inLeft, invalidLength(std::string_view(inPtr, inLeft)));
      inPtr += skip;
      inLeft -= skip;
      if (out.size() - written < replacement.size())
        out.resize(out.size() * 2 + replacement.size());
      std::copy(replacement.begin(), replacement.end(),
                out.begin() + static_cast<std::ptrdiff_t>(written));
      written += replacement.size();
      ++replaced;
      iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);  // Back to the initial state.
    }
    out.resize(written);
    return replaced;
  }

 private:
  iconv_t descriptor_;
};

}  // namespace

Text Gb18030FromUtf8(std::string_view utf8) {
  Text gb;
  Converter converter("GB18030", "UTF-8");
  if (!converter.IsOpen()) return gb;
  converter.Convert(utf8, gb, kReplacementGb18030, InvalidUtf8Length);
  // Only U+0000 gives a zero byte in GB18030.
  std::erase(gb, '\0');
  return gb;
}

std::string Utf8FromGb18030(std::string_view gb) {
  std::string utf8;
  Converter converter("UTF-8", "GB18030");
  if (!converter.IsOpen()) return utf8;
  converter.Convert(gb, utf8, kReplacementUtf8, InvalidGb18030Length);
  return utf8;
}

bool IsValidGb18030(std::string_view gb) {
  std::string utf8;
  Converter converter("UTF-8", "GB18030");
  if (!converter.IsOpen()) return false;
  return converter.Convert(gb, utf8, kReplacementUtf8, InvalidGb18030Length) == 0;
}

}  // namespace lumerin
