// What a command reads: its key and the text on standard input, both turned
// into Text at the edge (see terminal_text.h).
//
// Each function prints a message on standard error when it gives nullopt, so
// a command only has to return kExitFailure.
#ifndef LUMERIN_CLI_COMMAND_INPUT_H_
#define LUMERIN_CLI_COMMAND_INPUT_H_

#include <optional>
#include <string_view>

#include "cli/command_options.h"
#include "text/text_types.h"

namespace lumerin {

// The key of `options` as a Text, converted as any text is; nullopt when it
// cannot be one (not valid UTF-8 without --raw).
[[nodiscard]] std::optional<Text> ReadCommandKey(const CommandOptions& options);

// All of standard input as a Text, converted unless `raw`; nullopt when it
// cannot be read or cannot be a Text. `what` names the input in messages
// ("the text", "the sealed text").
[[nodiscard]] std::optional<Text> ReadCommandInput(bool raw, std::string_view what);

}  // namespace lumerin

#endif  // LUMERIN_CLI_COMMAND_INPUT_H_
