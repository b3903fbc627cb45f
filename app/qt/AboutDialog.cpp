#include "app/qt/AboutDialog.h"

#include "platform/qt/AboutBox.h"

namespace tellurio {

void ShowAboutDialog(QWidget* parent) {
  ShowAboutBox(parent, QStringLiteral("Info über Tellurio"), QStringLiteral(":/icons/app.svg"),
               QStringLiteral("<b>Tellurio</b> Version 1.0<br><br>"
                              "Verwaltung von Investmentfonds in Depots:<br>"
                              "Kurse, Käufe und Verkäufe, Ausschüttungen, Kosten,<br>"
                              "Werte, Gewinne, Kennzahlen und Sparpläne.<br><br>"
                              "Copyright © 2026 Vaskor"));
}

}  // namespace tellurio
