// Conversion at the command line's edge, between what a terminal or script
// hands over and the Text the logic works on.
//
// A terminal speaks UTF-8 with LF line breaks; a Text is GB18030 with CR LF,
// as in the window, so a text sealed here unseals to the same text there and
// the reverse. With `raw` the bytes pass unchanged both ways.
#ifndef LUMERIN_CLI_TERMINAL_TEXT_H_
#define LUMERIN_CLI_TERMINAL_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

struct TerminalText {
  // The converted text, or nullopt when the input cannot become a Text.
  std::optional<Text> text;
  // Why the input cannot become a Text, for a message; empty when it can.
  std::string error;
};

// The Text form of `input`: unchanged with `raw`; otherwise converted from
// UTF-8 to GB18030 with every LF turned into CR LF. Refuses input that holds a
// zero byte, which no Text can hold, and (without `raw`) input that is not
// valid UTF-8, since converting it would replace some of its bytes: nothing is
// ever silently dropped or replaced.
//   TextFromTerminal("中\n", false).text == "\xD6\xD0\r\n"
[[nodiscard]] TerminalText TextFromTerminal(std::string_view input, bool raw);

// The terminal form of `text`: unchanged with `raw`; otherwise every CR LF
// turned back into LF and the result converted from GB18030 to UTF-8, each
// invalid GB18030 sequence becoming U+FFFD.
[[nodiscard]] std::string TerminalFromText(std::string_view text, bool raw);

}  // namespace lumerin

#endif  // LUMERIN_CLI_TERMINAL_TEXT_H_
