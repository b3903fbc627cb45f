#pragma once
// The rules of the date entry field, free of any widget: which keystrokes
// it takes, what it says about the others, and the check when the field is
// left.  The Qt field (calendar/qt/DateEdit.h) forwards its events here
// and carries out the outcome.
//
// Every warning is an OK box with title "Hinweis", the exclamation icon and
// the exclamation beep, shown through the Prompter; it sets the warned flag,
// which keeps a second warning from following at once.  The field that
// shows the warning puts the focus back into itself.

#include <string>
#include <string_view>

#include "calendar/Calendar.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

namespace tellurio {

enum class DateEntryMode {
  Full,   // TT.MM.JJJJ
  Short,  // TT.MM.
};

class DateEntryRules {
 public:
  static constexpr char32_t kBackspace = U'\b';

  // prompter and clock must outlive the rules.  The rules own their own
  // calendar on that clock.
  DateEntryRules(Prompter& prompter, const Clock& clock);

  void SetMode(DateEntryMode mode) { mode_ = mode; }
  DateEntryMode Mode() const { return mode_; }
  bool Warned() const { return warned_; }

  // One keystroke: key is the typed character or kBackspace; textLength is
  // the number of characters in the field before the key, not counting
  // selected characters the key replaces (the caret does not decide
  // acceptance).  True: the field takes the key.  No digit is taken
  // once the text has 10 characters.  A "." (or, while
  // warned, any other key) refused at a position other than after the day
  // or the month warns about the point after the day when the caret stands
  // inside the day digits (caret < 2), and about the point after the month
  // everywhere else.
  bool OnKey(char32_t key, int textLength, int caret);

  // Several characters entering at once (paste, input method): checked as if
  // typed one after another at the caret once the selectionLength selected
  // characters are gone (so a whole date can be pasted over a selected
  // one).  All or nothing: true when every
  // character passes; otherwise the first refused one has had its warning
  // and nothing may be inserted.  A control character (a backspace, tab or
  // line break inside the text) is always refused, with the digits-only
  // warning unless a warning is pending.
  bool OnInsert(std::string_view text, int textLength, int caret, int selectionLength);

  struct LeaveOutcome {
    bool clearText = false;  // empty the field
    bool refocus = false;    // give the focus back to the field
  };
  // The field is left with this text; userChanged tells whether the user
  // edited it since the program last set it.
  //  - Empty text: when the user emptied it (and no warning is pending), asks
  //    "Sie haben kein Datum eingegeben. Wollen Sie trotzdem weiter ?"
  //    (question beep, Yes/No); No sends the focus back, Yes lets it go.
  //  - Otherwise checks the length (exactly 6 characters in short mode, 10
  //    in full mode), the month (as text "01".."12") and the day against the
  //    month's length; a failed check warns, empties the field, sends the
  //    focus back and sets warned.  The year of a full date is not checked.
  // Unlike the keystroke rules, a pending warned flag does not skip the
  // checks of a non-empty text: a field left right after a backspace or a
  // keystroke warning is still checked.
  LeaveOutcome OnLeave(std::string_view text, bool userChanged);

  const Calendar& calendar() const { return calendar_; }

 private:
  bool CheckCharacter(char32_t key, int textLength, int caret);
  void Warn(const std::string& text);

  Prompter& prompter_;
  Calendar calendar_;
  DateEntryMode mode_ = DateEntryMode::Full;
  bool warned_ = false;
};

}  // namespace tellurio
