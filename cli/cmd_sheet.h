// The batch tool's commands for growing and checking a sewn sheet.
#pragma once

#include <vector>

#include "cli/cli.h"

namespace brimoss::cli {

// grow-sheet and check-sheet, under their own heading, in --help order.
std::vector<Command> sheet_commands();

}  // namespace brimoss::cli
