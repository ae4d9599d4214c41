// Runs the batch tool from the tests: the script on standard input, both
// outputs captured.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace brimoss::testcli {

struct CliResult {
  int status = -1;
  std::string out, err;
};

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream o;
  o << in.rdbuf();
  return o.str();
}

inline std::string temp_name(const std::string& name) {
  return ::testing::TempDir() + "brimoss_cli_" + std::to_string(getpid()) + "_" + name;
}

// Runs the batch tool with `args`, the script on standard input, and both
// outputs captured in files (no pipe to fill up).
inline CliResult run_cli(const std::string& script, std::vector<std::string> args = {}) {
  const std::string in = temp_name("in"), out = temp_name("out"), err = temp_name("err");
  std::ofstream(in, std::ios::binary) << script;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  args.insert(args.begin(), BRIMOSS_CLI);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  CliResult r;
  pid_t pid = 0;
  if (posix_spawn(&pid, BRIMOSS_CLI, &fa, nullptr, argv.data(), environ) == 0) {
    int st = 0;
    waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  posix_spawn_file_actions_destroy(&fa);
  r.out = slurp(out);
  r.err = slurp(err);
  std::remove(in.c_str());
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}

}  // namespace brimoss::testcli
