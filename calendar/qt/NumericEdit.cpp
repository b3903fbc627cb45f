#include "calendar/qt/NumericEdit.h"

#include "calendar/qt/EntryLook.h"

namespace tellurio {

NumericEdit::NumericEdit(Prompter& prompter, QWidget* parent) : FilteredLineEdit(parent), rules_(prompter) {
  ApplyGreyBackground(this);
}

bool NumericEdit::AllowInsert(const QString& text) { return rules_.OnInsert(text.toStdString()); }

}  // namespace tellurio
