// brimoss-cli: runs a script of Brimoss commands without a window, starting
// from the state the program starts in.
#include <fstream>
#include <iostream>

#include "cli/cli.h"
#include "ops/load.h"

#ifndef BRIMOSS_VERSION
#define BRIMOSS_VERSION "unknown"
#endif

using namespace brimoss;

static void usage(std::ostream& o) {
  o << "usage: brimoss-cli [SCRIPT]\n"
       "Runs the commands of SCRIPT (or standard input), one a line, on the surface\n"
       "Brimoss starts with (sample 131). '#' starts a comment.\n"
       "A command that cannot be carried out reports 'line L: reason' on standard\n"
       "error and the script goes on; the exit status is then 1. A malformed line\n"
       "stops the script with status 2.\n"
       "  -h, --help   show this text and exit\n"
       "  --version    show the version and exit\n";
  cli::list_commands(o);
}

int main(int argc, char** argv) {
  if (argc > 2) {
    usage(std::cerr);
    return 2;
  }
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    usage(std::cout);
    return 0;
  }
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "brimoss-cli " BRIMOSS_VERSION "\n";
    return 0;
  }
  std::unique_ptr<Store> s = make_store();
  initialize_store(*s);
  if (argc == 2) {
    std::ifstream in(argv[1]);
    if (!in) {
      std::cerr << "brimoss-cli: cannot open " << argv[1] << "\n";
      return 2;
    }
    return cli::run_script(*s, in, std::cout, std::cerr);
  }
  return cli::run_script(*s, std::cin, std::cout, std::cerr);
}
