#include "calendar/DateEntryRules.h"

#include "calendar/detail/TextScan.h"

namespace tellurio {

namespace {

using calendar_detail::DecodeUtf8;
using calendar_detail::LeadingDigits;
using calendar_detail::Utf8Mid;

const char kTitle[] = "Hinweis";
const char kTooLong[] = "das Datum kann maximal 10 Stellen haben.\nGeben Sie das Datum bitte im Format TT.MM.JJJJ ein";
const char kPointAfterMonth[] = "Sie müssen nach der Monatsangabe einen Punkt setzen";
const char kPointAfterDay[] = "Sie müssen nach der Tagesangabe einen Punkt setzen";
const char kOnlyDigits[] = "Sie dürfen nur Zahlen und den Punkt als Trennzeichen eingeben !";
const char kMonthValuePoint[] = "Sie müssen nach dem Monatswert im Format MM einen Punkt eingeben !";
const char kDayValuePoint[] = "Sie müssen nach dem Tageswert im Format TT einen Punkt eingeben !";
const char kNoDate[] = "Sie haben kein Datum eingegeben. Wollen Sie trotzdem weiter ?";
const char kShortFormat[] = "Sie müssen das Datum im Format TT.MM.eingeben !";
const char kFullFormat[] = "Sie müssen das Datum im Format TT.MM.JJJJ eingeben !";
const char kTwelveMonths[] = "Das Jahr hat nur 12 Monate !";
const char kFirstMonth[] = "Das Jahr beginnt mit dem ersten Monat !";

constexpr int kFullLength = 10;
constexpr int kShortLength = 6;

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

DateEntryRules::DateEntryRules(Prompter& prompter, const Clock& clock) : prompter_(prompter), calendar_(clock) {}

void DateEntryRules::Warn(const std::string& text) {
  warned_ = true;
  prompter_.Notice(kTitle, text, MessageIcon::Exclamation, BeepKind::Exclamation);
}

bool DateEntryRules::OnKey(char32_t key, int textLength, int caret) {
  if (key == kBackspace) {
    warned_ = true;
    return true;
  }
  return CheckCharacter(key, textLength, caret);
}

bool DateEntryRules::CheckCharacter(char32_t key, int textLength, int caret) {
  if (IsDigit(key)) {
    // Longer texts can only come from the program; they take no digit either.
    if (textLength >= kFullLength) {
      Warn(kTooLong);
      return false;
    }
    if (textLength == 5 && !warned_) {
      Warn(kPointAfterMonth);
      return false;
    }
    if (textLength == 2 && !warned_) {
      Warn(kPointAfterDay);
      return false;
    }
    warned_ = false;
    return true;
  }
  if (key != U'.' && !warned_) {
    Warn(kOnlyDigits);
    return false;
  }
  if (textLength == 2 || textLength == 5) {
    warned_ = false;
    return true;
  }
  if (!warned_) {
    Warn(caret < 2 ? kDayValuePoint : kMonthValuePoint);
    return false;
  }
  return false;
}

bool DateEntryRules::OnInsert(std::string_view text, int textLength, int caret, int selectionLength) {
  const std::u32string chars = DecodeUtf8(text);
  int length = textLength - selectionLength;
  int position = caret;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    if (c < 0x20 || c == 0x7F) {
      // No key types a control character into the field; never a separator.
      if (!warned_) Warn(kOnlyDigits);
      return false;
    }
    if (!CheckCharacter(c, length, position)) return false;
    ++length;
    ++position;
  }
  return true;
}

DateEntryRules::LeaveOutcome DateEntryRules::OnLeave(std::string_view text, bool userChanged) {
  LeaveOutcome outcome;
  if (text.empty()) {
    if (userChanged && !warned_) {
      const bool goOn = prompter_.AskYesNo(kTitle, kNoDate, MessageIcon::Exclamation, BeepKind::Question);
      outcome.refocus = !goOn;
    }
    return outcome;
  }

  const auto fail = [&](const std::string& message) {
    Warn(message);
    outcome.clearText = true;
    outcome.refocus = true;
    return outcome;
  };

  const std::size_t length = DecodeUtf8(text).size();
  std::string reference = "01";
  if (mode_ == DateEntryMode::Short) {
    if (length != kShortLength) return fail(kShortFormat);
    reference += Utf8Mid(text, length - 4, 4);
    reference += std::to_string(PackedYear(calendar_.Today()));
  } else {
    if (length != kFullLength) return fail(kFullFormat);
    reference += Utf8Mid(text, length - 8, 8);
  }

  // The month digits compare as text; UTF-8 keeps the order of code points.
  const std::string month = Utf8Mid(text, 3, 2);
  if (month > "12") return fail(kTwelveMonths);
  if (month < "01") return fail(kFirstMonth);

  const int day = LeadingDigits(Utf8Mid(text, 0, 2));
  const int daysInMonth = calendar_.DaysInMonthOf(reference);
  if (day > daysInMonth)
    return fail("Der Monat " + calendar_.MonthNameOf(reference) + " hat nur " + std::to_string(daysInMonth) + " Tage!");
  return outcome;
}

}  // namespace tellurio
