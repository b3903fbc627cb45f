#include "platform/qt/DialogButtons.h"

#include <QApplication>
#include <QStyle>

namespace tellurio {

QPushButton* MakeDialogButton(DialogButton kind, QWidget* parent) {
  QStyle* style = QApplication::style();
  QString text;
  QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
  switch (kind) {
    case DialogButton::Ok:
      text = QStringLiteral("OK");
      icon = QStyle::SP_DialogOkButton;
      break;
    case DialogButton::Cancel:
      text = QStringLiteral("Abbrechen");
      icon = QStyle::SP_DialogCancelButton;
      break;
    case DialogButton::Target:
      text = QStringLiteral("Ziel");
      icon = QStyle::SP_ArrowRight;
      break;
    case DialogButton::Calculate:
      text = QStringLiteral("Berechnen");
      icon = QStyle::SP_BrowserReload;
      break;
    case DialogButton::Print:
      text = QStringLiteral("Drucken");
      icon = QStyle::SP_FileIcon;
      break;
    case DialogButton::Edit:
      text = QStringLiteral("Übernehmen");
      icon = QStyle::SP_DialogApplyButton;
      break;
    case DialogButton::Delete:
      text = QStringLiteral("Löschen");
      icon = QStyle::SP_TrashIcon;
      break;
  }
  auto* b = new QPushButton(style->standardIcon(icon), text, parent);
  b->setMinimumWidth(96);
  b->setAutoDefault(false);
  return b;
}

}  // namespace tellurio
