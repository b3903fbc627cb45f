#pragma once
#include <QWidget>

namespace tellurio {
// "Info über Tellurio": program name, version and notice line.
void ShowAboutDialog(QWidget* parent);
}  // namespace tellurio
