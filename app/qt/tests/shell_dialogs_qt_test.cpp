// Wiring of the shell's Qt dialogs: the right widgets, and the rules reached
// through them.  Each test drives a modal dialog from a queued call.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/qt/ShellDialogsQt.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

QDialog* Active() { return testing::ActiveDialog(); }
template <typename T>
T* Child(const char* name) {
  return testing::DialogChild<T>(name);
}
using testing::WhenShown;

TEST(ShellDialogsQt, DepotChoiceNeedsASelectionOrADoubleClick) {
  RecordingPrompter p;
  ShellDialogsQt dialogs(p, nullptr);
  p.Script({Answer::No, Answer::Yes});
  WhenShown([] {
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->windowTitle(), QStringLiteral("Depotauswahl"));
    Child<QPushButton>("ok")->click();  // nothing selected: the question, No stays
    ASSERT_NE(Active(), nullptr);
    Child<QPushButton>("ok")->click();  // Yes leaves as cancelled
  });
  EXPECT_FALSE(dialogs.ChooseDepot({"A", "B"}).has_value());
  EXPECT_EQ(p.Messages().size(), 2u);

  WhenShown([] {
    QListWidget* list = Child<QListWidget>("depots");
    ASSERT_EQ(list->count(), 2);
    list->setCurrentRow(1);
    Child<QPushButton>("ok")->click();
  });
  EXPECT_EQ(dialogs.ChooseDepot({"A", "B"}), std::optional<std::string>("B"));
}

TEST(ShellDialogsQt, NewDepotShowsTheProviderListOrTheEditAndReturnsTheChoice) {
  RecordingPrompter p;
  ShellDialogsQt dialogs(p, nullptr);
  WhenShown([] {
    EXPECT_TRUE(Child<QCheckBox>("useExisting")->isChecked());
    EXPECT_TRUE(Child<QLineEdit>("providerName")->isHidden());
    EXPECT_FALSE(Child<QListWidget>("providers")->isHidden());
    Child<QCheckBox>("useExisting")->click();  // cleared: the edit comes back
    EXPECT_FALSE(Child<QLineEdit>("providerName")->isHidden());
    EXPECT_TRUE(Child<QListWidget>("providers")->isHidden());
    QTest::keyClicks(Child<QLineEdit>("depotName"), QStringLiteral("Rente"));
    QTest::keyClicks(Child<QLineEdit>("providerName"), QStringLiteral("Neue Bank"));
    Child<QPushButton>("ok")->click();
  });
  auto choice = dialogs.NewDepot({"Alt"}, {"Bank"}, nullptr);
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->depot, "Rente");
  EXPECT_EQ(choice->provider, "Neue Bank");
  EXPECT_TRUE(p.Messages().empty());

  // A refused name keeps the dialog open with the message shown.
  int checks = 0;
  WhenShown([] {
    QTest::keyClicks(Child<QLineEdit>("depotName"), QStringLiteral("x"));
    Child<QPushButton>("ok")->click();
    EXPECT_NE(Active(), nullptr) << "still open after the refusal";
  });
  auto none = dialogs.NewDepot({}, {}, [&](const NewDepotChoice&) -> std::optional<NameRefusal> {
    ++checks;
    return NameRefusal{"nein", true};
  });
  EXPECT_FALSE(none.has_value());
  EXPECT_EQ(checks, 0) << "without a provider the name check is not reached";
  EXPECT_EQ(p.Last().text.rfind("Sie müssen erst den Namen eines Fondanbieters eingeben,", 0), 0u);
}

TEST(ShellDialogsQt, DeletingAsksForConfirmationAfterADoubleClick) {
  RecordingPrompter p;
  ShellDialogsQt dialogs(p, nullptr);
  p.Script({Answer::Yes});
  WhenShown([] {
    QListWidget* list = Child<QListWidget>("entries");
    ASSERT_NE(list, nullptr);
    QListWidgetItem* item = list->item(1);
    emit list->itemDoubleClicked(item);
    EXPECT_EQ(Child<QListWidget>("choice")->item(0)->text(), QStringLiteral("Zwei"));
    Child<QPushButton>("ok")->click();
  });
  EXPECT_EQ(dialogs.ChooseDepotToDelete({"Eins", "Zwei"}), std::optional<std::string>("Zwei"));
  EXPECT_EQ(p.Last().title, "Frage");
}

TEST(ShellDialogsQt, CurrencyRateAndFactor) {
  RecordingPrompter p;
  ShellDialogsQt dialogs(p, nullptr);
  WhenShown([] {
    EXPECT_TRUE(Child<QRadioButton>("euro")->isChecked());
    Child<QRadioButton>("dm")->click();
    Child<QPushButton>("ok")->click();
  });
  EXPECT_EQ(dialogs.ChooseCurrency("Euro"), std::optional<std::string>("DM"));

  WhenShown([] {
    QLineEdit* rate = Child<QLineEdit>("rate");
    EXPECT_EQ(rate->text(), QStringLiteral("3,00"));
    rate->clear();
    QTest::keyClicks(rate, QStringLiteral("2,5"));
    Child<QPushButton>("ok")->click();
  });
  EXPECT_EQ(dialogs.EnterMoneyMarketRate("3,00"), std::optional<std::string>("2,5"));

  p.Script({Answer::Yes});
  WhenShown([] {
    EXPECT_EQ(Active()->windowTitle(), QStringLiteral("Währungsumrechnung"));
    Child<QPushButton>("ok")->click();  // empty: asked, Yes leaves
  });
  EXPECT_FALSE(dialogs.EnterConversionFactor("USD", "DM").has_value());
  EXPECT_EQ(p.Last().text, "Sie haben keinen Umrechnungsfaktor eingegeben. Möchten Sie den Dialog trotzdem verlassen?");
}

}  // namespace
}  // namespace tellurio
