// Runs a program as a child process, for tests of the command-line programs.
//
// The child gets the given bytes on standard input and the caller's
// environment plus any extra variables; its standard output and standard
// error are collected whole. A child that runs past the time limit is killed.
#ifndef LUMERIN_CLI_TESTING_CHILD_PROCESS_H_
#define LUMERIN_CLI_TESTING_CHILD_PROCESS_H_

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace lumerin::testing {

struct ChildResult {
  // The exit status, or -1 when the child did not exit by itself (it could not
  // be started, it was killed by a signal, or it ran past the time limit).
  int exitStatus = -1;
  std::string output;  // everything written to standard output
  std::string errors;  // everything written to standard error
  bool timedOut = false;
};

// Runs `program` (a path) with `arguments`, writing `input` to its standard
// input and then closing it. `environment` holds extra "NAME=VALUE" entries;
// each replaces a variable of the same name from the caller's environment.
// The first call makes the calling process ignore SIGPIPE, so that a child
// that exits without reading all its input cannot kill the test; the child
// itself starts with the default SIGPIPE action.
//   RunChildProcess(cli, {"seal"}, "abc").output == "636764\n"
[[nodiscard]] ChildResult RunChildProcess(
    const std::string& program, const std::vector<std::string>& arguments, std::string_view input,
    const std::vector<std::string>& environment = {},
    std::chrono::milliseconds timeLimit = std::chrono::seconds(30));

}  // namespace lumerin::testing

#endif  // LUMERIN_CLI_TESTING_CHILD_PROCESS_H_
