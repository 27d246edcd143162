#include "cli/seal_commands.h"

#include <optional>
#include <string>
#include <string_view>

#include "cli/command_input.h"
#include "cli/exit_status.h"
#include "cli/standard_streams.h"
#include "cli/terminal_text.h"
#include "codec/seal.h"
#include "text/ansi_conversion.h"
#include "text/text_convert.h"

namespace lumerin {
namespace {

constexpr std::string_view kTrailingWhiteSpace = " \t\n\v\f\r";
constexpr std::string_view kHexDigits = "0123456789ABCDEFabcdef";

int WriteResult(std::string_view bytes) {
  if (WriteStandardOutput(bytes)) return kExitSuccess;
  PrintError("cannot write standard output");
  return kExitFailure;
}

// Why `sealed` is not a sealed text; empty when it is one.
std::string SealedTextError(std::string_view sealed) {
  const std::size_t bad = sealed.find_first_not_of(kHexDigits);
  if (bad != std::string_view::npos) {
    return "byte " + NumberToText(static_cast<long long>(bad) + 1) + " is not a hexadecimal digit";
  }
  if (sealed.size() % 2 != 0) return "it has an odd number of digits, so it is cut short";
  return std::string();
}

}  // namespace

int RunSealCommand(const CommandOptions& options) {
  const std::optional<Text> key = ReadCommandKey(options);
  if (!key) return kExitFailure;
  const std::optional<Text> text = ReadCommandInput(options.raw, "the text");
  if (!text) return kExitFailure;
  return WriteResult(SealText(*text, *key) + "\n");
}

int RunUnsealCommand(const CommandOptions& options) {
  const std::optional<Text> key = ReadCommandKey(options);
  if (!key) return kExitFailure;
  const std::optional<Text> input = ReadCommandInput(options.raw, "the sealed text");
  if (!input) return kExitFailure;
  std::string_view sealed = *input;
  sealed.remove_suffix(sealed.size() - (sealed.find_last_not_of(kTrailingWhiteSpace) + 1));
  if (const std::string error = SealedTextError(sealed); !error.empty()) {
    PrintError("the sealed text cannot be used: " + error);
    return kExitFailure;
  }
  const Text text = UnsealText(sealed, *key);
  if (2 * text.size() != sealed.size() || (!options.raw && !IsValidGb18030(text))) {
    PrintError("warning: this is not a text sealed with this key (a wrong key?)");
  }
  return WriteResult(TerminalFromText(text, options.raw));
}

}  // namespace lumerin
