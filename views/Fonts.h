#pragma once
// The program's fonts by their classic names, mapped to installed fonts of
// the same kind: "MS Sans Serif" and "Arial" to a metric-compatible sans
// serif, "Times New Roman" to a serif.

#include <QFont>
#include <QString>

namespace tellurio {

// pixelHeight: the character height in pixels (or printer units).
QFont ProgramFont(const QString& classicName, int pixelHeight, int weight = 400, bool underline = false);

}  // namespace tellurio
