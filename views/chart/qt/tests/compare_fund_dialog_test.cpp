// Dialog "Fond für den Vergleichschart wählen": the wiring of the list, the
// one-line display and OK to the rules, on the offscreen platform.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "platform/testing/RecordingPrompter.h"
#include "views/chart/qt/CompareFundDialogQt.h"

namespace tellurio::chart {
namespace {

// A double click as the mouse makes it: press and release, then the second
// press that the window system reports as a double click.
void DoubleClick(QListWidget* list, int row) {
  const QPoint at = list->visualItemRect(list->item(row)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Guards against a double click that does not reach the rules (OK would
// then ask its question) and against OK closing without a choice.
TEST(CompareFundDialog, ADoubleClickChoosesAndOkConfirms) {
  RecordingPrompter prompter;
  CompareFundRules rules(prompter, {"Alpha", "Beta", "Gamma"});
  CompareFundDialogQt dialog(nullptr, rules);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Fond für den Vergleichschart wählen"));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  ASSERT_EQ(dialog.FundList()->count(), 3);

  // OK without a choice: the question; No keeps the dialog open.
  prompter.Script({Answer::No});
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
  EXPECT_EQ(prompter.Last().title, "Frage");
  EXPECT_EQ(finished.count(), 0);
  EXPECT_TRUE(dialog.isVisible());

  DoubleClick(dialog.FundList(), 1);
  EXPECT_EQ(rules.Choice(), "Beta");
  ASSERT_EQ(dialog.ChoiceLine()->count(), 1);
  EXPECT_EQ(dialog.ChoiceLine()->item(0)->text(), QStringLiteral("Beta"));

  dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(prompter.Messages().size(), 1u);
}

TEST(CompareFundDialog, YesToTheQuestionClosesAsCancelled) {
  RecordingPrompter prompter;
  CompareFundRules rules(prompter, {"Alpha", "Beta"});
  CompareFundDialogQt dialog(nullptr, rules);
  dialog.show();
  prompter.Script({Answer::Yes});
  dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(prompter.UnscriptedQuestions(), 0);
}

}  // namespace
}  // namespace tellurio::chart
