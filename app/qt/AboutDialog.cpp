#include "app/qt/AboutDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/qt/DialogButtons.h"

namespace tellurio {

void ShowAboutDialog(QWidget* parent) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Info über Tellurio"));
  auto* outer = new QVBoxLayout(&d);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(&d);
  icon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(48, 48));
  row->addWidget(icon, 0, Qt::AlignTop);
  auto* text = new QLabel(&d);
  text->setObjectName(QStringLiteral("aboutText"));
  text->setText(
      QStringLiteral("<b>Tellurio</b> Version 1.0<br><br>"
                     "Verwaltung von Investmentfonds in Depots:<br>"
                     "Kurse, Käufe und Verkäufe, Ausschüttungen, Kosten,<br>"
                     "Werte, Gewinne, Kennzahlen und Sparpläne.<br><br>"
                     "Copyright © 2026 Vaskor"));
  row->addWidget(text, 1);
  outer->addLayout(row);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  QPushButton* ok = MakeDialogButton(DialogButton::Ok, &d);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
  buttons->addWidget(ok);
  outer->addLayout(buttons);
  d.exec();
}

}  // namespace tellurio
