#pragma once
// The date entry field: a line edit for "TT.MM.JJJJ" (or "TT.MM." in short
// mode) on a light grey background in "MS Sans Serif" 8 points (or the
// system's sans-serif font where that is not installed).  Keystrokes are
// checked as they come, the whole date when the field loses the focus (see
// calendar/DateEntryRules.h); warnings go through the Prompter the field is
// given, and after a warning the focus comes back to the field.

#include "calendar/DateEntryRules.h"
#include "calendar/qt/FilteredLineEdit.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

class QFocusEvent;

namespace tellurio {

class DateEdit : public FilteredLineEdit {
  Q_OBJECT

 public:
  // prompter and clock must outlive the field.
  DateEdit(Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);

  void SetMode(DateEntryMode mode) { rules_.SetMode(mode); }
  DateEntryMode Mode() const { return rules_.Mode(); }
  const DateEntryRules& rules() const { return rules_; }

 protected:
  bool AllowInsert(const QString& text) override;
  bool AllowKey(const QString& text) override;
  bool AllowBackspace() override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Runs from the event loop after the focus has left: a message box opened
  // inside focusOutEvent would itself take the focus and re-enter it.
  void CheckOnLeave();

  DateEntryRules rules_;
  bool checkPending_ = false;  // a CheckOnLeave is queued
  bool inBox_ = false;         // our own box is up; its focus changes are no leaving
};

}  // namespace tellurio
