#include "calendar/NumericEntryRules.h"

#include <gtest/gtest.h>

#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

const char kWarning[] = "Sie dürfen nur Zahlen und das Komma als Dezimaltrennzeichen eingeben !";

TEST(NumericEntryRules, TakesDigitsTheCommaAndBackspaceSilently) {
  RecordingPrompter prompter;
  NumericEntryRules rules(prompter);
  for (char32_t c : std::u32string(U"0123456789,")) EXPECT_TRUE(rules.OnKey(c)) << static_cast<char>(c);
  EXPECT_TRUE(rules.OnKey(NumericEntryRules::kBackspace));
  EXPECT_TRUE(rules.OnInsert("1234,56"));
  EXPECT_TRUE(prompter.Events().empty());
}

TEST(NumericEntryRules, RefusesEverythingElseWithTheWarning) {
  RecordingPrompter prompter;
  NumericEntryRules rules(prompter);
  for (char32_t c : std::u32string(U"a.- ä+")) EXPECT_FALSE(rules.OnKey(c));
  ASSERT_EQ(prompter.Messages().size(), 6u);
  for (const Message& m : prompter.Messages()) {
    EXPECT_EQ(m.text, kWarning);
    EXPECT_EQ(m.title, "Hinweis");
    EXPECT_EQ(m.beep, BeepKind::Exclamation);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
  }
  prompter.Clear();
  EXPECT_FALSE(rules.OnInsert("12.50"));
  EXPECT_FALSE(rules.OnInsert("12\b"));
  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{kWarning, kWarning}));
}

}  // namespace
}  // namespace tellurio
