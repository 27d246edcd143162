#include "cli/link_commands.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_input.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/standard_streams.h"
#include "cli/terminal_text.h"
#include "linkstore/record_format.h"
#include "linkstore/restoring.h"
#include "linkstore/shortening.h"
#include "text/ansi_conversion.h"
#include "text/text_convert.h"

namespace lumerin {
namespace {

constexpr std::string_view kVerifyOption = "--verify";

std::string Decimal(std::size_t value) { return NumberToText(static_cast<long long>(value)); }

int WriteResult(std::string_view bytes) {
  if (WriteStandardOutput(bytes)) return kExitSuccess;
  PrintError("cannot write standard output");
  return kExitFailure;
}

int Failure(std::string_view message) {
  PrintError(message);
  return kExitFailure;
}

int UsageError(std::string_view message) {
  PrintError(message);
  WriteStandardError(UsageText());
  return kExitUsage;
}

// Why `readBack` is not `sent`; empty when they are the same bytes.
std::string Difference(std::string_view sent, std::string_view readBack) {
  if (sent == readBack) return std::string();
  const auto [sentAt, readAt] =
      std::mismatch(sent.begin(), sent.end(), readBack.begin(), readBack.end());
  const std::size_t offset = static_cast<std::size_t>(sentAt - sent.begin());
  return "the text read back differs from the text sent from byte offset " + Decimal(offset) +
         " on (sent " + Decimal(sent.size()) + " bytes, read back " + Decimal(readBack.size()) +
         ")";
}

struct LinkArguments {
  std::optional<CommandOptions> options;
  bool verify = false;
};

// Parses the arguments after a link command's name with the shared parser;
// with `allowVerify`, --verify (an option the shared parser does not know) is
// taken out first wherever it stands as an option: not as the value of --key,
// nor after "--". On failure sets `*error` and leaves the options empty.
LinkArguments ParseLinkArguments(std::string_view command,
                                 std::span<const std::string_view> arguments, bool allowVerify,
                                 std::size_t operandCount, std::string* error) {
  LinkArguments parsed;
  std::vector<std::string_view> rest;
  bool optionsEnded = false;
  bool keyValueNext = false;
  for (const std::string_view argument : arguments) {
    const bool isOption = !optionsEnded && !keyValueNext;
    keyValueNext = isOption && argument == "--key";
    if (isOption && argument == "--") optionsEnded = true;
    if (isOption && allowVerify && argument == kVerifyOption) {
      parsed.verify = true;
    } else {
      rest.push_back(argument);
    }
  }
  ParsedCommandOptions options = ParseCommandOptions(rest);
  const std::string name(command);
  if (!options.options) {
    *error = name + ": " + options.error;
  } else if (options.options->operands.size() > operandCount) {
    *error = name + ": unexpected operand '" + options.options->operands[operandCount] + "'";
  } else if (options.options->operands.size() < operandCount) {
    *error = name + ": missing operand";
  } else {
    parsed.options = std::move(options.options);
  }
  return parsed;
}

}  // namespace

int RunShortenCommand(const ServiceAddress& service, const CommandOptions& options, bool verify) {
  const std::optional<Text> key = ReadCommandKey(options);
  if (!key) return kExitFailure;
  const std::optional<Text> text = ReadCommandInput(options.raw, "the text");
  if (!text) return kExitFailure;

  const Text code = ShortenText(service, *text, *key);
  if (code == kFailureResult) {
    if (text->size() > static_cast<std::size_t>(kMaxTextBytes)) {
      return Failure("the text is " + Decimal(text->size()) + " bytes long as GB18030; at most " +
                     Decimal(static_cast<std::size_t>(kMaxTextBytes)) + " can be shortened");
    }
    return Failure("the link service at " + service.host +
                   " did not store the text (is it running?)");
  }
  if (code.empty()) {
    return Failure("the link service at " + service.host + " did not store the index record");
  }
  if (verify) {
    const Text readBack = RestoreText(service, code, *key);
    if (const std::string difference = Difference(*text, readBack); !difference.empty()) {
      if (readBack == kFailureResult) {
        return Failure("verify: reading code " + code + " back failed (" + difference + ")");
      }
      return Failure("verify: code " + code + ": " + difference);
    }
  }
  return WriteResult(code + "\n");
}

int RunRestoreCommand(const ServiceAddress& service, const CommandOptions& options) {
  const std::optional<Text> key = ReadCommandKey(options);
  if (!key) return kExitFailure;
  const TerminalText code = TextFromTerminal(options.operands.at(0), options.raw);
  if (!code.text) return Failure("the code cannot be used: " + code.error);

  const Text text = RestoreText(service, *code.text, *key);
  if (text == kFailureResult) {
    return Failure("restoring code " + *code.text + " gave \"0\": the link service at " +
                   service.host +
                   " has no such record or cannot be reached, the key is wrong, or the text "
                   "was empty or \"0\"");
  }
  if (!options.raw && !IsValidGb18030(text)) {
    PrintError(
        "warning: the restored bytes are not valid GB18030; the key may be wrong or "
        "the record damaged");
  }
  return WriteResult(TerminalFromText(text, options.raw));
}

int RunCommandLineWithLinks(std::span<const std::string_view> arguments,
                            const ServiceAddress& service) {
  const std::string_view command = arguments.empty() ? std::string_view() : arguments[0];
  const bool shorten = command == "shorten";
  if (!shorten && command != "restore") return RunCommandLine(arguments);

  std::string error;
  const LinkArguments parsed =
      ParseLinkArguments(command, arguments.subspan(1), shorten, shorten ? 0 : 1, &error);
  if (!parsed.options) return UsageError(error);
  return shorten ? RunShortenCommand(service, *parsed.options, parsed.verify)
                 : RunRestoreCommand(service, *parsed.options);
}

}  // namespace lumerin
