#pragma once
// The about box of each of the system's programs: the program's icon beside
// a short rich text, and an OK button.  Modal; returns when it is closed.

#include <QString>

class QWidget;

namespace tellurio {

// iconResource: a Qt resource path of an SVG icon; html: the text.
void ShowAboutBox(QWidget* parent, const QString& title, const QString& iconResource, const QString& html);

}  // namespace tellurio
