// The rules of "Auswahl der Tabellenansicht", and the table view, print
// command and CSV export run with scripted dialogs and a recording printer.

#include <gtest/gtest.h>

#include "platform/testing/RecordingPrompter.h"
#include "views/table/TableSelectionRules.h"
#include "views/table/TableViewController.h"
#include "views/table/tests/ScriptedTableView.h"
#include "views/table/tests/TableFixture.h"

namespace tellurio {
namespace {

TEST(TableSelectionRules, OpeningAndTheTwoScopes) {
  TableSelectionRules r({"Weltweit", "Alpha", "Kinder"});
  TableSelectionState s = r.State();
  EXPECT_FALSE(s.allFunds);
  EXPECT_TRUE(s.separateDepots && s.separateEnabled);
  EXPECT_FALSE(s.byCompany || s.byCompanyEnabled);
  EXPECT_EQ(s.sort, SortKind::GainLowRisk);
  EXPECT_EQ(s.depotList, (std::vector<std::string>{"Alpha", "Kinder", "Weltweit"})) << "sorted";
  EXPECT_TRUE(s.depotListEnabled && s.returnSortEnabled);

  r.ChooseSort(SortKind::Return);
  r.ChooseAllFunds();
  s = r.State();
  EXPECT_TRUE(s.allFunds);
  EXPECT_FALSE(s.separateDepots || s.separateEnabled);
  EXPECT_FALSE(s.byCompany);
  EXPECT_TRUE(s.byCompanyEnabled);
  EXPECT_TRUE(s.depotList.empty());
  EXPECT_FALSE(s.depotListEnabled || s.returnSortEnabled);
  EXPECT_EQ(s.sort, SortKind::GainLowRisk) << "the return sort went off, another one is on";
  r.ChooseSort(SortKind::Return);
  EXPECT_EQ(r.State().sort, SortKind::GainLowRisk) << "\"Alle Fonds\" disables the return sort";
  EXPECT_TRUE(r.Ok({"Alpha"}).excludedDepots.empty()) << "no exclusions for all funds";
  r.SetSeparateDepots(true);
  EXPECT_FALSE(r.State().separateDepots) << "disabled";

  r.ChooseDepotFunds();
  s = r.State();
  EXPECT_FALSE(s.separateDepots || s.byCompany);
  EXPECT_TRUE(s.separateEnabled && s.byCompanyEnabled && s.depotListEnabled && s.returnSortEnabled);
  EXPECT_EQ(s.depotList.size(), 3u);
}

TEST(TableSelectionRules, SeparateDepotsAndCompaniesExcludeEachOtherAndOkKeepsTheMarks) {
  TableSelectionRules r({"A", "B"});
  r.SetSeparateDepots(false);
  EXPECT_TRUE(r.State().byCompanyEnabled);
  r.SetByCompany(true);
  EXPECT_TRUE(r.State().byCompany);
  EXPECT_FALSE(r.State().separateDepots || r.State().separateEnabled);
  r.SetByCompany(false);
  EXPECT_TRUE(r.State().separateEnabled);
  r.SetSeparateDepots(true);
  EXPECT_FALSE(r.State().byCompany || r.State().byCompanyEnabled);
  // With "Alle Fonds", switching companies off does not enable separate depots.
  r.ChooseAllFunds();
  r.SetByCompany(true);
  r.SetByCompany(false);
  EXPECT_FALSE(r.State().separateEnabled);

  r.ChooseDepotFunds();
  for (SortKind k : {SortKind::Alphabetical, SortKind::GainHighRisk, SortKind::Return}) {
    r.ChooseSort(k);
    EXPECT_EQ(r.State().sort, k);
  }
  r.SetByCompany(true);
  const TableSelection sel = r.Ok({"B"});
  EXPECT_FALSE(sel.allFunds);
  EXPECT_TRUE(sel.byCompany);
  EXPECT_FALSE(sel.separateDepots);
  EXPECT_EQ(sel.sort, SortKind::Return);
  EXPECT_EQ(sel.excludedDepots, (std::vector<std::string>{"B"}));
}

struct Controller {
  testing::TableFixture f;
  RecordingPrompter prompter;
  testing::ScriptedTableDialogs dialogs;
  testing::RecordingPrinter printer;
  TableViewController c{f.state, *f.statistics, f.calendar, prompter, dialogs, printer};
};

PrintChoice AllSeven(std::string start, std::string end) {
  return PrintChoice{true, true, true, true, true, true, true, std::move(start), std::move(end)};
}

TEST(TableViewController, AllSevenItemsStartSevenJobsInOrder) {
  Controller t;
  t.f.state.selectedFund = "Fonds A";
  t.dialogs.prints.push_back([](PrintChoiceRules& r) -> std::optional<PrintChoice> {
    PrintChoice c = AllSeven("15.05.2003", "16.06.2003");
    if (r.Ok(c) != DialogStep::Accept) return std::nullopt;
    return c;
  });
  EXPECT_EQ(t.c.Print(nullptr), 7);
  ASSERT_EQ(t.printer.jobs.size(), 7u);
  std::vector<int> kinds;
  std::vector<std::string> titles;
  for (const PrintJob& j : t.printer.jobs) {
    kinds.push_back(j.kind);
    titles.push_back(j.title);
  }
  EXPECT_EQ(kinds, (std::vector<int>{1, 3, 2, 4, 5, 6, 1}));
  EXPECT_EQ(titles,
            (std::vector<std::string>{"Langfristchart des Fonds Fonds A", "Jährliche Mittelwerte des Fonds Fonds A",
                                      "Monatliche Mitelwerte des Fonds Fonds A", "Umsätze des Fonds Fonds A",
                                      "Kurse des Fonds Fonds A", "Werte des Fonds Fonds A",
                                      "Chart des Fonds Fonds A vom 15.05.2003 bis zum 16.06.2003"}));
  const std::vector<PrintJob>& j = t.printer.jobs;
  EXPECT_TRUE(j[0].landscape && j[1].landscape && j[2].landscape && j[6].landscape);
  EXPECT_FALSE(j[3].landscape || j[4].landscape || j[5].landscape);
  EXPECT_EQ(j[0].series.size(), 10u) << "all five prices";
  EXPECT_EQ(j[6].series, (std::vector<std::string>{"15.05.2003", "140,00", "16.06.2003", "160,00"}));
  EXPECT_EQ(j[1].series.size(), 8u) << "four yearly averages";
  EXPECT_EQ(j[4].table->RowCount(), 5u);
  EXPECT_TRUE(t.prompter.Messages().empty());
}

TEST(TableViewController, APeriodEndingAfterTheNewestPriceIsRefusedAndSkipped) {
  Controller t;
  t.f.state.selectedFund = "Fonds A";
  for (const auto& [start, end] :
       std::vector<std::pair<std::string, std::string>>{{"15.05.2003", "17.06.2003"}, {"17.06.2003", "20.06.2003"}})
    t.dialogs.prints.push_back([start, end](PrintChoiceRules&) -> std::optional<PrintChoice> {
      PrintChoice c = AllSeven(start, end);
      c.longTermChart = c.yearlyChart = c.monthlyChart = c.transactions = c.prices = false;
      return c;
    });
  EXPECT_EQ(t.c.Print(nullptr), 1);
  ASSERT_EQ(t.printer.jobs.size(), 1u);
  EXPECT_EQ(t.printer.jobs[0].kind, printkind::kFundData);
  ASSERT_EQ(t.prompter.Messages().size(), 1u);
  EXPECT_EQ(t.prompter.Last().text, "Der von Ihnen gewählte Endtermin ist ungültig");
  EXPECT_EQ(t.prompter.Last().title, "Hinweis");
  EXPECT_EQ(t.prompter.Last().icon, MessageIcon::Stop);
  t.c.Print(nullptr);
  EXPECT_EQ(t.prompter.Last().text, "Der von Ihnen gewählte Starttermin liegt nach dem letzten verfügbaren Kurswert");
  EXPECT_EQ(t.printer.jobs.size(), 2u);
}

TEST(TableViewController, PrintingNeedsAFundAndACancelledDialogPrintsNothing) {
  Controller t;
  EXPECT_EQ(t.c.Print(nullptr), 0);
  EXPECT_EQ(t.prompter.Last().text, "Sie müssen erst einen Fond auswählen, bevor Sie die Fonddaten drucken können!");
  t.f.state.selectedFund = "Archiv X";  // a fund of the fund archive
  EXPECT_EQ(t.c.Print(nullptr), 0) << "the dialog was cancelled";
  t.dialogs.prints.push_back([](PrintChoiceRules&) -> std::optional<PrintChoice> {
    PrintChoice c;
    c.transactions = c.prices = true;
    return c;
  });
  t.printer.answer = false;  // the print dialog of the first job is cancelled
  EXPECT_EQ(t.c.Print(nullptr), 2) << "the second job follows";
  ASSERT_EQ(t.printer.jobs.size(), 2u);
  EXPECT_EQ(t.printer.jobs[0].table->RowCount(), 0u) << "an archived fund has no transactions";
  EXPECT_EQ(t.printer.jobs[1].table->RowCount(), 1u);
}

TEST(TableViewController, TheTableOfThePaneIsPrintedAndACancelledChoiceLeavesNone) {
  Controller t;
  EXPECT_EQ(t.c.ChooseAndBuildTable(), nullptr);
  EXPECT_FALSE(t.c.LastSelection().has_value());
  t.dialogs.tables.push_back([](TableSelectionRules& r) -> std::optional<TableSelection> {
    r.ChooseSort(SortKind::Alphabetical);
    return r.Ok({"Gamma"});
  });
  std::shared_ptr<const TextTable> table = t.c.ChooseAndBuildTable();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->RowCount(), 3u) << "Gamma left out";
  EXPECT_EQ(t.c.Print(table), 1);
  ASSERT_EQ(t.printer.jobs.size(), 1u);
  EXPECT_EQ(t.printer.jobs[0].kind, printkind::kDepotFunds);
  EXPECT_TRUE(t.printer.jobs[0].landscape);
  EXPECT_EQ(t.printer.jobs[0].table, table);
  EXPECT_EQ(t.printer.jobs[0].title, "Tabelle der Fonds der Depots alphapetisch geordnet");
  // The settings last chosen build the same table again.
  EXPECT_EQ(t.c.RebuildTable()->lines.size(), table->lines.size());
}

TEST(TableViewController, ExportWritesTheTableOrAListOfTheSelectedFund) {
  Controller t;
  t.dialogs.tables.push_back([](TableSelectionRules& r) { return std::optional<TableSelection>(r.Ok({})); });
  std::shared_ptr<const TextTable> table = t.c.ChooseAndBuildTable();
  t.dialogs.paths.push_back(t.f.dir / "t.csv");
  EXPECT_TRUE(t.c.ExportCsv(table));
  EXPECT_TRUE(std::filesystem::exists(t.f.dir / "t.csv"));
  ASSERT_EQ(t.dialogs.suggested.size(), 1u);
  EXPECT_EQ(t.dialogs.suggested[0],
            (t.f.dir / "Tabelle der Fonds der Depots nach größtem Gewinn bei kleinsten Risiko geordnet.csv").string())
      << "the file dialog starts in the working directory";

  EXPECT_FALSE(t.c.ExportCsv(nullptr));
  EXPECT_EQ(t.prompter.Last().text,
            "Sie müssen erst einen Fond auswählen, bevor Sie die Fonddaten exportieren können!");
  t.f.state.selectedFund = "Fonds A";
  t.dialogs.exports.push_back(ExportItem::Prices);
  t.dialogs.paths.push_back(t.f.dir / "kurse.csv");
  EXPECT_TRUE(t.c.ExportCsv(nullptr));
  EXPECT_EQ(testing::ReadAll(t.f.dir / "kurse.csv"),
            "\xEF\xBB\xBF"
            "Datum;Kurs in Euro\r\n15.06.2000;100,00\r\n15.06.2001;110,00\r\n14.06.2002;120,00\r\n"
            "15.05.2003;140,00\r\n16.06.2003;160,00\r\n");
  // A file that cannot be written is reported.
  t.dialogs.exports.push_back(ExportItem::FundData);
  t.dialogs.paths.push_back(t.f.dir / "fehlt" / "daten.csv");
  t.prompter.Clear();
  EXPECT_FALSE(t.c.ExportCsv(nullptr));
  ASSERT_EQ(t.prompter.Messages().size(), 1u);
  EXPECT_EQ(t.prompter.Last().title, "Fehler");
}

}  // namespace
}  // namespace tellurio
