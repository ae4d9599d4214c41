#include "view/draw.h"
#include "app/frame.h"
