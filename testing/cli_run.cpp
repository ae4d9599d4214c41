#include "testing/cli_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace brimoss::testing {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream o;
  o << in.rdbuf();
  return o.str();
}

std::string temp_name(const std::string& name) {
  // Where the test framework puts its own temporary files.
  const char* dir = std::getenv("TEST_TMPDIR");
  std::string d = dir && *dir ? dir : "/tmp/";
  if (d.back() != '/') d += '/';
  return d + "brimoss_cli_" + std::to_string(getpid()) + "_" + name;
}

CliResult run_cli(const std::string& script, std::vector<std::string> args,
                  const std::string& dir) {
  const std::string in = temp_name("in"), out = temp_name("out"), err = temp_name("err");
  std::ofstream(in, std::ios::binary) << script;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&fa, dir.c_str());
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

}  // namespace brimoss::testing
