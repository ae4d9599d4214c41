// The batch tool: a script of commands, one a line, run on a store. The
// commands are one table (cli/commands.cpp), in the order --help lists them;
// each translates its words into a call on the operations the window uses.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "model/store.h"

namespace brimoss::cli {

struct Context {
  Store& s;
  int line = 0;
  std::ostream& out;
  std::ostream& err;
  int status = 0;  // 1 once a command could not be carried out

  // Reports a command that cannot be carried out; the script goes on.
  void refuse(const std::string& reason) {
    err << "line " << line << ": " << reason << "\n";
    if (status < 1) status = 1;
  }
};

// Thrown for a malformed command line; ends the script with status 2.
struct UsageError {
  std::string message;
};

using Args = std::vector<std::string>;

struct Command {
  std::string group;  // heading in --help
  std::string name;
  std::string args;  // argument synopsis, for --help
  std::string help;
  int min_args = 0;
  int max_args = 0;
  std::function<void(Context&, const Args&)> run;
};

// Every command, grouped as a user reads them.
const std::vector<Command>& commands();

// The --help text's list of commands, under their group headings.
void list_commands(std::ostream& o);

// Argument conversions; a malformed number is a usage error.
int int_arg(const Args& a, std::size_t i);
double double_arg(const Args& a, std::size_t i);

// Runs a whole script; returns the exit status (0, 1 or 2).
int run_script(Store& s, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace brimoss::cli
