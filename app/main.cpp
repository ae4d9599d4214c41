#include <iostream>

#include "app/app.h"
#include "app/cmdline.h"

wxIMPLEMENT_APP_NO_MAIN(MyApp);

int main(int argc, char** argv) {
  // Help, version and mistakes are answered before the toolkit starts, so they
  // need no display.
  using brimoss::app::CommandLine;
  const CommandLine c = brimoss::app::parse_command_line({argv + 1, argv + argc});
  switch (c.action) {
    case CommandLine::Action::Help:
      std::cout << brimoss::app::usage_text();
      return 0;
    case CommandLine::Action::Version:
      std::cout << brimoss::app::version_text();
      return 0;
    case CommandLine::Action::Error:
      std::cerr << "brimoss: " << c.error << "\n" << brimoss::app::usage_text();
      return 2;
    case CommandLine::Action::Run:
      break;
  }
  return wxEntry(argc, argv);
}
