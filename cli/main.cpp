// lumerin-cli: the sealing and link-storage logic for scripts and terminals.
// Run without arguments, or with --help, for the list of commands.
#include <string_view>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  return lumerin::RunCommandLine(arguments);
}
