// Wiring of "Auswahl der Tabellenansicht" and "Druckausgabe": the controls
// show what the rules say after each click, and OK hands on the choice.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "platform/Clock.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/RecordingPrompter.h"
#include "views/qt/TableViewDialogsQt.h"

namespace tellurio {
namespace {

using testing::ActiveDialog;
using testing::WhenShown;
template <typename T>
T* Child(const char* name) {
  return testing::DialogChild<T>(name);
}

TEST(TableViewDialogsQt, TableSelectionFollowsItsRules) {
  RecordingPrompter p;
  FixedClock clock(CivilDate{2003, 7, 1});
  TableViewDialogsQt dialogs(p, clock, nullptr);
  TableSelectionRules rules({"Weltweit", "Alpha", "Kinder"});
  WhenShown([] {
    ASSERT_NE(ActiveDialog(), nullptr);
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Auswahl der Tabellenansicht"));
    EXPECT_TRUE(Child<QRadioButton>("depotFunds")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("separateDepots")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>("byCompany")->isEnabled());
    EXPECT_TRUE(Child<QRadioButton>("sortGainLowRisk")->isChecked());
    QListWidget* depots = Child<QListWidget>("depots");
    ASSERT_EQ(depots->count(), 3);
    EXPECT_EQ(depots->item(0)->text(), QStringLiteral("Alpha"));

    Child<QRadioButton>("allFunds")->click();
    EXPECT_FALSE(Child<QCheckBox>("separateDepots")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>("separateDepots")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("byCompany")->isEnabled());
    EXPECT_FALSE(Child<QRadioButton>("sortReturn")->isEnabled());
    EXPECT_FALSE(depots->isEnabled());
    EXPECT_EQ(depots->count(), 0);

    Child<QRadioButton>("depotFunds")->click();
    EXPECT_EQ(depots->count(), 3);
    EXPECT_TRUE(Child<QRadioButton>("sortReturn")->isEnabled());
    Child<QCheckBox>("byCompany")->click();
    EXPECT_FALSE(Child<QCheckBox>("separateDepots")->isEnabled());
    Child<QRadioButton>("sortAlphabetical")->click();
    depots->item(2)->setSelected(true);
    Child<QPushButton>("ok")->click();
  });
  const std::optional<TableSelection> s = dialogs.ChooseTable(rules);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->allFunds);
  EXPECT_TRUE(s->byCompany);
  EXPECT_EQ(s->sort, SortKind::Alphabetical);
  EXPECT_EQ(s->excludedDepots, (std::vector<std::string>{"Weltweit"}));

  TableSelectionRules again({"A"});
  WhenShown([] { Child<QPushButton>("cancel")->click(); });
  EXPECT_FALSE(dialogs.ChooseTable(again).has_value());
}

TEST(TableViewDialogsQt, PrintChoiceChecksThePeriodsDates) {
  RecordingPrompter p;
  FixedClock clock(CivilDate{2003, 7, 1});
  TableViewDialogsQt dialogs(p, clock, nullptr);
  PrintChoiceRules rules(p);
  WhenShown([&p] {
    ASSERT_NE(ActiveDialog(), nullptr);
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Druckausgabe"));
    QStringList frames;
    for (QGroupBox* g : ActiveDialog()->findChildren<QGroupBox*>()) frames << g->title();
    EXPECT_EQ(frames, (QStringList{QStringLiteral("Grafikausgaben"), QStringLiteral("Textausgaben"),
                                   QStringLiteral("Selektierte Grafikausgabe")}));
    Child<QCheckBox>("prices")->click();
    Child<QCheckBox>("period")->click();
    Child<QLineEdit>("end")->setText(QStringLiteral("30.06.2003"));
    Child<QPushButton>("ok")->click();
    // The start date is missing: the message, the period unchecked, the
    // dialog still open.
    EXPECT_EQ(p.Texts().size(), 1u);
    ASSERT_NE(ActiveDialog(), nullptr);
    EXPECT_FALSE(Child<QCheckBox>("period")->isChecked());
    Child<QCheckBox>("period")->click();
    Child<QLineEdit>("start")->setText(QStringLiteral("01.06.2003"));
    Child<QPushButton>("ok")->click();
  });
  const std::optional<PrintChoice> c = dialogs.ChoosePrintItems(rules);
  ASSERT_TRUE(c);
  ASSERT_EQ(p.Texts().size(), 1u);
  EXPECT_EQ(p.Texts()[0],
            "Sie müssen bei dieser Auswahl erst das Startdatum eingeben,\nbevor Sie den Dialog verlassen können !!");
  EXPECT_TRUE(c->prices && c->period);
  EXPECT_FALSE(c->longTermChart || c->transactions || c->fundData);
  EXPECT_EQ(c->start, "01.06.2003");
  EXPECT_EQ(c->end, "30.06.2003");
}

}  // namespace
}  // namespace tellurio
