#include "model/store.h"
#include "sim/relax.h"
