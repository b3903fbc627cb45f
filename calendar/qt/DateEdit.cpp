#include "calendar/qt/DateEdit.h"

#include <QFocusEvent>
#include <QMetaObject>

#include "calendar/qt/EntryLook.h"

namespace tellurio {

DateEdit::DateEdit(Prompter& prompter, const Clock& clock, QWidget* parent)
    : FilteredLineEdit(parent), rules_(prompter, clock) {
  ApplyGreyBackground(this);
  ApplyEntryFont(this);
}

bool DateEdit::AllowInsert(const QString& text) {
  inBox_ = true;
  const bool allowed = rules_.OnInsert(text.toStdString(), TextCharacters(), CaretCharacters(), SelectedCharacters());
  inBox_ = false;
  return allowed;
}

bool DateEdit::AllowKey(const QString& text) {
  const QList<uint> chars = text.toUcs4();
  if (chars.size() != 1) return AllowInsert(text);
  inBox_ = true;
  // A typed character replaces the selected ones: the rules count the text
  // that is left once they are gone, so a selected date can be typed over.
  const bool allowed =
      rules_.OnKey(static_cast<char32_t>(chars.front()), TextCharacters() - SelectedCharacters(), CaretCharacters());
  inBox_ = false;
  return allowed;
}

bool DateEdit::AllowBackspace() {
  return rules_.OnKey(DateEntryRules::kBackspace, TextCharacters(), CaretCharacters());
}

void DateEdit::focusOutEvent(QFocusEvent* event) {
  FilteredLineEdit::focusOutEvent(event);
  // Switching to another window or opening a menu is no leaving of the field.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  if (inBox_ || checkPending_) return;
  checkPending_ = true;
  QMetaObject::invokeMethod(this, &DateEdit::CheckOnLeave, Qt::QueuedConnection);
}

void DateEdit::CheckOnLeave() {
  // Settle may have run the check already.
  if (!checkPending_) return;
  checkPending_ = false;
  // A dialog that closed (or a field that was hidden) meanwhile is not asked about.
  if (!isVisible()) return;
  RunLeaveCheck();
}

bool DateEdit::Settle() {
  const bool due = checkPending_ || !text().isEmpty();
  checkPending_ = false;  // the queued check finds nothing left to do
  return !due || RunLeaveCheck();
}

bool SettleDateFields(const QWidget& parent) {
  for (DateEdit* field : parent.findChildren<DateEdit*>())
    if (field->isVisible() && field->isEnabled() && !field->Settle()) return false;
  return true;
}

bool DateEdit::RunLeaveCheck() {
  inBox_ = true;
  const DateEntryRules::LeaveOutcome outcome = rules_.OnLeave(text().toStdString(), isModified());
  inBox_ = false;
  if (outcome.clearText) setText(QString());  // also resets the modified flag
  if (outcome.refocus) setFocus(Qt::OtherFocusReason);
  return !outcome.clearText && !outcome.refocus;
}

}  // namespace tellurio
