// A menu bar described as data: each entry has its control name, caption, enabled state and
// click action, and its own entries. Part of consolida_ui: the main window's model builds it,
// a view (gui/MainWindowView) turns it into real menus. No Qt here.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct MenuEntry {
  std::string name;     // the control name, e.g. "MnuCarga", "CarEstr"
  std::string caption;  // shown exactly, e.g. "Carga", "Estructuras"
  bool enabled = true;
  // Runs when the entry is chosen. A top-level entry without `items` is itself clickable.
  std::function<void()> click;
  std::vector<MenuEntry> items;
};

}  // namespace ui
