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

// What the window manager adds around a window: borders and title bar.
struct FrameMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// The client rectangle of a main window whose frame fills the available
// area of the screen exactly; never smaller than 1 x 1.
PaneRect FitMainWindow(const PaneRect& available, const FrameMargins& frame);

}  // namespace tellurio
