// The transaction dialogs on the offscreen platform: what the widgets show
// and send to the sessions, the target dialog inside the buy dialog, the
// cancel of the distribution dialog and the columns of the transaction list.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "platform/qt/testing/DialogDriver.h"
#include "portfolio/qt/TransactionDialogsQt.h"
#include "portfolio/tests/TransactionFixture.h"

namespace tellurio::testing {
namespace {

using Rows = std::vector<std::string>;

template <typename T>
T* Child(const char* name) {
  return DialogChild<T>(name);
}

QString Text(const char* name) {
  QLineEdit* e = Child<QLineEdit>(name);
  return e ? e->text() : QStringLiteral("<missing>");
}

// Runs fn once the active modal dialog has this title (a dialog opened from
// inside another one is not the first that WhenShown would see).
void WhenTitled(const QString& title, std::function<void()> fn, int attempts = 300) {
  QTimer::singleShot(10, [=] {
    QDialog* d = ActiveDialog();
    if ((!d || d->windowTitle() != title) && attempts > 0) {
      WhenTitled(title, fn, attempts - 1);
      return;
    }
    QPointer<QDialog> shown = d;
    fn();
    QTimer::singleShot(0, [shown] {
      if (shown && shown->isVisible()) shown->reject();
    });
  });
}

void Activate() {
  ActiveDialog()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(ActiveDialog()));
}

const FundMaster kAlpha{"Alpha", "1", "1,0500", "Euro"};

TEST(TransactionDialogsQt, BuyShowsTheFundAndTakesTheTargetAmount) {
  TransactionFixture f;
  f.AddFund(kAlpha, {"05.03.2003", "50,00"});
  TransactionDialogsQt dialogs(f.prompter, f.clock, nullptr);
  TradeSession session(TradeKind::Buy, f.state, f.calendar, f.prompter);
  f.prompter.Script({Answer::Yes});
  bool targetSeen = false;
  WhenTitled(QStringLiteral("Fondanteile kaufen"), [&] {
    EXPECT_EQ(Text("date"), QStringLiteral("05.03.2003"));
    EXPECT_EQ(Text("price"), QStringLiteral("52,50"));
    EXPECT_EQ(Child<QLabel>("amountCurrency")->text(), QStringLiteral("Euro"));
    EXPECT_EQ(Text("oldHolding"), QStringLiteral("0"));
    EXPECT_FALSE(Child<QLineEdit>("amount")->isReadOnly());
    // ZIEL: 10 shares at 52,50 make 525,00, which becomes the amount.
    WhenTitled(QStringLiteral("Zielkauf"), [&] {
      targetSeen = true;
      EXPECT_EQ(Text("amount"), QStringLiteral("0,0000"));
      QTest::keyClicks(Child<QLineEdit>("shares"), QStringLiteral("10"));
      EXPECT_EQ(Text("amount"), QStringLiteral("525,00"));
      Child<QPushButton>("ok")->click();
    });
    Child<QPushButton>("target")->click();
    EXPECT_EQ(Text("amount"), QStringLiteral("525,00"));
    EXPECT_EQ(Text("newHolding"), QStringLiteral("10,0000"));
    Child<QPushButton>("ok")->click();
  });
  dialogs.Trade(session);
  EXPECT_TRUE(targetSeen);
  EXPECT_EQ(f.prompter.Last().text, "Wollen Sie die Eingabe übernehmen?");
  EXPECT_EQ(f.Stored(section::kPurchases, "Alpha"), (Rows{"05.03.2003", "52,50", "10,0000", "525,00"}));
}

TEST(TransactionDialogsQt, SellLooksUpATypedDateWhenTheAmountFieldGetsTheFocus) {
  TransactionFixture f;
  f.AddFund(kAlpha, {"04.03.2003", "40,00", "05.03.2003", "50,00"});
  TransactionDialogsQt dialogs(f.prompter, f.clock, nullptr);
  TradeSession session(TradeKind::Sell, f.state, f.calendar, f.prompter);
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Verkauf von Fondanteilen"));
    Activate();
    QLineEdit* date = Child<QLineEdit>("date");
    QLineEdit* amount = Child<QLineEdit>("amount");
    date->setFocus();
    date->clear();
    QTest::keyClicks(date, QStringLiteral("04.03.2003"));
    amount->setFocus();
    // The look-up runs after the date field's own check; a sale uses the
    // stored price.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text("price") == QStringLiteral("40,00"); }))
        << Text("price").toStdString();
    // A Saturday has no price: message, date emptied, amount closed.
    date->setFocus();
    date->clear();
    QTest::keyClicks(date, QStringLiteral("08.03.2003"));
    amount->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.prompter.Messages().empty() && Text("price").isEmpty(); }));
    EXPECT_EQ(f.prompter.Last().text.rfind("Für den 08.03.2003 sind keine Kursdaten des Fonds Alpha", 0), 0u);
    EXPECT_TRUE(date->text().isEmpty());
    EXPECT_TRUE(Text("price").isEmpty());
    EXPECT_TRUE(amount->isReadOnly());
    Child<QPushButton>("ok")->click();  // no amount typed: closes without storing
  });
  dialogs.Trade(session);
  EXPECT_EQ(session.Stored(), 0);
  EXPECT_TRUE(f.Stored(section::kSales, "Alpha").empty());
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

TEST(TransactionDialogsQt, DistributionShowsTheNewSharesRecordsWithEditAndCancelsWithoutPrice) {
  TransactionFixture f;
  f.AddFund({"Alpha", "1", "1,0000", "Euro"}, {"03.03.2003", "50,00"});
  f.SetHolding("Alpha", "01.01.2003", "100,0000");
  TransactionDialogsQt dialogs(f.prompter, f.clock, nullptr);
  AdjustmentSession session(AdjustmentKind::Distribution, f.state.depotStore, f.prompter);
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Ertragsausschüttung eingeben"));
    EXPECT_EQ(Text("shares"), QStringLiteral("100,0000"));
    EXPECT_EQ(Child<QLabel>("amountCurrency")->text(), QStringLiteral("Euro/Anteil"));
    QTest::keyClicks(Child<QLineEdit>("date"), QStringLiteral("03.03.2003"));
    QTest::keyClicks(Child<QLineEdit>("amount"), QStringLiteral("1"));
    EXPECT_EQ(Text("newShares"), QStringLiteral("102,0000"));
    Activate();
    Child<QPushButton>("edit")->click();
    EXPECT_TRUE(Text("date").isEmpty());
    EXPECT_TRUE(Text("amount").isEmpty());
    // Leaving the date field that EDIT emptied asks nothing: the program
    // emptied it, not the user.
    EXPECT_TRUE(Child<QLineEdit>("date")->hasFocus());
    Child<QPushButton>("ok")->setFocus();
    // The leave check is a queued call: everything queued runs first.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
    Child<QPushButton>("ok")->click();
  });
  EXPECT_TRUE(dialogs.EnterAdjustments(session));
  EXPECT_EQ(session.Entries(), (std::vector<AdjustmentEntry>{{"Alpha", "03.03.2003", "1"}}));

  AdjustmentSession costs(AdjustmentKind::Costs, f.state.depotStore, f.prompter);
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("jährliche Kosten des Fonds"));
    EXPECT_EQ(Child<QLabel>("amountCurrency")->text(), QStringLiteral("Euro"));
    QTest::keyClicks(Child<QLineEdit>("date"), QStringLiteral("04.03.2003"));
    QTest::keyClicks(Child<QLineEdit>("amount"), QStringLiteral("5"));  // no price: the dialog goes
  });
  EXPECT_FALSE(dialogs.EnterAdjustments(costs));
  EXPECT_NE(f.prompter.Last().text.find("Der Dialog wird jetzt abgebrochen !!"), std::string::npos);
}

TEST(TransactionDialogsQt, OpeningHoldingsRecordTheTypedFields) {
  TransactionFixture f;
  f.AddFund(kAlpha, {});
  f.AddFund({"Beta", "2", "1,0000", "USD"}, {});
  TransactionDialogsQt dialogs(f.prompter, f.clock, nullptr);
  OpeningSession session(f.state.depotStore, f.prompter);
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Anfangsbestände eingeben"));
    Child<QComboBox>("funds")->setCurrentIndex(1);
    QTest::keyClicks(Child<QLineEdit>("date"), QStringLiteral("01.01.2003"));
    QTest::keyClicks(Child<QLineEdit>("shares"), QStringLiteral("12,5"));
    QTest::keyClicks(Child<QLineEdit>("capital"), QStringLiteral("600"));
    Child<QPushButton>("edit")->click();
    EXPECT_TRUE(Text("shares").isEmpty());
    Child<QPushButton>("ok")->click();
  });
  EXPECT_TRUE(dialogs.EnterOpeningHoldings(session));
  EXPECT_EQ(session.Entries(), (std::vector<OpeningEntry>{{"Beta", "01.01.2003", "12,5", "600", "USD"}}));
}

TEST(TransactionDialogsQt, TheTransactionListHasItsColumnsAndFollowsTheFundList) {
  TransactionFixture f;
  f.AddFund({"Alpha", "1", "1,0000", "Euro"}, {});
  f.AddFund({"Beta", "2", "1,0000", "Euro"}, {});
  RecordStore& s = f.state.depotStore;
  s.Select("Alpha");
  s.AppendRows(section::kPurchases, {"10.02.2003", "50,00", "5", "250,00"}, 1);
  s.AppendRows(section::kSales, {"20.02.2003", "51,00", "3", "153,00"}, 1);
  s.AppendRows(section::kOpening, {"500,00", "10"}, 1);
  s.AppendRows(section::kHolding, {"20.02.2003", "12,5"}, 1);
  EXPECT_TRUE(s.Save().ok());
  TransactionDialogsQt dialogs(f.prompter, f.clock, nullptr);
  TransactionListing listing(f.state.depotStore);
  WhenShown([&] {
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Umsätze des Fonds Alpha"));
    QTreeWidget* list = Child<QTreeWidget>("list");
    ASSERT_NE(list, nullptr);
    const int widths[] = {80, 80, 80, 80, 90};
    const char* titles[] = {"Datum", "Verkaufspreis", "Kaufpreis", "Anteile", "Gesamtbestand"};
    for (int c = 0; c < 5; ++c) {
      EXPECT_EQ(list->headerItem()->text(c), QString::fromUtf8(titles[c]));
      EXPECT_EQ(list->columnWidth(c), widths[c]) << c;
    }
    EXPECT_TRUE(list->topLevelItem(0)->textAlignment(0) & Qt::AlignHCenter);
    EXPECT_TRUE(list->topLevelItem(0)->textAlignment(4) & Qt::AlignRight);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("50,00 Euro"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("51,00 Euro"));
    EXPECT_EQ(list->topLevelItem(1)->text(4), QStringLiteral("12,0000"));
    EXPECT_EQ(Text("distributions"), QStringLiteral("0,5000"));
    EXPECT_EQ(Text("holding"), QStringLiteral("12,5"));
    Child<QComboBox>("funds")->setCurrentIndex(1);
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Umsätze des Fonds Beta"));
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(Text("holding"), QStringLiteral("0,0000"));
    EXPECT_EQ(Text("distributions"), QStringLiteral("0,00"));
    Child<QPushButton>("ok")->click();
  });
  dialogs.ShowTransactions(listing);
  EXPECT_TRUE(f.prompter.Messages().empty());
}

}  // namespace
}  // namespace tellurio::testing
