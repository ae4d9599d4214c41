// Runs the batch tool as a separate program: the script on standard input,
// both outputs captured.
#pragma once

#include <string>
#include <vector>

namespace brimoss::testing {

struct CliResult {
  int status = -1;  // the exit status, -1 when the tool did not exit normally
  std::string out, err;
};

// Runs the batch tool with `args`, the script on standard input, and both
// outputs captured in files (no pipe to fill up). In folder `dir` when given,
// so that the script's relative file names land there.
CliResult run_cli(const std::string& script, std::vector<std::string> args = {},
                  const std::string& dir = "");

// A file name of this process's own in the test's temporary folder.
std::string temp_name(const std::string& name);

// The whole content of a file ("" when it cannot be read).
std::string slurp(const std::string& path);

}  // namespace brimoss::testing
