#include "cli/terminal_text.h"

#include "text/ansi_conversion.h"
#include "text/line_breaks.h"
#include "text/text_convert.h"

namespace lumerin {

TerminalText TextFromTerminal(std::string_view input, bool raw) {
  const std::size_t zero = input.find('\0');
  if (zero != std::string_view::npos) {
    return {std::nullopt, "it holds a zero byte (byte " +
                              NumberToText(static_cast<long long>(zero) + 1) +
                              "), and a text cannot hold one"};
  }
  if (raw) return {Text(input), std::string()};
  Text text = Gb18030FromUtf8(input);
  // GB18030 encodes every Unicode character, so valid UTF-8 comes back
  // unchanged; anything else had a sequence replaced by U+FFFD.
  if (Utf8FromGb18030(text) != input) {
    return {std::nullopt, "it is not valid UTF-8 (--raw passes bytes unchanged)"};
  }
  return {CrLfFromLf(text), std::string()};
}

std::string TerminalFromText(std::string_view text, bool raw) {
  if (raw) return std::string(text);
  return Utf8FromGb18030(LfFromCrLf(text));
}

}  // namespace lumerin
