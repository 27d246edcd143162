// The commands of lumerin-cli and the dispatch from a command line to one.
//
// Each command is one entry in a table: its name, its synopsis for the usage
// text, the number of operands it takes, and the routine that runs it. Adding
// a command means adding a file with its routine and one entry to the table.
#ifndef LUMERIN_CLI_COMMANDS_H_
#define LUMERIN_CLI_COMMANDS_H_

#include <span>
#include <string>
#include <string_view>

namespace lumerin {

// The usage text: one line per command, each ending in LF.
[[nodiscard]] std::string UsageText();

// Runs the command named by `arguments` (the program's arguments after its
// own name) and gives the exit status (exit_status.h). "--help" or "-h" alone
// prints the usage on standard output. An unknown command, an invalid option
// or the wrong number of operands prints a message and the usage on standard
// error and gives kExitUsage.
[[nodiscard]] int RunCommandLine(std::span<const std::string_view> arguments);

}  // namespace lumerin

#endif  // LUMERIN_CLI_COMMANDS_H_
