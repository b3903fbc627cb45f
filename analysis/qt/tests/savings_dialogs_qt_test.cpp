// The savings-plan dialogs on the offscreen platform: that the widgets follow
// the rules (enabling, fund list of the chosen depot), that BERR shows the
// results and DRUCKEN closes with the report, that "Werteeingabe für die
// Fonds" has its columns and sends the focus where the rules say, and that
// the report window shows the lines.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "analysis/qt/SavingsDialogsQt.h"
#include "analysis/tests/SavingsFixture.h"
#include "platform/qt/testing/DialogDriver.h"

namespace tellurio::testing {
namespace {

template <typename T>
T* Child(const char* name) {
  return DialogChild<T>(name);
}

QString Text(const char* name) {
  QLineEdit* e = Child<QLineEdit>(name);
  return e ? e->text() : QStringLiteral("<missing>");
}

const std::vector<std::string> kYear = {"02.01.2001", "100,00", "02.07.2001", "95,00", "02.01.2002", "110,00"};

TEST(SavingsDialogsQt, ReturnCalculationFollowsTheRulesAndShowsTheResults) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear), PlainFund("Beta", kYear)});
  f.AddDepot("Kinder", {PlainFund("Gamma", kYear)});
  SavingsDialogsQt dialogs(f.prompter, f.clock, nullptr);
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, dialogs);
  bool checked = false;
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Renditeberechnung"));
    QListWidget* funds = Child<QListWidget>("funds");
    ASSERT_TRUE(funds);
    EXPECT_EQ(funds->count(), 2);
    // One-off, whole depot at the start.
    EXPECT_TRUE(Child<QRadioButton>("oneOff")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>("depotScope")->isChecked());
    EXPECT_FALSE(funds->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>("initialAmount")->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>("monthlyRate")->isEnabled());
    EXPECT_FALSE(Child<QComboBox>("debitDay")->isEnabled());
    EXPECT_EQ(Child<QComboBox>("debitDay")->count(), 31);
    EXPECT_EQ(Child<QComboBox>("debitDay")->currentText(), QStringLiteral("01."));
    Child<QRadioButton>("monthly")->click();
    EXPECT_TRUE(Child<QLineEdit>("monthlyRate")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>("increaseOn")->isEnabled());
    Child<QRadioButton>("oneOff")->click();
    EXPECT_FALSE(Child<QLineEdit>("increase")->isEnabled());

    // Another depot refills the list.
    Child<QComboBox>("depots")->setCurrentIndex(1);
    EXPECT_EQ(funds->count(), 1);
    EXPECT_EQ(funds->item(0)->text(), QStringLiteral("Gamma"));
    Child<QComboBox>("depots")->setCurrentIndex(0);

    Child<QRadioButton>("fundScope")->click();
    EXPECT_TRUE(funds->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>("initialAmount")->isEnabled());
    // BERR without a fund: the rules' message, the focus on the list.
    Child<QLineEdit>("purchaseDate")->setText(QStringLiteral("02.01.2001"));
    Child<QLineEdit>("start")->setText(QStringLiteral("02.01.2001"));
    Child<QLineEdit>("end")->setText(QStringLiteral("02.01.2002"));
    Child<QPushButton>("calculate")->click();
    EXPECT_EQ(f.prompter.Last().text, "Sie müssen erst einen Fond aus dem Listenfeld auswählen.");

    funds->setCurrentRow(0);
    EXPECT_EQ(rules.FundIndex(), 0u);
    Child<QLineEdit>("initialAmount")->setText(QStringLiteral("1000"));
    Child<QPushButton>("calculate")->click();
    EXPECT_EQ(Text("paidIn"), QStringLiteral("1000,00"));
    EXPECT_EQ(Text("finalValue"), QStringLiteral("1100,00"));
    EXPECT_EQ(Text("profit"), QStringLiteral("100,00"));
    EXPECT_EQ(Text("returnPercent"), QStringLiteral("10,00"));
    EXPECT_EQ(Text("period"), QStringLiteral("02.01.2001 - 02.01.2002"));
    EXPECT_EQ(Child<QLabel>("amountCurrency")->text(), QStringLiteral("Euro"));
    // A result too long for its field shows its first digits, never only
    // its last ones, and is whole in the tooltip.
    Child<QLineEdit>("initialAmount")->setText(QStringLiteral("100000000000000000"));
    Child<QPushButton>("calculate")->click();
    QLineEdit* paidIn = Child<QLineEdit>("paidIn");
    EXPECT_EQ(paidIn->text(), QStringLiteral("100000000000000000,00"));
    EXPECT_GT(paidIn->fontMetrics().horizontalAdvance(paidIn->text()), paidIn->width());
    // (A line edit shows the part of its text around the cursor.)
    EXPECT_EQ(paidIn->cursorPosition(), 0);
    EXPECT_EQ(paidIn->toolTip(), paidIn->text());
    // A short result stays right-aligned as before.
    EXPECT_EQ(Text("returnPercent"), QStringLiteral("10,00"));
    EXPECT_EQ(Child<QLineEdit>("returnPercent")->cursorPosition(), 5);
    // The scope buttons clear the fund choice in the list too.
    Child<QRadioButton>("depotScope")->click();
    EXPECT_TRUE(funds->selectedItems().isEmpty());
    EXPECT_FALSE(rules.FundIndex());
    checked = true;
    Child<QPushButton>("print")->click();
  });
  EXPECT_TRUE(dialogs.ReturnCalculation(rules));
  EXPECT_TRUE(checked);
  EXPECT_EQ(rules.Report().title, "Renditeberechnung des Fonds Alpha");

  // The report window shows every line, the header among them.
  QWidget* window = ShowSavingsReport(rules.Report(), nullptr);
  auto* text = window->findChild<QPlainTextEdit*>(QStringLiteral("report"));
  ASSERT_TRUE(text);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Renditeberechnung des Fonds Alpha"));
  EXPECT_TRUE(text->toPlainText().contains(QString::fromUtf8(kReportColumnHeader)));
  EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Rendite:10,00%")));
  window->close();
}

// A click on BERR leaves a date field, and the button acts before the
// field's own check would run: the check comes first, and a date it
// refuses is never calculated with ("31.02." would count as 01.03.).
TEST(SavingsDialogsQt, ADateRefusedByItsFieldStopsTheCalculation) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear)});
  SavingsDialogsQt dialogs(f.prompter, f.clock, nullptr);
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, dialogs);
  bool checked = false;
  WhenShown([&] {
    ActiveDialog()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ActiveDialog()));
    Child<QRadioButton>("fundScope")->click();
    Child<QListWidget>("funds")->setCurrentRow(0);
    Child<QLineEdit>("purchaseDate")->setText(QStringLiteral("02.01.2001"));
    Child<QLineEdit>("end")->setText(QStringLiteral("02.01.2002"));
    Child<QLineEdit>("initialAmount")->setText(QStringLiteral("1000"));
    QLineEdit* start = Child<QLineEdit>("start");
    start->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([start] { return start->hasFocus(); }));
    QTest::keyClicks(start, QStringLiteral("31.02.2001"));
    f.prompter.Clear();
    QPushButton* calculate = Child<QPushButton>("calculate");
    QTest::mouseClick(calculate, Qt::LeftButton);
    // Whatever was queued runs before the count.
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(f.prompter.Texts(), std::vector<std::string>{"Der Monat Februar hat nur 28 Tage!"});
    EXPECT_TRUE(Text("paidIn").isEmpty());
    EXPECT_TRUE(start->text().isEmpty());
    EXPECT_TRUE(start->hasFocus());

    // A good date goes through with the same click.
    QTest::keyClicks(start, QStringLiteral("02.01.2001"));
    f.prompter.Clear();
    QTest::mouseClick(calculate, Qt::LeftButton);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(f.prompter.Texts().empty());
    EXPECT_EQ(Text("paidIn"), QStringLiteral("1000,00"));
    checked = true;
    Child<QPushButton>("cancel")->click();
  });
  EXPECT_FALSE(dialogs.ReturnCalculation(rules));
  EXPECT_TRUE(checked);
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.period, "02.01.2001 - 02.01.2002");
}

// A depot name may have 200 characters; the dialog must still fit a small
// screen, its buttons within reach.
TEST(SavingsDialogsQt, ALongDepotNameKeepsTheDialogOnTheScreen) {
  SavingsFixture f;
  const std::string name(199, 'D');
  f.AddDepot(name, {PlainFund("Alpha", kYear)});
  SavingsDialogsQt dialogs(f.prompter, f.clock, nullptr);
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, dialogs);
  int width = 0;
  WhenShown([&] {
    width = ActiveDialog()->width();
    EXPECT_EQ(Child<QComboBox>("depots")->currentText().toStdString(), name);
    Child<QPushButton>("cancel")->click();
  });
  EXPECT_FALSE(dialogs.ReturnCalculation(rules));
  EXPECT_GT(width, 0);
  EXPECT_LE(width, 1024);
}

TEST(SavingsDialogsQt, FundAmountsHasItsColumnsAndFocusesTheRefusedField) {
  SavingsFixture f;
  SavingsDialogsQt dialogs(f.prompter, f.clock, nullptr);
  FundAmountsRules rules({"Alpha", "Ein Fonds mit einem langen Namen"}, SavingsMode::Monthly, f.prompter,
                         {{"", "", "15.06."}, {}});
  bool checked = false;
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Werteeingabe für die Fonds"));
    ActiveDialog()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ActiveDialog()));
    EXPECT_EQ(Child<QLabel>("rateHeading")->text(), QStringLiteral("Monatliche Rate"));
    EXPECT_EQ(Child<QLabel>("amountHeading")->text(), QStringLiteral("Einmalbetrag"));
    EXPECT_EQ(Child<QLabel>("dayHeading")->text(), QStringLiteral("Ausschüttungsdatum"));
    // The name column is as wide as the longest name.
    QLabel* longName = Child<QLabel>("name1");
    EXPECT_GE(Child<QLabel>("name0")->width(), longName->fontMetrics().horizontalAdvance(longName->text()));
    EXPECT_EQ(Text("day0"), QStringLiteral("15.06."));
    // OK without a rate: the message, the first rate emptied and focused.
    Child<QLineEdit>("rate1")->setText(QStringLiteral("0"));
    Child<QLineEdit>("rate0")->setText(QStringLiteral(",0"));
    Child<QPushButton>("ok")->click();
    EXPECT_EQ(f.prompter.Last().title, "Eingabefehler");
    EXPECT_TRUE(Text("rate0").isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([] { return Child<QLineEdit>("rate0")->hasFocus(); }));
    QTest::keyClicks(Child<QLineEdit>("rate0"), QStringLiteral("75"));
    checked = true;
    Child<QPushButton>("ok")->click();
  });
  EXPECT_TRUE(dialogs.FundAmounts(rules));
  EXPECT_TRUE(checked);
  ASSERT_EQ(rules.Result().size(), 2u);
  EXPECT_EQ(rules.Result()[0].monthlyRate, "75");
  EXPECT_EQ(rules.Result()[0].distributionDay, "15.06.");
  EXPECT_EQ(rules.Result()[1].distributionDay, "31.12.");

  // One-off: no rate column.
  FundAmountsRules oneOff({"Alpha"}, SavingsMode::OneOff, f.prompter);
  WhenShown([&] {
    EXPECT_FALSE(Child<QLabel>("rateHeading"));
    EXPECT_FALSE(Child<QLineEdit>("rate0"));
    EXPECT_TRUE(Child<QLineEdit>("amount0"));
    Child<QPushButton>("cancel")->click();
  });
  EXPECT_FALSE(dialogs.FundAmounts(oneOff));
}

}  // namespace
}  // namespace tellurio::testing
