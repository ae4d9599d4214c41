#include "app/ids.h"
