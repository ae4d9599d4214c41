// The toolkit side of the view may use its own files and the toolkit.
#include <wx/dc.h>

#include "view/draw.h"
#include "view/wx/scene.h"
