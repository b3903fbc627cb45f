// "Druckausgabe": the dialog's rule, the order of the jobs, the data of each
// item, the period of a daily chart, and the page layout of text pages.

#include <gtest/gtest.h>

#include "platform/testing/RecordingPrompter.h"
#include "views/table/PageLayout.h"
#include "views/table/PrintItems.h"

namespace tellurio {
namespace {

TEST(PrintChoiceRules, APeriodNeedsBothDates) {
  RecordingPrompter p;
  PrintChoiceRules rules(p);
  PrintChoice c;
  c.period = true;
  c.end = "30.06.2003";
  EXPECT_EQ(rules.Ok(c), DialogStep::Stay);
  EXPECT_FALSE(c.period) << "the period is unchecked";
  ASSERT_EQ(p.Messages().size(), 1u);
  EXPECT_EQ(p.Last().title, "Frage");
  EXPECT_EQ(p.Last().text,
            "Sie müssen bei dieser Auswahl erst das Startdatum eingeben,\nbevor Sie den Dialog verlassen können !!");
  EXPECT_EQ(p.Last().beep, BeepKind::Exclamation);

  c.period = true;
  c.start = "01.06.2003";
  c.end = "";
  EXPECT_EQ(rules.Ok(c), DialogStep::Stay);
  EXPECT_EQ(p.Last().text,
            "Sie müssen bei dieser Auswahl erst das Enddatum eingeben,\nbevor Sie den Dialog verlassen können !!");
  // A date cut short counts as missing too.
  c.period = true;
  c.end = "30.06.";
  EXPECT_EQ(rules.Ok(c), DialogStep::Stay);
  c.period = true;
  c.end = "31.06.2003";
  EXPECT_EQ(rules.Ok(c), DialogStep::Stay) << "June has 30 days";

  p.Clear();
  c.period = true;
  c.end = "30.06.2003";
  EXPECT_EQ(rules.Ok(c), DialogStep::Accept);
  EXPECT_TRUE(c.period);
  PrintChoice none;
  EXPECT_EQ(rules.Ok(none), DialogStep::Accept) << "dates do not matter without the period";
  EXPECT_TRUE(p.Messages().empty());
}

TEST(PrintItems, AllSevenItemsInTheirOrder) {
  PrintChoice c{true, true, true, true, true, true, true, "01.01.2003", "01.02.2003"};
  EXPECT_EQ(PrintOrder(c), (std::vector<PrintItem>{PrintItem::LongTermChart, PrintItem::YearlyChart,
                                                   PrintItem::MonthlyChart, PrintItem::Transactions, PrintItem::Prices,
                                                   PrintItem::FundData, PrintItem::PeriodChart}));
  PrintChoice two;
  two.fundData = true;
  two.monthlyChart = true;
  EXPECT_EQ(PrintOrder(two), (std::vector<PrintItem>{PrintItem::MonthlyChart, PrintItem::FundData}));
}

TEST(PrintItems, ThePeriodOfADailyChart) {
  const std::vector<std::string> rows = {"02.06.2003", "10,00", "04.06.2003", "11,00",
                                         "06.06.2003", "12,00", "10.06.2003", "13,00"};
  // From the first row on or after the start up to and including the first
  // row on or after the end.
  PeriodRows r = SelectPeriod(rows, "03.06.2003", "05.06.2003");
  EXPECT_EQ(r.problem, PeriodRows::Problem::None);
  EXPECT_EQ(r.rows, (std::vector<std::string>{"04.06.2003", "11,00", "06.06.2003", "12,00"}));
  r = SelectPeriod(rows, "02.06.2003", "10.06.2003");
  EXPECT_EQ(r.rows.size(), 8u);
  r = SelectPeriod(rows, "01.06.2003", "11.06.2003");
  EXPECT_EQ(r.problem, PeriodRows::Problem::InvalidEnd) << "the end after the newest price";
  EXPECT_TRUE(r.rows.empty());
  EXPECT_EQ(PeriodProblemText(r.problem), "Der von Ihnen gewählte Endtermin ist ungültig");
  r = SelectPeriod(rows, "11.06.2003", "12.06.2003");
  EXPECT_EQ(r.problem, PeriodRows::Problem::StartAfterLastPrice);
  EXPECT_EQ(PeriodProblemText(r.problem),
            "Der von Ihnen gewählte Starttermin liegt nach dem letzten verfügbaren Kurswert");
  r = SelectPeriod(rows, "06.06.2003", "03.06.2003");
  EXPECT_EQ(r.problem, PeriodRows::Problem::InvalidEnd) << "an end before the start is no period";
  EXPECT_EQ(SelectPeriod({}, "01.01.2003", "02.01.2003").problem, PeriodRows::Problem::StartAfterLastPrice);
}

TEST(PrintItems, FundDataSheetLabelsAndFigures) {
  std::array<std::string, 14> info;
  for (size_t i = 0; i < info.size(); ++i) info[i] = "v" + std::to_string(i);
  const TextTable t = FundDataTable({"Fonds A", "111111", "1,0500", "Euro"},
                                    {"01.06.2003", "10,00", "02.06.2003", "0", "03.06.2003", "12,50"}, info);
  EXPECT_EQ(t.title, "Werte des Fonds Fonds A");
  EXPECT_FALSE(t.landscape);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const TableLine& l : t.lines)
    if (l.kind == LineKind::Row) pairs.emplace_back(l.At(0), l.At(1));
  ASSERT_EQ(pairs.size(), 20u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"Wertpapierkennummer: ", "111111"}));
  EXPECT_EQ(pairs[2].second, "5,00 %");
  EXPECT_EQ(pairs[3].second, "12,50 Euro") << "highest price";
  EXPECT_EQ(pairs[4].second, "10,00 Euro") << "lowest price, a zero price is no price";
  EXPECT_EQ(pairs[5].second, "12,50 Euro");
  EXPECT_EQ(pairs[6], (std::pair<std::string, std::string>{"Wert des Fonds", "v0"}));
  EXPECT_EQ(pairs[17], (std::pair<std::string, std::string>{"Längste Verlustperiode", "v11"}));
  int captions = 0;
  for (const TableLine& l : t.lines) captions += l.kind == LineKind::Caption;
  EXPECT_EQ(captions, 2);
}

TEST(PrintItems, PriceListAndTitles) {
  const TextTable t = PricesTable("Fonds A", "Euro", {"01.06.2003", "10,00", "02.06.2003", "10,50"});
  EXPECT_EQ(t.title, "Kurse des Fonds Fonds A");
  EXPECT_EQ(t.columns[1].header, "Kurs in Euro");
  EXPECT_EQ(t.RowCount(), 2u);
  EXPECT_TRUE(t.flowing);
}

TEST(PageLayout, LinesPerPageAndPageCount) {
  // A4 portrait in 1/1200 inch: 210 mm = 9921, 297 mm = 14031 units.  The
  // text area is 914 .. 14031 - 365 = 13666 high, 12752 units.  With a
  // header of 1000 and a footer of 300, 11452 units hold 57 lines of 200.
  const TextPageLayout l = LayoutTextPages(9921, 14031, 200, 1000, 300, 5000);
  EXPECT_EQ(l.area.left, 1120);
  EXPECT_EQ(l.area.right, 9921 - 548);
  EXPECT_EQ(l.area.Height(), 12752);
  EXPECT_EQ(l.linesPerColumn, 57);
  EXPECT_EQ(l.pageCount, 88) << "5000 / 57 = 87.7";
  EXPECT_EQ(l.FirstLine(87), 87u * 57u);
  EXPECT_EQ(l.EndLine(87, 5000), 5000u);
  // Three column sets side by side: 171 lines a page.
  EXPECT_EQ(LayoutTextPages(9921, 14031, 200, 1000, 300, 5000, 3).pageCount, 30);
  // An empty list still prints one page; exactly one full page is one page.
  EXPECT_EQ(LayoutTextPages(9921, 14031, 200, 1000, 300, 0).pageCount, 1);
  EXPECT_EQ(LayoutTextPages(9921, 14031, 200, 1000, 300, 57).pageCount, 1);
  EXPECT_EQ(LayoutTextPages(9921, 14031, 200, 1000, 300, 58).pageCount, 2);
  // A line taller than the room still gets a page of its own.
  EXPECT_EQ(LayoutTextPages(9921, 14031, 20000, 1000, 300, 3).pageCount, 3);
  EXPECT_EQ(PageFooterText(2, 30), "Seite 2 von 30");
  EXPECT_EQ(PrintDateText("01.07.2003"), "Druckdatum: 01.07.2003");
}

}  // namespace
}  // namespace tellurio
