#include "app/guide.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "app/frame.h"
#include "app/menu_table.h"

wxString GuideWindow::Text() {
  return wxString::FromUTF8(
             "Welcome to Brimoss\n"
             "\n"
             "Brimoss grows a sheet of triangles that cannot lie flat: every edge wants\n"
             "the same length, seven triangles meet at a vertex, so the sheet crinkles.\n"
             "The front of the sheet is pink, its back green. It moves by itself; the\n"
             "mouse, the keys and the menus change it.\n"
             "\n"
             "THE MOUSE\n"
             "\n"
             "Touch\n"
             "  Move the pointer onto a vertex, no button held. It becomes the current\n"
             "  vertex: growing, removing and pulling act there. While Sway > Touch\n"
             "  purturbation is ticked, a ripple runs out from it.\n"
             "\n"
             "Flick to spin\n"
             "  Drag with the left button and let go. The sheet spins and slows to rest\n"
             "  within about a second; a longer drag spins it faster.\n"
             "\n"
             "Right-drag\n"
             "  Press the right button on a vertex: its piece is outlined in white.\n"
             "  Drag to move that piece across the screen. While pieces are outlined a\n"
             "  spin turns only them; a right click on empty canvas clears the outlines.\n"
             "\n"
             "Paste\n"
             "  Touch a vertex on a border, press the left button there, drag to another\n"
             "  border vertex and let go. The two are pulled together step by step and\n"
             "  joined. Doing this along a border sews a copy (Edit > Add copy image)\n"
             "  onto its source.\n"
             "\n"
             "THE WHEEL AND THE KEYS ON THE CANVAS (click the canvas first)\n"
             "\n"
             "  Wheel        each notch zooms in (away from you) or out (towards you)\n"
             "               about the pointer: the point under it stays there\n"
             "  Arrow keys   turn the sheet a little, the way a flick that way spins it\n"
             "               (only the outlined pieces, while some are)\n"
             "  Home         Default size, the origin back in the middle\n"
             "  Escape       closes this guide\n"
             "\n"
             "GROWING A SHEET\n"
             "\n"
             "  Grow sheet grows one ring of cells round the border and sews each cell\n"
             "  to its neighbours; the status bar follows it ring by ring and says why\n"
             "  it stopped. A click, touching another vertex or a command that changes\n"
             "  the sheet stops it; Save, Export..., Save picture..., Print, the zooms,\n"
             "  the colours and this guide leave it growing. Undo takes back a ring.\n"
             "  Show counts and current vertex puts the counts, or why a command did\n"
             "  nothing, in the status bar and rings the current vertex.\n"
             "  Grow sheet ticks Sway > Keep the sheet apart: from then on growth and\n"
             "  every motion of the program keep the sheet from passing through itself,\n"
             "  and a cell or a paste that would cross the sheet is left out (the status\n"
             "  bar counts them). Drags, mirrors and copies are yours: the status bar\n"
             "  says where they leave the sheet crossing itself, and it stays so.\n"
             "\n"
             "THE MENUS (with their keys)\n"
             "\n") +
         wxString::FromUTF8(brimoss::app::commands_text());
}

GuideWindow::GuideWindow(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, "Brimoss guide", wxDefaultPosition, wxSize(600, 640),
              wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT) {
  wxPanel* panel = new wxPanel(this);
  m_text = new wxTextCtrl(panel, wxID_ANY, Text(), wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  // Fixed-width letters keep the table of keys in its columns.
  m_text->SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
  wxButton* close = new wxButton(panel, wxID_CLOSE);
  close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
  wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_text, 1, wxEXPAND | wxALL, 8);
  sizer->Add(close, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  panel->SetSizer(sizer);
  m_text->SetInsertionPoint(0);
  // Wide enough for the longest line, tall enough for the mouse section.
  const wxSize letter = m_text->GetTextExtent("M");
  SetClientSize(wxSize(letter.x * 100 + 40, letter.y * 36 + 60));
  CentreOnParent();
  // Escape closes the guide, wherever in it the keys are.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE)
      Close();
    else
      event.Skip();
  });
}

void MyFrame::OnGuide(wxCommandEvent&) {
  // One guide at a time: a second request brings the open one to the front.
  if (m_guide) {
    m_guide->Show();
    m_guide->Raise();
    return;
  }
  m_guide = new GuideWindow(this);
  m_guide->Bind(wxEVT_DESTROY, &MyFrame::OnGuideDestroyed, this);
  m_guide->Show();
}

void MyFrame::OnGuideDestroyed(wxWindowDestroyEvent& ev) {
  if (ev.GetEventObject() == m_guide) m_guide = nullptr;
  ev.Skip();
}

MyFrame::~MyFrame() {
  // The guide is a child and is destroyed after this frame's own part is
  // gone; it must not report back to it then.
  if (m_guide) m_guide->Unbind(wxEVT_DESTROY, &MyFrame::OnGuideDestroyed, this);
}
