#pragma once
// The numeric input field: a line edit on a light grey background that
// takes only digits, the decimal comma and backspace (see
// calendar/NumericEntryRules.h); anything else is refused with a warning
// through the Prompter the field is given.

#include "calendar/NumericEntryRules.h"
#include "calendar/qt/FilteredLineEdit.h"
#include "platform/Prompter.h"

namespace tellurio {

class NumericEdit : public FilteredLineEdit {
  Q_OBJECT

 public:
  // The prompter must outlive the field.
  explicit NumericEdit(Prompter& prompter, QWidget* parent = nullptr);

 protected:
  bool AllowInsert(const QString& text) override;
  bool AllowBackspace() override { return true; }

 private:
  NumericEntryRules rules_;
};

}  // namespace tellurio
