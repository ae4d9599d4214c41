#include "view/draw.h"
#include "cli/cli.h"
