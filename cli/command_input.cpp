#include "cli/command_input.h"

#include <string>

#include "cli/standard_streams.h"
#include "cli/terminal_text.h"

namespace lumerin {
namespace {

std::optional<Text> Converted(std::string_view input, bool raw, std::string_view what) {
  TerminalText converted = TextFromTerminal(input, raw);
  if (!converted.text) PrintError(std::string(what) + " cannot be used: " + converted.error);
  return std::move(converted.text);
}

}  // namespace

std::optional<Text> ReadCommandKey(const CommandOptions& options) {
  return Converted(options.key, options.raw, "the key");
}

std::optional<Text> ReadCommandInput(bool raw, std::string_view what) {
  const std::optional<std::string> input = ReadStandardInput();
  if (!input) {
    PrintError("cannot read standard input");
    return std::nullopt;
  }
  return Converted(*input, raw, what);
}

}  // namespace lumerin
