// lumerin-cli: the sealing and link-storage logic for scripts and terminals.
// Run without arguments, or with --help, for the list of commands.
#include <string_view>
#include <vector>

#include "cli/link_commands.h"
#include "linkstore/service_address.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  return lumerin::RunCommandLineWithLinks(arguments, lumerin::ServiceAddressFromEnvironment());
}
