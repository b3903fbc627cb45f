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

  // For a button about to use the text: runs the check of leaving the field
  // now when it is due, that is when the field was left and the check has
  // not run yet (a click on the button leaves the field, and the button
  // acts before the queued check), or when the field holds a text (Enter
  // may act while the field still has the focus).  True when the text may
  // be used; false after the check's warning or question sent the focus
  // back.  An empty field that was not left is the button's own business.
  bool Settle();

 protected:
  bool AllowInsert(const QString& text) override;
  bool AllowKey(const QString& text) override;
  bool AllowBackspace() override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Runs from the event loop after the focus has left: a message box opened
  // inside focusOutEvent would itself take the focus and re-enter it.
  void CheckOnLeave();
  // The check of leaving the field; true when the text stands.
  bool RunLeaveCheck();

  DateEntryRules rules_;
  bool checkPending_ = false;  // a CheckOnLeave is queued
  bool inBox_ = false;         // our own box is up; its focus changes are no leaving
};

// Settles the shown and enabled date fields inside parent, in the order
// they were made, up to the first one whose text may not be used: false
// then (that field has warned and has the focus).
bool SettleDateFields(const QWidget& parent);

}  // namespace tellurio
