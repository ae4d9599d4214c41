#include "app/globals.h"

wxString g_Filename = "untitled";
wxString g_Path;
wxPrintData* g_printData = nullptr;
wxPageSetupDialogData* g_pageSetupData = nullptr;
