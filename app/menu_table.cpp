#include "app/menu_table.h"

#include <algorithm>

#include "app/ids.h"

namespace brimoss::app {

namespace {

constexpr ItemKind N = ItemKind::Normal;
constexpr ItemKind C = ItemKind::Check;
constexpr ItemKind S = ItemKind::Separator;
constexpr ItemKind M = ItemKind::Submenu;

}  // namespace

const std::vector<MenuTitle>& menu_titles() {
  static const std::vector<MenuTitle> titles = {
      {"File", "&File"},     {"Edit", "&Edit"}, {"Sway", "&Sway"},
      {"Colour", "&Colour"}, {"Help", "&Help"},
  };
  return titles;
}

const std::vector<MenuItemRow>& menu_rows() {
  using namespace MenuId;
  static const std::vector<MenuItemRow> rows = {
      {"File", N, Open, "&Open", "Ctrl-O", "Open a surface file (*.brm) in place of the sheet"},
      {"File", M, OpenSamples, "Open Sa&mples", "", "Open one of four built-in sheets"},
      {"Open Samples", N, Sample1, "&1", "", "Open the built-in sheet of one cell (sample 128)"},
      {"Open Samples", N, Sample2, "&2", "", "Open the built-in sheet of three cells (sample 129)"},
      {"Open Samples", N, Sample3, "&3", "", "Open the built-in sheet of six cells (sample 130)"},
      {"Open Samples", N, Sample4, "&4", "", "Open the sheet Brimoss starts with (sample 131)"},
      {"File", N, Append, "&Open and append", "Ctrl-I",
       "Add the surface of a file beside the sheet, to paste on"},
      {"File", N, Save, "&Save", "Ctrl-S", "Save the sheet as a surface file (*.brm)"},
      {"File", N, Export, "Export...", "",
       "Write the sheet for other programs: OBJ, PLY, STL, or a solid for 3D printing"},
      {"File", N, SavePicture, "Save picture...", "",
       "Write what the canvas shows as a PNG image or an SVG drawing"},
      {"File", S, 0, "", "", ""},
      {"File", N, Print, "&Print", "Ctrl-P", "Print the sheet"},
      {"File", N, PrintSetup, "PrintSet&Up", "", "Choose the paper and the margins for printing"},
      {"File", S, 0, "", "", ""},
      {"File", N, About, "&About...", "Ctrl-A", "Show about dialog"},
      {"File", S, 0, "", "", ""},
      {"File", N, Quit, "E&xit", "Alt-X", "Quit this program"},

      {"Edit", N, Undo, "&Undo", "Ctrl-Z", "Take back the last change to the sheet (one step)"},
      {"Edit", N, ZoomIn, "Zoom &In", "", "Show the sheet larger (the wheel away from you)"},
      {"Edit", N, ZoomOut, "Zoom &Out", "", "Show the sheet smaller (the wheel towards you)"},
      {"Edit", N, DefaultSize, "&Default size", "",
       "Back to 100 pixels a unit with the sheet centred on the origin (Home)"},
      {"Edit", N, ZoomToFit, "Zoom to &fit", "Ctrl-F",
       "Show the whole sheet in the window with a small margin"},
      {"Edit", S, 0, "", "", ""},
      {"Edit", N, Mirror, "&Mirror image", "Ctrl-M", "Turn the sheet into its mirror image"},
      {"Edit", N, DetectComponents, "&Detect connected component", "Ctrl-L",
       "Find the separate pieces of the sheet"},
      {"Edit", S, 0, "", "", ""},
      {"Edit", N, AddNewCell, "&Add new cells", "Ctrl-C",
       "Grow a seven-triangle cell at the current vertex"},
      {"Edit", N, AddCopy, "&Add copy image", "Ctrl-V",
       "Put a copy of the sheet beside it, to paste onto its border"},
      {"Edit", N, AddMirror, "&Add mirror image ", "Ctrl-B",
       "Put a mirror-image copy of the sheet beside it, to paste onto its border"},
      {"Edit", N, PullPoint, "&Pull one point ", "Ctrl-N", "Draw the current vertex in"},
      {"Edit", N, RemoveCell, "&Remove some cells ", "Ctrl-R",
       "Cut away the cells round the current vertex"},
      {"Edit", S, 0, "", "", ""},
      {"Edit", C, ShowFeedback, "Show &counts and current vertex", "",
       "Show the counts, or why a command did nothing, and mark the current vertex"},
      {"Edit", S, 0, "", "", ""},
      {"Edit", N, GrowSheet, "Grow sheet", "Ctrl-G",
       "Grow one ring of cells round the border, each sewn to its neighbours"},
      {"Edit", N, GrowSheetUntilFull, "Grow sheet until full", "Ctrl-Shift-G",
       "Grow ring after ring until no cell fits"},

      {"Sway", C, TouchPerturbation, "Touch purturbation &1", "Ctrl-1",
       "Touching a vertex sends a ripple out from it (on or off)"},
      {"Sway", S, 0, "", "", ""},
      {"Sway", N, SwayOnce, "Sway once &1", "Ctrl-1", "Open the creases over 3 ticks"},
      {"Sway", N, SwaySome, "Sway some &2", "Ctrl-2", "Open the creases over 7 ticks"},
      {"Sway", N, SwayMany, "Sway many &3", "Ctrl-3", "Open the creases over 15 ticks"},

      {"Colour", N, FaceForeground, "Face &foreground...", "",
       "Choose the colour of the front faces"},
      {"Colour", N, FaceBackground, "Face &background...", "",
       "Choose the colour of the back faces"},
      {"Colour", N, BackgroundColour, "Background &color...", "",
       "Choose the colour behind the sheet"},

      {"Help", N, Help, "&Help", "Ctrl-H", "Kept for its key; the guide is F1"},
      {"Help", N, Guide, "Brimoss &guide", "F1", "Explain the mouse, the keys and the menus"},
  };
  return rows;
}

std::string item_text(const MenuItemRow& row) {
  std::string t = row.label;
  if (*row.key) t += std::string("\t") + row.key;
  return t;
}

std::string plain_label(const char* label) {
  std::string t;
  for (const char* p = label; *p; ++p)
    if (*p != '&') t += *p;
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

namespace {

// One row of the guide's table: the label, the key and the help line,
// which wraps at the width of the guide's window.
std::string guide_line(const MenuItemRow& r, const char* indent) {
  constexpr std::size_t kLabelWidth = 34, kKeyWidth = 14, kWidth = 96;
  std::string label = indent + plain_label(r.label);
  std::string key = r.key;
  label.resize(std::max(kLabelWidth, label.size() + 1), ' ');
  key.resize(std::max(kKeyWidth, key.size() + 1), ' ');
  std::string out = "  " + label + key;
  const std::size_t column = out.size();
  std::size_t at = column;
  std::string word;
  const std::string help = std::string(r.help) + " ";
  for (char c : help) {
    if (c != ' ') {
      word += c;
      continue;
    }
    if (at > column && at + 1 + word.size() > kWidth) {
      out += "\n" + std::string(column, ' ');
      at = column;
    } else if (at > column) {
      out += ' ';
      ++at;
    }
    out += word;
    at += word.size();
    word.clear();
  }
  return out + "\n";
}

void list_menu(std::string& out, const std::string& menu, const char* indent) {
  for (const MenuItemRow& r : menu_rows()) {
    if (menu != r.menu || r.kind == ItemKind::Separator) continue;
    out += guide_line(r, indent);
    if (r.kind == ItemKind::Submenu) list_menu(out, plain_label(r.label), "  ");
  }
}

}  // namespace

std::string commands_text() {
  std::string out;
  for (const MenuTitle& m : menu_titles()) {
    out += std::string(m.name) + "\n";
    list_menu(out, m.name, "");
    out += "\n";
  }
  return out;
}

}  // namespace brimoss::app
