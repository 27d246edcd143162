#include "cli/command_options.h"

#include <utility>

namespace lumerin {
namespace {

constexpr std::string_view kKeyOption = "--key";
constexpr std::string_view kKeyOptionWithValue = "--key=";
constexpr std::string_view kRawOption = "--raw";
constexpr std::string_view kEndOfOptions = "--";

ParsedCommandOptions Invalid(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

ParsedCommandOptions ParseCommandOptions(std::span<const std::string_view> arguments) {
  CommandOptions options;
  bool keyGiven = false;
  bool optionsEnded = false;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string_view argument = arguments[k];
    if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
      options.operands.emplace_back(argument);
      continue;
    }
    if (argument == kEndOfOptions) {
      optionsEnded = true;
    } else if (argument == kRawOption) {
      options.raw = true;
    } else if (argument == kKeyOption || argument.starts_with(kKeyOptionWithValue)) {
      if (keyGiven) return Invalid("--key given twice");
      keyGiven = true;
      if (argument == kKeyOption) {
        if (k + 1 == arguments.size()) return Invalid("--key needs a value");
        options.key = arguments[++k];
      } else {
        options.key = argument.substr(kKeyOptionWithValue.size());
      }
    } else {
      return Invalid("unknown option '" + std::string(argument) + "'");
    }
  }
  return {std::move(options), std::string()};
}

}  // namespace lumerin
