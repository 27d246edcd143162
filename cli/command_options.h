// The options and operands that follow a command's name on the command line.
//
// Every command takes the same options: `--key KEY` (also `--key=KEY`) and
// `--raw`. Anything else that begins with "-" is a usage error; "-" alone and
// everything after "--" are operands. How many operands a command takes is the
// command's business (see commands.h).
#ifndef LUMERIN_CLI_COMMAND_OPTIONS_H_
#define LUMERIN_CLI_COMMAND_OPTIONS_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumerin {

struct CommandOptions {
  // The key exactly as typed (UTF-8 unless raw); empty when --key is absent,
  // which seals exactly as the empty key does.
  std::string key;
  // Pass the text and the key through as bytes, without any conversion.
  bool raw = false;
  // The arguments that are not options, in order.
  std::vector<std::string> operands;
};

struct ParsedCommandOptions {
  // The options, or nullopt when the arguments are not valid.
  std::optional<CommandOptions> options;
  // Why the arguments are not valid; empty when `options` holds a value.
  std::string error;
};

// Parses the arguments after the command name. A missing value after --key, a
// second --key, or an unknown option gives an error naming the argument.
//   ParseCommandOptions({"--key", "k", "--raw"}).options->key == "k"
[[nodiscard]] ParsedCommandOptions ParseCommandOptions(std::span<const std::string_view> arguments);

}  // namespace lumerin

#endif  // LUMERIN_CLI_COMMAND_OPTIONS_H_
