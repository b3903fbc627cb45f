#pragma once
// The look shared by the program's entry fields.

class QWidget;

namespace tellurio {

// Light grey background (RGB 192, 192, 192).
void ApplyGreyBackground(QWidget* widget);
// "MS Sans Serif", 8 points, normal weight; the system's sans-serif font in
// that size where "MS Sans Serif" is not installed.
void ApplyEntryFont(QWidget* widget);

}  // namespace tellurio
