#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ToneBeeper.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

TEST(RecordingPrompter, AnswersQuestionsFromTheScriptInOrder) {
  RecordingPrompter p;
  p.Script({Answer::Yes, Answer::No});
  EXPECT_TRUE(p.AskYesNo("Frage", "eins?", MessageIcon::Question, BeepKind::Question));
  p.Notice("Hinweis", "zwischendurch", MessageIcon::Information, BeepKind::Information);
  EXPECT_FALSE(p.AskYesNo("Frage", "zwei?", MessageIcon::Question, BeepKind::Question));
  EXPECT_EQ(p.Texts(), (std::vector<std::string>{"eins?", "zwischendurch", "zwei?"}));
  EXPECT_EQ(p.UnscriptedQuestions(), 0);
  EXPECT_EQ(p.Last().title, "Frage");
}

TEST(RecordingPrompter, UnscriptedQuestionsAreCountedAndRefused) {
  RecordingPrompter p;
  EXPECT_FALSE(p.AskYesNo("Frage", "?", MessageIcon::Question, BeepKind::Question));
  EXPECT_EQ(p.Show(Message{"T", "x", MessageButtons::OkCancel}), Answer::Cancel);
  EXPECT_EQ(p.UnscriptedQuestions(), 2);
}

TEST(RecordingPrompter, KeepsLooseBeepsApartFromMessageBeeps) {
  RecordingPrompter p;
  p.Beep(BeepKind::Stop);
  p.Notice("Hinweis", "x", MessageIcon::Stop, BeepKind::Exclamation);
  EXPECT_EQ(p.LooseBeeps(), (std::vector<BeepKind>{BeepKind::Stop}));
  ASSERT_EQ(p.Events().size(), 2u);
  EXPECT_EQ(p.Events()[1].beep, BeepKind::Exclamation);
}

// The user tells the kinds of message apart by ear; two kinds with the same
// sound would defeat that.
TEST(ToneBeeper, TheFourSoundsDiffer) {
  const BeepKind kinds[] = {BeepKind::Exclamation, BeepKind::Question, BeepKind::Stop, BeepKind::Information};
  std::vector<std::vector<int16_t>> sounds;
  for (BeepKind k : kinds) {
    sounds.push_back(SynthesizeBeep(k, 22050));
    EXPECT_GT(sounds.back().size(), 22050u / 20) << "a sound shorter than 50 ms is hard to hear";
  }
  for (size_t i = 0; i < sounds.size(); ++i)
    for (size_t j = i + 1; j < sounds.size(); ++j) EXPECT_NE(sounds[i], sounds[j]);
  EXPECT_TRUE(SynthesizeBeep(BeepKind::None, 22050).empty());
  for (auto& s : sounds) {
    auto [lo, hi] = std::minmax_element(s.begin(), s.end());
    EXPECT_LT(*hi, 32767);
    EXPECT_GT(*lo, -32767);
  }
}

}  // namespace
}  // namespace tellurio
