// The commands `shorten` and `restore`: link storage from the command line,
// and the command line of lumerin-cli with them beside the codec commands.
//
//   printf hello | lumerin-cli shorten --key k      prints "Ab3dE\n"
//   lumerin-cli restore Ab3dE --key k               prints "hello"
//
// Text, key and code are converted at the edge like every command's
// (terminal_text.h) unless --raw. The service is the one main names.
#ifndef LUMERIN_CLI_LINK_COMMANDS_H_
#define LUMERIN_CLI_LINK_COMMANDS_H_

#include <span>
#include <string_view>

#include "cli/command_options.h"
#include "linkstore/service_address.h"

namespace lumerin {

// Shortens all of standard input with the key at `service` and prints the
// code followed by one LF. With `verify`, first restores the new code and
// compares the result byte for byte with the text sent; a mismatch or a
// failed read-back is a failure whose message names the first differing byte
// and both lengths. A refusal ("0") or a failed index record (the empty text)
// is a failure too. On failure standard output stays empty. Exit status as in
// exit_status.h.
[[nodiscard]] int RunShortenCommand(const ServiceAddress& service, const CommandOptions& options,
                                    bool verify);

// Restores the text behind the code (the one operand of `options`) with the
// key at `service` and prints it exactly, without a line break of its own.
// Restoring to "0" is a failure with a message. A result that is not valid
// GB18030 (without --raw) is still printed, with a warning on standard error
// that the key may be wrong or the record damaged.
[[nodiscard]] int RunRestoreCommand(const ServiceAddress& service, const CommandOptions& options);

// Runs lumerin-cli's command line: "shorten [--key KEY] [--verify] [--raw]"
// and "restore CODE [--key KEY] [--raw]" here, anything else (help included)
// as RunCommandLine (commands.h) does. A usage error of a link command prints
// the usage of every command and gives kExitUsage.
[[nodiscard]] int RunCommandLineWithLinks(std::span<const std::string_view> arguments,
                                          const ServiceAddress& service);

}  // namespace lumerin

#endif  // LUMERIN_CLI_LINK_COMMANDS_H_
