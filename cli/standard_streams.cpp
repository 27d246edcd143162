#include "cli/standard_streams.h"

#include <cstdio>

namespace lumerin {
namespace {

constexpr std::string_view kProgramName = "lumerin-cli";

bool WriteAll(std::FILE* stream, std::string_view bytes) {
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
    return false;
  }
  return std::fflush(stream) == 0;
}

}  // namespace

std::optional<std::string> ReadStandardInput() {
  std::string input;
  char block[1 << 16];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) input.append(block, got);
  if (std::ferror(stdin)) return std::nullopt;
  return input;
}

bool WriteStandardOutput(std::string_view bytes) { return WriteAll(stdout, bytes); }

void PrintError(std::string_view message) {
  std::string line(kProgramName);
  line += ": ";
  line += message;
  line += '\n';
  WriteStandardError(line);
}

void WriteStandardError(std::string_view text) {
  // Nothing sensible is left to do when standard error itself fails.
  static_cast<void>(WriteAll(stderr, text));
}

}  // namespace lumerin
