// The pure view may not reach the toolkit's canvas.
#include "view/draw.h"
#include "view/wx/canvas.h"
