// Program-wide toolkit objects that live for the whole run. The surface and
// every setting the drawing reads are in the store (the_store()); these are
// only the pieces that are toolkit types.
#pragma once

#include <wx/print.h>
#include <wx/string.h>

// The file name (without folder) last chosen in a file dialog, offered as the
// next dialog's default, and its full path.
extern wxString g_Filename;
extern wxString g_Path;

// Printer settings, created by MyApp::Initialize and kept for the run.
extern wxPrintData* g_printData;
// The page margins chosen in PrintSet&Up, created with g_printData. Its own
// copy of the printer settings is refreshed from g_printData whenever the
// page set-up opens and after every print, so the two never disagree.
extern wxPageSetupDialogData* g_pageSetupData;
