// The program's arguments, read without the toolkit so that --help and
// --version answer without a display.
#pragma once

#include <string>
#include <vector>

namespace brimoss::app {

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  std::string file;   // the surface file to open after start-up; empty for none
  std::string error;  // what was wrong, for Action::Error
};

// Reads the arguments after the program name: at most one FILE, --help (-h),
// --version, and "--" before a file name that starts with a dash.
CommandLine parse_command_line(const std::vector<std::string>& args);

// The text --help prints (and an unknown option prints to standard error).
std::string usage_text();
// The text --version prints.
std::string version_text();

}  // namespace brimoss::app
