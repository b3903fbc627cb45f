#include "platform/qt/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tellurio {

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

void QtPrompter::Beep(BeepKind kind) { beeper_.Play(kind); }

Answer QtPrompter::Show(const Message& m) {
  Beep(m.beep);
  QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromStdString(m.title));
  box.setText(QString::fromStdString(m.text));
  switch (m.icon) {
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  switch (m.buttons) {
    case MessageButtons::Ok:
      ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      box.setEscapeButton(ok);
      break;
    case MessageButtons::OkCancel:
      ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
      box.setEscapeButton(cancel);
      break;
    case MessageButtons::YesNo:
      yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
      box.setEscapeButton(no);
      break;
    case MessageButtons::YesNoCancel:
      yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
      cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
      box.setEscapeButton(cancel);
      break;
  }
  box.setDefaultButton(ok ? ok : (m.defaultNo && no ? no : yes));
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == yes) return Answer::Yes;
  if (clicked && clicked == no) return Answer::No;
  if (clicked && clicked == ok) return Answer::Ok;
  if (clicked && clicked == cancel) return Answer::Cancel;
  // Closed without a button.
  switch (m.buttons) {
    case MessageButtons::Ok:
      return Answer::Ok;
    case MessageButtons::YesNo:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

}  // namespace tellurio
