#pragma once
// The rule of the numeric input field, free of any widget: it takes the
// digits "0".."9", the decimal comma "," and backspace; anything else is
// dropped with the exclamation beep and the box "Sie dürfen nur Zahlen und
// das Komma als Dezimaltrennzeichen eingeben !" (title "Hinweis",
// exclamation icon) through the Prompter.

#include <string_view>

#include "platform/Prompter.h"

namespace tellurio {

class NumericEntryRules {
 public:
  static constexpr char32_t kBackspace = U'\b';

  // The prompter must outlive the rules.
  explicit NumericEntryRules(Prompter& prompter) : prompter_(prompter) {}

  // One keystroke (a character or kBackspace).  True: the field takes it.
  bool OnKey(char32_t key);

  // Several characters entering at once (paste, input method): all or
  // nothing, with one warning when any character is refused.  A backspace
  // character inside the text is refused like any other.
  bool OnInsert(std::string_view text);

 private:
  void Warn();

  Prompter& prompter_;
};

}  // namespace tellurio
