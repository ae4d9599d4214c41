#include "copy/paste.h"
#include "ops/commands.h"
