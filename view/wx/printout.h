// The current view on one printed page.
#pragma once

#include <wx/print.h>

class MyPrintout : public wxPrintout {
 public:
  // A null title gives an untitled printout. With `pageSetup`, margins chosen
  // there (any not zero) keep the picture off the paper's edges; without, the
  // picture uses the whole printable area.
  explicit MyPrintout(const char* title, const wxPageSetupDialogData* pageSetup = nullptr);

  // Draws the view as the canvas shows it, without the status line, scaled to
  // fit the page and centred. The page number is not looked at: the document
  // has page 1 only. False when there is no device context.
  bool OnPrintPage(int page) override;

 private:
  const wxPageSetupDialogData* m_pageSetup;
};
