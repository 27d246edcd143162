#include "cli/commands.h"

#include <cstddef>
#include <vector>

#include "cli/command_options.h"
#include "cli/exit_status.h"
#include "cli/seal_commands.h"
#include "cli/standard_streams.h"

namespace lumerin {
namespace {

struct Command {
  std::string_view name;
  // What follows the name in the usage text.
  std::string_view synopsis;
  // The exact number of operands the command takes.
  std::size_t operandCount;
  int (*run)(const CommandOptions& options);
};

constexpr Command kCommands[] = {
    {"seal", "[--key KEY] [--raw]", 0, RunSealCommand},
    {"unseal", "[--key KEY] [--raw]", 0, RunUnsealCommand},
};

// The commands over the link service, dispatched by RunCommandLineWithLinks
// (link_commands.h) because they need the service address; listed here so
// that one usage text names every command.
constexpr std::string_view kLinkSynopses[] = {
    "shorten [--key KEY] [--verify] [--raw]",
    "restore CODE [--key KEY] [--raw]",
};

constexpr std::string_view kProgramName = "lumerin-cli";

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

int UsageError(std::string_view message) {
  PrintError(message);
  WriteStandardError(UsageText());
  return kExitUsage;
}

}  // namespace

std::string UsageText() {
  std::string usage;
  std::string_view lead = "usage: ";
  for (const Command& command : kCommands) {
    usage.append(lead).append(kProgramName).append(" ");
    usage.append(command.name).append(" ").append(command.synopsis).append("\n");
    lead = "       ";
  }
  for (const std::string_view synopsis : kLinkSynopses) {
    usage.append(lead).append(kProgramName).append(" ").append(synopsis).append("\n");
  }
  return usage;
}

int RunCommandLine(std::span<const std::string_view> arguments) {
  if (arguments.empty()) return UsageError("no command given");
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    return WriteStandardOutput(UsageText()) ? kExitSuccess : kExitFailure;
  }
  const Command* command = FindCommand(arguments[0]);
  if (command == nullptr) {
    return UsageError("unknown command '" + std::string(arguments[0]) + "'");
  }
  const ParsedCommandOptions parsed = ParseCommandOptions(arguments.subspan(1));
  if (!parsed.options) return UsageError(std::string(command->name) + ": " + parsed.error);
  const std::vector<std::string>& operands = parsed.options->operands;
  if (operands.size() > command->operandCount) {
    return UsageError(std::string(command->name) + ": unexpected operand '" +
                      operands[command->operandCount] + "'");
  }
  if (operands.size() < command->operandCount) {
    return UsageError(std::string(command->name) + ": missing operand");
  }
  return command->run(*parsed.options);
}

}  // namespace lumerin
