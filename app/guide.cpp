#include "app/guide.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "app/frame.h"

wxString GuideWindow::Text() {
  return wxString::FromUTF8(
      "Welcome to Brimoss\n"
      "\n"
      "Brimoss grows a sheet of triangles that cannot lie flat: every edge wants\n"
      "the same length, seven triangles meet at a vertex, so the sheet crinkles.\n"
      "The front of the sheet is pink, its back green. It moves by itself; the\n"
      "mouse and the menus change it.\n"
      "\n"
      "THE MOUSE\n"
      "\n"
      "Touch\n"
      "  Move the pointer onto a vertex, no button held. It becomes the current\n"
      "  vertex: growing, removing and pulling act there. While Sway > Touch\n"
      "  purturbation is ticked, a ripple runs out from it.\n"
      "\n"
      "Flick to spin\n"
      "  Drag with the left button and let go. The sheet keeps turning; a longer\n"
      "  drag turns it faster.\n"
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
      "THE KEYS\n"
      "\n"
      "  Ctrl-O  open a surface file      Ctrl-I  open and append a file\n"
      "  Ctrl-S  save the surface         Ctrl-P  print\n"
      "  Ctrl-A  about Brimoss            Alt-X   exit\n"
      "  Ctrl-Z  undo one step            Ctrl-M  mirror image\n"
      "  Ctrl-L  detect connected pieces  Ctrl-C  add new cells\n"
      "  Ctrl-V  add a copy               Ctrl-B  add a mirror image\n"
      "  Ctrl-N  pull one point           Ctrl-R  remove some cells\n"
      "  Ctrl-1  touch ripple on or off   Ctrl-2, Ctrl-3  sway some, sway many\n"
      "  F1      this guide\n"
      "\n"
      "THE MENUS\n"
      "\n"
      "File\n"
      "  Open, Open and append and Save read and write surface files (*.brm).\n"
      "  Open Samples offers four built-in sheets. Print, PrintSetUp, About, Exit.\n"
      "\n"
      "Edit\n"
      "  Undo goes back one step. Zoom In, Zoom Out and Default size change the\n"
      "  scale. Mirror image turns the sheet over. Detect connected component\n"
      "  finds the separate pieces. Add new cells grows a seven-triangle cell at\n"
      "  the current vertex. Add copy image and Add mirror image put a copy\n"
      "  beside the sheet to paste on. Pull one point draws the current vertex\n"
      "  in. Remove some cells cuts cells away around it.\n"
      "\n"
      "Sway\n"
      "  Touch purturbation turns the touch ripple on or off. Sway once, some\n"
      "  and many open the creases over 3, 7 or 15 ticks. Keep the sheet apart\n"
      "  stops every motion of the program from passing the sheet through\n"
      "  itself; Grow sheet switches it on.\n"
      "\n"
      "Colour\n"
      "  Pick the front, back and background colours.\n"
      "\n"
      "Help\n"
      "  Brimoss guide shows this window.\n");
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
  SetClientSize(wxSize(letter.x * 80 + 40, letter.y * 36 + 60));
  CentreOnParent();
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
