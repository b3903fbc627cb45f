#include "calendar/DateEntryRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

using Texts = std::vector<std::string>;

class DateEntryRulesTest : public ::testing::Test {
 protected:
  // Types the characters at the end of the field, as the field would; "\b"
  // is the backspace key.
  void Type(std::string_view keys) {
    for (char c : keys) {
      const int length = static_cast<int>(field.size());
      const char32_t key = c == '\b' ? DateEntryRules::kBackspace : static_cast<char32_t>(c);
      if (!rules.OnKey(key, length, length)) continue;
      if (c == '\b') {
        if (!field.empty()) field.pop_back();
      } else {
        field += c;
      }
    }
  }

  DateEntryRules::LeaveOutcome Leave(bool userChanged = true) {
    const auto outcome = rules.OnLeave(field, userChanged);
    if (outcome.clearText) field.clear();
    return outcome;
  }

  FixedClock clock{CivilDate{2001, 3, 5}};
  RecordingPrompter prompter;
  DateEntryRules rules{prompter, clock};
  std::string field;
};

TEST_F(DateEntryRulesTest, WarningsAreExclamationNoticesTitledHinweis) {
  Type("120");
  ASSERT_EQ(prompter.Messages().size(), 1u);
  const Message m = prompter.Last();
  EXPECT_EQ(m.text, "Sie müssen nach der Tagesangabe einen Punkt setzen");
  EXPECT_EQ(m.title, "Hinweis");
  EXPECT_EQ(m.buttons, MessageButtons::Ok);
  EXPECT_EQ(m.icon, MessageIcon::Exclamation);
  EXPECT_EQ(m.beep, BeepKind::Exclamation);
  EXPECT_TRUE(prompter.LooseBeeps().empty());
  EXPECT_EQ(field, "12");
  EXPECT_TRUE(rules.Warned());
}

TEST_F(DateEntryRulesTest, AFullDateIsTypedAndLeftWithoutAWord) {
  Type("12.03.2001");
  EXPECT_EQ(field, "12.03.2001");
  EXPECT_FALSE(rules.Warned());
  const auto outcome = Leave();
  EXPECT_FALSE(outcome.clearText);
  EXPECT_FALSE(outcome.refocus);
  EXPECT_TRUE(prompter.Events().empty());
}

TEST_F(DateEntryRulesTest, DigitsWhereAPointBelongsOrBeyondTenCharacters) {
  Type("12.035");
  Type("\b4");
  Type(".2001");
  EXPECT_EQ(field, "12.04.2001");
  Type("9");
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie müssen nach der Monatsangabe einen Punkt setzen",
                                     "das Datum kann maximal 10 Stellen haben.\nGeben Sie das Datum bitte im Format "
                                     "TT.MM.JJJJ ein"}));
  // The length warning comes even while warned.
  Type("9");
  EXPECT_EQ(prompter.Texts().size(), 3u);
  EXPECT_EQ(field, "12.04.2001");
}

TEST_F(DateEntryRulesTest, OtherKeysAndMisplacedPoints) {
  Type("1x");
  Type(".");  // inside the day digits
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie dürfen nur Zahlen und den Punkt als Trennzeichen eingeben !"}));
  // The "." was refused silently while warned; the "2" clears the flag.
  Type("2.0.");
  EXPECT_EQ(field, "12.0");
  EXPECT_EQ(prompter.Texts().back(), "Sie müssen nach dem Monatswert im Format MM einen Punkt eingeben !");

  prompter.Clear();
  field.clear();
  Type("1.");
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie müssen nach dem Tageswert im Format TT einen Punkt eingeben !"}));
}

TEST_F(DateEntryRulesTest, TheWarnedFlagLetsTheNextKeyThrough) {
  Type("1233");  // warning at the first "3"; the repeated "3" is taken
  EXPECT_EQ(field, "123");
  EXPECT_EQ(prompter.Texts().size(), 1u);
  Type("\bx");  // while warned a non-digit at the separator position is taken
  EXPECT_EQ(field, "12x");
  EXPECT_FALSE(rules.Warned());
  field = "12";
  Type("a");
  EXPECT_EQ(field, "12");
  EXPECT_EQ(prompter.Texts().size(), 2u);
}

TEST_F(DateEntryRulesTest, InsertedTextIsCheckedLikeTypingAllOrNothing) {
  EXPECT_TRUE(rules.OnInsert("12.03.2001", 0, 0, 0));
  EXPECT_TRUE(rules.OnInsert("01.01.2000", 10, 0, 10));  // over a selected date
  EXPECT_TRUE(rules.OnInsert("2001", 6, 6, 0));
  EXPECT_TRUE(prompter.Events().empty());

  EXPECT_FALSE(rules.OnInsert("12032001", 0, 0, 0));
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie müssen nach der Tagesangabe einen Punkt setzen"}));
  prompter.Clear();
  Type("1");  // clears warned
  EXPECT_FALSE(rules.OnInsert("1\b.", 0, 0, 0));
  EXPECT_FALSE(rules.OnInsert("20011", 6, 6, 0));
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie dürfen nur Zahlen und den Punkt als Trennzeichen eingeben !",
                                     "das Datum kann maximal 10 Stellen haben.\nGeben Sie das Datum bitte im Format "
                                     "TT.MM.JJJJ ein"}));
}

TEST_F(DateEntryRulesTest, LeavingWithADayBeyondTheMonth) {
  field = "31.04.2001";
  auto outcome = Leave();
  EXPECT_TRUE(outcome.clearText);
  EXPECT_TRUE(outcome.refocus);
  EXPECT_TRUE(rules.Warned());
  EXPECT_EQ(prompter.Last().text, "Der Monat April hat nur 30 Tage!");
  EXPECT_EQ(prompter.Last().title, "Hinweis");
  EXPECT_EQ(prompter.Last().beep, BeepKind::Exclamation);

  field = "29.02.2001";
  Leave();
  EXPECT_EQ(prompter.Last().text, "Der Monat Februar hat nur 28 Tage!");
  field = "29.02.2100";  // not a leap year in the Gregorian calendar
  Leave();
  EXPECT_EQ(prompter.Last().text, "Der Monat Februar hat nur 28 Tage!");
  field = "29.03.2001";
  Leave();
  field = "32.03.2001";
  Leave();
  EXPECT_EQ(prompter.Last().text, "Der Monat Maerz hat nur 31 Tage!");

  prompter.Clear();
  field = "29.02.2000";
  outcome = Leave();
  EXPECT_FALSE(outcome.clearText);
  EXPECT_EQ(field, "29.02.2000");
  EXPECT_TRUE(prompter.Events().empty());
}

TEST_F(DateEntryRulesTest, LeavingWithABadMonthOrLength) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"01.13.2001", "Das Jahr hat nur 12 Monate !"},
      {"01.00.2001", "Das Jahr beginnt mit dem ersten Monat !"},
      {"01.03.200", "Sie müssen das Datum im Format TT.MM.JJJJ eingeben !"},
      {"01.03.20011", "Sie müssen das Datum im Format TT.MM.JJJJ eingeben !"},
  };
  for (const auto& [text, warning] : cases) {
    field = text;
    EXPECT_TRUE(Leave().clearText) << text;
    EXPECT_EQ(prompter.Last().text, warning) << text;
    EXPECT_EQ(field, "");
  }
}

TEST_F(DateEntryRulesTest, ShortModeChecksAgainstTheCurrentYear) {
  rules.SetMode(DateEntryMode::Short);
  field = "29.02.";
  EXPECT_TRUE(Leave().clearText);
  EXPECT_EQ(prompter.Last().text, "Der Monat Februar hat nur 28 Tage!");

  clock.Set(CivilDate{2004, 6, 1});
  prompter.Clear();
  field = "29.02.";
  EXPECT_FALSE(Leave().clearText);
  EXPECT_TRUE(prompter.Events().empty());

  for (std::string text : {"29.02", "29.02.2004"}) {
    field = text;
    EXPECT_TRUE(Leave().clearText) << text;
    EXPECT_EQ(prompter.Last().text, "Sie müssen das Datum im Format TT.MM.eingeben !");
  }
}

TEST_F(DateEntryRulesTest, AnEmptiedFieldAsksWhetherToGoOn) {
  prompter.Script({Answer::No, Answer::Yes});
  auto outcome = rules.OnLeave("", true);
  EXPECT_TRUE(outcome.refocus);
  EXPECT_FALSE(rules.OnLeave("", true).refocus);
  ASSERT_EQ(prompter.Messages().size(), 2u);
  const Message m = prompter.Last();
  EXPECT_EQ(m.text, "Sie haben kein Datum eingegeben. Wollen Sie trotzdem weiter ?");
  EXPECT_EQ(m.title, "Hinweis");
  EXPECT_EQ(m.buttons, MessageButtons::YesNo);
  EXPECT_EQ(m.icon, MessageIcon::Exclamation);
  EXPECT_EQ(m.beep, BeepKind::Question);
  EXPECT_FALSE(rules.Warned());

  // Not asked when the program left it empty, or right after a warning.
  rules.OnLeave("", false);
  Type("1a");
  rules.OnLeave("", true);
  EXPECT_EQ(prompter.Messages().size(), 3u);
  EXPECT_EQ(prompter.UnscriptedQuestions(), 0);
}

// A pending warned flag (after a backspace or a keystroke warning) must not
// let an incomplete date through when the field is left.
TEST_F(DateEntryRulesTest, LeavingRightAfterABackspaceStillChecks) {
  Type("31.04.2001\b");
  ASSERT_TRUE(rules.Warned());
  EXPECT_TRUE(Leave().clearText);
  EXPECT_EQ(prompter.Last().text, "Sie müssen das Datum im Format TT.MM.JJJJ eingeben !");

  Type("123");
  ASSERT_EQ(field, "12");
  EXPECT_TRUE(Leave().clearText);
  EXPECT_EQ(prompter.Last().text, "Sie müssen das Datum im Format TT.MM.JJJJ eingeben !");
}

}  // namespace
}  // namespace tellurio
