// Every menu item in one table: the menu bar is built from it, the guide
// lists it, and the window tests check both against it. A new command is one
// more row (and its id in app/ids.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brimoss::app {

enum class ItemKind { Normal, Check, Separator, Submenu };

struct MenuItemRow {
  const char* menu;  // the menu it is on: "File", ..., or a submenu's name ("Open Samples")
  ItemKind kind;
  int id;             // MenuId; 0 for a separator
  const char* label;  // as the menu shows it, with its & mnemonic
  const char* key;    // the accelerator ("Ctrl-O"), or ""
  const char* help;   // one line: the status bar's while the item is highlighted, and the guide's
};

// A menu of the menu bar, in order.
struct MenuTitle {
  const char* name;   // "File": what rows name as their menu
  const char* label;  // "&File"
};

const std::vector<MenuTitle>& menu_titles();
const std::vector<MenuItemRow>& menu_rows();

// What the menu item's text is: the label, and a tab and the key when it has one.
std::string item_text(const MenuItemRow& row);
// The label as the user reads it: no mnemonic, no trailing blanks.
std::string plain_label(const char* label);

// The guide's table of commands: every menu with each of its items (a
// submenu's items indented below it), its key and its help line.
std::string commands_text();

}  // namespace brimoss::app
