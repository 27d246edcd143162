// The program's three standard streams, as whole byte strings.
//
// Input and output are binary: no byte is added, dropped or translated.
#ifndef LUMERIN_CLI_STANDARD_STREAMS_H_
#define LUMERIN_CLI_STANDARD_STREAMS_H_

#include <optional>
#include <string>
#include <string_view>

namespace lumerin {

// Every byte of standard input up to its end; nullopt when reading fails.
[[nodiscard]] std::optional<std::string> ReadStandardInput();

// Writes `bytes` to standard output and flushes it; false when that fails
// (a closed pipe, a full disk).
[[nodiscard]] bool WriteStandardOutput(std::string_view bytes);

// Writes "lumerin-cli: " + `message` + LF to standard error.
void PrintError(std::string_view message);

// Writes `text` to standard error unchanged.
void WriteStandardError(std::string_view text);

}  // namespace lumerin

#endif  // LUMERIN_CLI_STANDARD_STREAMS_H_
