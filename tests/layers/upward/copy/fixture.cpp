#include "copy/paste.h"
#include "testing/workloads.h"
