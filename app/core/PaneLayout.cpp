#include "app/core/PaneLayout.h"

#include <algorithm>

namespace tellurio {

PaneRect PlacePane(const std::string& title, const PaneRect& c, const PaneRect& current) {
  const int height34 = (c.bottom - c.top) * 3 / 4;
  PaneRect r;
  if (title == "Fenster1") {
    r.right = c.right - 5;
    r.left = r.right - static_cast<int>(0.7 * (r.right - c.left));
    r.top = c.top;
    r.bottom = height34;
  } else if (title == "Fenster2") {
    r.left = c.left;
    r.right = c.right - static_cast<int>(0.7 * (c.right - c.left));
    r.top = c.top;
    r.bottom = height34;
  } else if (title == "Fenster3") {
    r.left = c.left;
    r.top = height34;
    r.right = c.right - 5;
    r.bottom = c.bottom - 47;
  } else if (title == "Fenster4") {
    r.left = c.left;
    r.top = c.top;
    r.right = c.right - 5;
    r.bottom = height34;
  } else {
    return current;
  }
  return r;
}

PaneRect FitMainWindow(const PaneRect& available, const FrameMargins& frame) {
  PaneRect r{available.left + frame.left, available.top + frame.top, available.right - frame.right,
             available.bottom - frame.bottom};
  r.right = std::max(r.right, r.left + 1);
  r.bottom = std::max(r.bottom, r.top + 1);
  return r;
}

}  // namespace tellurio
