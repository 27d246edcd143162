// The commands `seal` and `unseal`: the sealing codec alone, standard input to
// standard output.
//
//   printf abc | lumerin-cli seal            prints "636764\n"
//   lumerin-cli seal --key K < note.txt | lumerin-cli unseal --key K
//                                            prints note.txt exactly
#ifndef LUMERIN_CLI_SEAL_COMMANDS_H_
#define LUMERIN_CLI_SEAL_COMMANDS_H_

#include "cli/command_options.h"

namespace lumerin {

// Seals all of standard input (exactly its bytes, converted unless --raw) with
// the key and prints the sealed text followed by one LF. Exit status as in
// exit_status.h; input with a zero byte, or not valid UTF-8 without --raw, is
// refused and nothing is printed on standard output.
[[nodiscard]] int RunSealCommand(const CommandOptions& options);

// Unseals the sealed text on standard input with the key and prints the text
// exactly, without a line break of its own. Trailing ASCII white space after
// the sealed text is ignored; anything else that is not a pair of hexadecimal
// digits is refused. When the result cannot be the text that was sealed with
// this key (its bytes held a zero byte, or without --raw it is not valid
// GB18030), it is still printed, with a warning on standard error.
[[nodiscard]] int RunUnsealCommand(const CommandOptions& options);

}  // namespace lumerin

#endif  // LUMERIN_CLI_SEAL_COMMANDS_H_
