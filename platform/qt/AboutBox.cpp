#include "platform/qt/AboutBox.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/DialogButtons.h"

namespace tellurio {

void ShowAboutBox(QWidget* parent, const QString& title, const QString& iconResource, const QString& html) {
  QDialog d(parent);
  d.setObjectName(QStringLiteral("aboutDialog"));
  d.setWindowTitle(title);
  d.setMinimumWidth(360);
  auto* outer = new QVBoxLayout(&d);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(&d);
  icon->setPixmap(QIcon(iconResource).pixmap(48, 48));
  row->addWidget(icon, 0, Qt::AlignTop);
  auto* text = new QLabel(html, &d);
  text->setObjectName(QStringLiteral("aboutText"));
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
