#include "app/cmdline.h"

#ifndef BRIMOSS_VERSION
#define BRIMOSS_VERSION "unknown"
#endif

namespace brimoss::app {

CommandLine parse_command_line(const std::vector<std::string>& args) {
  CommandLine c;
  bool options = true;
  auto fail = [&c](std::string why) {
    c.action = CommandLine::Action::Error;
    c.error = std::move(why);
    c.file.clear();
    return c;
  };
  for (const std::string& a : args) {
    if (options && a == "--") {
      options = false;
    } else if (options && (a == "--help" || a == "-h")) {
      c.action = CommandLine::Action::Help;
    } else if (options && a == "--version") {
      if (c.action != CommandLine::Action::Help) c.action = CommandLine::Action::Version;
    } else if (options && a.size() > 1 && a[0] == '-') {
      return fail("unknown option " + a);
    } else if (!c.file.empty()) {
      return fail("more than one file: " + c.file + " and " + a);
    } else if (a.empty()) {
      return fail("an empty file name");
    } else {
      c.file = a;
    }
  }
  // Help and version answer and end; a file named beside them is not opened.
  if (c.action != CommandLine::Action::Run) c.file.clear();
  return c;
}

std::string usage_text() {
  return "usage: brimoss [FILE.brm]\n"
         "Grows, relaxes and shows a crinkled sheet of triangles. Starts with sample 131\n"
         "and then opens FILE, if given, as File > Open does.\n"
         "  -h, --help   show this text and exit\n"
         "  --version    show the version and exit\n";
}

std::string version_text() { return std::string("brimoss ") + BRIMOSS_VERSION + "\n"; }

}  // namespace brimoss::app
