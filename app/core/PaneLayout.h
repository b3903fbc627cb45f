#pragma once
// Where the panes go: each pane computes its rectangle from its title and the
// main window's client rectangle.

#include <string>

namespace tellurio {

struct PaneRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PaneRect&) const = default;
};

// The rectangle of the pane with that title ("Fenster1" .. "Fenster4") in a
// client rectangle; a pane of any other title keeps `current`.
PaneRect PlacePane(const std::string& title, const PaneRect& client, const PaneRect& current);

}  // namespace tellurio
