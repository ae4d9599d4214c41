#include <wx/wx.h>
#include "model/store.h"
