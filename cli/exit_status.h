// The exit statuses of lumerin-cli, the same for every command.
#ifndef LUMERIN_CLI_EXIT_STATUS_H_
#define LUMERIN_CLI_EXIT_STATUS_H_

namespace lumerin {

// The command did its work and printed its result.
inline constexpr int kExitSuccess = 0;
// The command could not do its work (bad input, a refusal, an I/O error); a
// message on stderr says why, and stdout holds no partial result.
inline constexpr int kExitFailure = 1;
// The command line itself is wrong; stderr holds a message and the usage.
inline constexpr int kExitUsage = 2;

}  // namespace lumerin

#endif  // LUMERIN_CLI_EXIT_STATUS_H_
