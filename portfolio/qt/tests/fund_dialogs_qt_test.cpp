// The fund dialogs on the offscreen platform: the field checks reached
// through the widgets, the price rows and scroll bar of "Werteeingabe", and
// the chart of the fund data window.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "platform/qt/testing/DialogDriver.h"
#include "portfolio/PriceEntrySession.h"
#include "portfolio/qt/FundDialogsQt.h"
#include "portfolio/tests/PortfolioFixture.h"

namespace tellurio::testing {
namespace {

template <typename T>
T* Child(const char* name) {
  return DialogChild<T>(name);
}

TEST(FundDialogsQt, NewFundChecksTheNameWhenItIsLeftAndReturnsTheEntry) {
  DepotFixture f;
  f.AddFund({"Alpha", "111111", "1,0500", "Euro"}, {});
  FundDialogsQt dialogs(f.prompter, nullptr);
  NewFundRules rules(f.prompter, AllMasters(f.state.depotStore), f.state.depotStore);
  WhenShown([&] {
    ASSERT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("neuen Fond in das Depot übernehmen"));
    EXPECT_EQ(Child<QListWidget>("funds")->count(), 1);
    // Focus changes reach a field only in the active window.
    ActiveDialog()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ActiveDialog()));
    QLineEdit* name = Child<QLineEdit>("name");
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Alpha"));
    Child<QLineEdit>("wkn")->setFocus();  // leaving the name field checks it
    EXPECT_EQ(f.prompter.Last().text.rfind("Der Fond\n\nAlpha\n\nexistiert schon.", 0), 0u);
    EXPECT_TRUE(name->text().isEmpty());
    QTest::keyClicks(name, QStringLiteral("Beta"));
    QTest::keyClicks(Child<QLineEdit>("wkn"), QStringLiteral("222222"));
    QTest::keyClicks(Child<QLineEdit>("surcharge"), QStringLiteral("5,5"));
    QTest::keyClicks(Child<QLineEdit>("currency"), QStringLiteral("USD"));
    Child<QPushButton>("ok")->click();
  });
  std::optional<FundEntry> e = dialogs.NewFund(rules);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->name, "Beta");
  EXPECT_EQ(e->wkn, "222222");
  EXPECT_EQ(e->surchargePercent, "5,5");
  EXPECT_EQ(e->currency, "USD");
}

TEST(FundDialogsQt, EditFundShowsTheSelectedFundsFields) {
  DepotFixture f;
  f.AddFund({"Alpha", "111111", "1,0500", "Euro"}, {});
  f.AddFund({"Beta", "222222", "1,0325", "CHF"}, {});
  FundDialogsQt dialogs(f.prompter, nullptr);
  EditFundRules rules(f.prompter, AllMasters(f.state.depotStore));
  WhenShown([&] {
    EXPECT_EQ(Child<QLineEdit>("surcharge")->text(), QStringLiteral("5,00"));
    Child<QComboBox>("funds")->setCurrentIndex(1);
    EXPECT_EQ(Child<QLineEdit>("wkn")->text(), QStringLiteral("222222"));
    EXPECT_EQ(Child<QLineEdit>("currency")->text(), QStringLiteral("CHF"));
    EXPECT_EQ(Child<QLineEdit>("surcharge")->text(), QStringLiteral("3,25"));
    Child<QLineEdit>("wkn")->setText(QStringLiteral("111111"));
    Child<QPushButton>("ok")->click();  // another fund's WKN: stays, field emptied
    ASSERT_NE(ActiveDialog(), nullptr);
    EXPECT_TRUE(Child<QLineEdit>("wkn")->text().isEmpty());
    QTest::keyClicks(Child<QLineEdit>("wkn"), QStringLiteral("x3a3"));  // digits only
    EXPECT_EQ(Child<QLineEdit>("wkn")->text(), QStringLiteral("33"));
    Child<QPushButton>("ok")->click();
  });
  auto r = dialogs.EditFund(rules);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->first, 1u);
  EXPECT_EQ(r->second.wkn, "33");
}

TEST(FundDialogsQt, PriceEntryRowsScrollAndCommit) {
  DepotFixture f{CivilDate{2003, 3, 11}};
  f.AddFund({"Alpha", "1", "1,0000", "Euro"}, {"06.03.2003", "10,10", "07.03.2003", "10,20"});
  FundDialogsQt dialogs(f.prompter, nullptr);
  PriceEntrySession session(f.state.depotStore, f.calendar, f.prompter);
  f.prompter.Script({Answer::Yes});
  WhenShown([&] {
    EXPECT_EQ(Child<QLabel>("date0")->text(), QStringLiteral("06.03.2003"));
    EXPECT_EQ(Child<QLabel>("date3")->text(), QStringLiteral("11.03.2003"));
    QLineEdit* tuesday = Child<QLineEdit>("price3");
    EXPECT_TRUE(tuesday->text().isEmpty());
    tuesday->setFocus();
    QTest::keyClicks(tuesday, QStringLiteral("10,40"));
    // Scrolling up with the typed price still in the field keeps it.
    Child<QScrollBar>("scroll")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Child<QLabel>("date0")->text(), QStringLiteral("05.03.2003"));
    EXPECT_EQ(Child<QLineEdit>("price4")->text(), QStringLiteral("10,40"));
    Child<QPushButton>("ok")->click();
  });
  dialogs.EnterPrices(session);
  EXPECT_EQ(f.prompter.Last().text, "Wollen Sie die durchgeführten Änderungen übernehmen?");
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.depotStore, "Alpha"),
            (std::vector<std::string>{"06.03.2003", "10,10", "07.03.2003", "10,20", "10.03.2003", "0", "11.03.2003",
                                      "10,40"}));
}

TEST(FundDialogsQt, FundDataWindowDrawsThePriceLine) {
  FundPriceChart chart({"1", "10,00", "2", "12,00", "3", "11,00"});
  chart.resize(290, 125);
  QImage img(chart.size(), QImage::Format_RGB32);
  chart.render(&img);
  int dark = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 8; x < img.width(); ++x)  // right of the vertical axis
      if (y < img.height() - 8 && qGray(img.pixel(x, y)) < 200) ++dark;
  EXPECT_GT(dark, 100) << "the price line";
  EXPECT_EQ(img.pixel(100, 2), QColor(Qt::white).rgb());

  DepotFixture f;
  FundDialogsQt dialogs(f.prompter, nullptr);
  f.prompter.Script({Answer::Yes});
  WhenShown([&] {
    EXPECT_EQ(Child<QLineEdit>("purchasePrice")->text(), QStringLiteral("k.A."));
    Child<QPushButton>("delete")->click();
  });
  FundDataView v;
  v.purchasePrice = "k.A.";
  EXPECT_TRUE(dialogs.ShowFundData(v));
  EXPECT_EQ(f.prompter.Last().text, "Wollen Sie den Fond wirklich Löschen?");
}

// 5000 prices in the window's chart: more points than columns.  Each plotted
// point moves right by a fraction of a pixel; cut at every point, the line
// never left the vertical axis.  The line must reach the right quarter.
TEST(FundDialogsQt, FundDataWindowSpreadsALongSeriesOverThePlotWidth) {
  std::vector<std::string> rows;
  for (int i = 0; i < 5000; ++i) {
    rows.push_back("01.01.2000");
    rows.push_back(std::to_string(40 + (i / 50) % 20) + ",00");
  }
  FundPriceChart chart(rows);
  chart.resize(290, 125);
  QImage img(chart.size(), QImage::Format_RGB32);
  chart.render(&img);
  int rightmost = 0;
  for (int y = 0; y < img.height() - 8; ++y)
    for (int x = 8; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 200) rightmost = std::max(rightmost, x);
  EXPECT_GT(rightmost, 3 * img.width() / 4);
}

}  // namespace
}  // namespace tellurio::testing
