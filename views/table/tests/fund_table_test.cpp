// The fund tables: figures of a row, the sort orders, and the tables built
// over the depots of a data directory.

#include <gtest/gtest.h>

#include <filesystem>

#include "calendar/NumberText.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "views/table/FundTable.h"
#include "views/table/FundTableBuilder.h"
#include "views/table/tests/TableFixture.h"

namespace tellurio {
namespace {

using testing::TableFixture;

std::vector<std::string> Column(const TextTable& t, size_t c) {
  std::vector<std::string> out;
  for (const TableLine& l : t.lines) out.push_back(l.At(c));
  return out;
}

FundStatistics Stats(double sharpe, double volatility, std::vector<double> months, double annualReturn = 0) {
  FundStatistics s;
  s.sharpeRatio = sharpe;
  s.volatility = volatility;
  s.monthlyAverages = std::move(months);
  s.annualReturn = annualReturn;
  return s;
}

std::vector<std::string> Names(const std::vector<FundRow>& rows, size_t column) {
  std::vector<std::string> out;
  for (const FundRow& r : rows) out.push_back(r.line.At(column));
  return out;
}

TEST(FundTable, PerformanceOverYearsNeedsEnoughYearlyAverages) {
  // 3 years back needs four averages: (150 / 100 - 1) * 100 = 50; 2 years:
  // 150 / 110 = 1.3636.. -> 36,36 (cut, not rounded); 1 year: 150 / 120 -> 25.
  const std::vector<double> y = {100, 110, 120, 150};
  EXPECT_DOUBLE_EQ(ChangeOver(y, 3), 50);
  EXPECT_EQ(FormatNumber(ChangeOver(y, 2), 2), "36,36");
  EXPECT_DOUBLE_EQ(ChangeOver(y, 1), 25);
  EXPECT_EQ(ChangeOver({110, 120, 150}, 3), 0) << "fewer than four yearly averages";
  EXPECT_EQ(ChangeOver({0, 120, 150, 160}, 3), 0) << "an older average of 0 gives no figure";
  FundFacts f{"Fonds", "123456", "Euro", 12.5, ""};
  FundStatistics st;
  st.yearlyAverages = {110, 120, 150};
  st.longestLossPeriod = 1;
  const FundRow row = AllFundsRow("Bank", f, st);
  ASSERT_EQ(row.line.cells.size(), allcol::kCount);
  EXPECT_EQ(row.line.At(allcol::kYears3), "0,00 %");
  EXPECT_EQ(row.line.At(allcol::kYears2), "36,36 %");
  EXPECT_EQ(row.line.At(allcol::kPrice), "12,50");
  EXPECT_EQ(row.line.At(allcol::kLossPeriod), "1,00 Monate");
  EXPECT_EQ(row.line.At(allcol::kMaxLoss), "0,00 Euro");
}

TEST(FundTable, GainSortsCompareTheShownFiguresThenTheOneMonthChange) {
  // Sharpe ratios 1.234, 1.239 and 1.231 all show as "1,23": among them the
  // one-month change decides (5 % before 1 %), and equal changes keep their
  // order.  2.0 comes first.
  const FundFacts f{"", "", "Euro", 0, ""};
  auto row = [&](const char* name, double sharpe, double month) {
    FundFacts g = f;
    g.name = name;
    return AllFundsRow("Bank", g, Stats(sharpe, 0, {100, 100 + month}));
  };
  std::vector<FundRow> rows = {row("A", 1.234, 1), row("B", 1.239, 5), row("C", 2.0, 0), row("D", 1.231, 1)};
  SortFundRows(rows, printkind::kAllFunds, SortKind::GainLowRisk);
  EXPECT_EQ(Names(rows, allcol::kName), (std::vector<std::string>{"C", "B", "A", "D"}));
  rows = {row("D", 1.231, 1), row("C", 2.0, 0), row("B", 1.239, 5), row("A", 1.234, 1)};
  SortFundRows(rows, printkind::kAllFunds, SortKind::GainLowRisk);
  EXPECT_EQ(Names(rows, allcol::kName), (std::vector<std::string>{"C", "B", "D", "A"}));

  // Volatility, largest first, with the same tie rule.
  auto vol = [&](const char* name, double v, double month) {
    FundFacts g = f;
    g.name = name;
    return AllFundsRow("Bank", g, Stats(0, v, {100, 100 + month}));
  };
  rows = {vol("low", 3, 9), vol("tie1", 7.001, 2), vol("tie5", 7.009, 5), vol("high", 12, 0)};
  SortFundRows(rows, printkind::kAllFunds, SortKind::GainHighRisk);
  EXPECT_EQ(Names(rows, allcol::kName), (std::vector<std::string>{"high", "tie5", "tie1", "low"}));
}

TEST(FundTable, AlphabeticalAndReturnSorts) {
  const FundFacts f{"", "", "Euro", 0, ""};
  auto row = [&](const char* name, double ret) {
    FundFacts g = f;
    g.name = name;
    return DepotFundsRow("D", "Bank", g, Stats(0, 0, {}, ret));
  };
  std::vector<FundRow> rows = {row("b", 5), row("B", 12.5), row("a", -1)};
  SortFundRows(rows, printkind::kDepotFunds, SortKind::Alphabetical);
  EXPECT_EQ(Names(rows, depotcol::kName), (std::vector<std::string>{"B", "a", "b"})) << "byte order";
  SortFundRows(rows, printkind::kDepotFunds, SortKind::Return);
  EXPECT_EQ(Names(rows, depotcol::kReturn), (std::vector<std::string>{"12,50 %", "5,00 %", "-1,00 %"}));
  // The table of all funds has no return column: its rows keep their order.
  std::vector<FundRow> all = {AllFundsRow("X", {"z", "", "", 0, ""}, {}), AllFundsRow("X", {"y", "", "", 0, ""}, {})};
  SortFundRows(all, printkind::kAllFunds, SortKind::Return);
  EXPECT_EQ(Names(all, allcol::kName), (std::vector<std::string>{"z", "y"}));
}

TEST(FundTable, TitlesAndColumns) {
  const TextTable all = EmptyFundTable(printkind::kAllFunds, SortKind::Alphabetical);
  EXPECT_EQ(all.title, "Tabelle aller verfügbaren Fonds alphapetisch geordnet");
  ASSERT_EQ(all.columns.size(), 13u);
  EXPECT_EQ(all.columns.front().header, "Fondgesellschaft");
  EXPECT_EQ(all.columns.back().header, "Treyn. Rat.");
  EXPECT_TRUE(all.landscape);
  const TextTable depot = EmptyFundTable(printkind::kDepotFunds, SortKind::Return);
  EXPECT_EQ(depot.title, "Tabelle der Fonds der Depots nach Rendite geordnet");
  ASSERT_EQ(depot.columns.size(), 16u);
  EXPECT_EQ(depot.columns[depotcol::kHolding].header, "Bestand");
  EXPECT_EQ(depot.columns.back().header, "Rendite");
  ASSERT_EQ(depot.groups.size(), 2u);
  EXPECT_EQ(depot.groups[0].caption, "Performancewerte");
  EXPECT_EQ(depot.columns[depot.groups[0].first].header, "3 Jahre");
  EXPECT_EQ(depot.columns[depot.groups[0].last].header, "1 Monat");
  EXPECT_EQ(depot.groups[1].caption, "Kennzahlen");
  EXPECT_EQ(FundTableTitle(printkind::kDepotFunds, SortKind::GainHighRisk),
            "Tabelle der Fonds der Depots nach größtem Gewinn bei größten Risiko geordnet");
}

TEST(FundTableBuilder, DepotTableInSeparateDepotBlocks) {
  TableFixture f;
  TableSelection s;
  s.sort = SortKind::Alphabetical;
  const FundTableResult r = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores);
  EXPECT_TRUE(r.skippedDepots.empty());
  const TextTable& t = r.table;
  EXPECT_EQ(t.kind, printkind::kDepotFunds);
  EXPECT_EQ(Column(t, depotcol::kName), (std::vector<std::string>{"Fonds A", "Fonds B", "Fonds A", "Fonds C"}));
  EXPECT_EQ(Column(t, depotcol::kDepot), (std::vector<std::string>{"Alpha", "", "Beta", "Gamma"}));
  EXPECT_EQ(Column(t, depotcol::kCompany), (std::vector<std::string>{"Bank", "Bank", "Bank", "Kasse"}));
  // Blocks start where the depot is named again.
  EXPECT_EQ(t.groupColumn, static_cast<int>(depotcol::kDepot));
  EXPECT_FALSE(t.StartsBlock(0) || t.StartsBlock(1));
  EXPECT_TRUE(t.StartsBlock(2) && t.StartsBlock(3));
  EXPECT_EQ(Column(t, depotcol::kHolding), (std::vector<std::string>{"10,5000", "0,000", "2,2500", "4,0000"}));
  // Value = newest price * shares: 160 * 10,5; a fund without holding keeps 0;
  // 160 * 2,25; 20 * 4.
  EXPECT_EQ(Column(t, depotcol::kValue), (std::vector<std::string>{"1680,00", "0,00", "360,00", "80,00"}));
  const TableLine& a = t.lines[0];
  EXPECT_EQ(a.At(depotcol::kYears3), "50,00 %");
  EXPECT_EQ(a.At(depotcol::kYears2), "36,36 %");
  EXPECT_EQ(a.At(depotcol::kYear1), "25,00 %");
  // The last two monthly averages 140 and 160: 160 / 140 = 1.142857..
  EXPECT_EQ(a.At(depotcol::kMonth1), "14,28 %");
  // "Fonds B" has two yearly averages, 50 and 40.
  const TableLine& b = t.lines[1];
  EXPECT_EQ(b.At(depotcol::kYears3), "0,00 %");
  EXPECT_EQ(b.At(depotcol::kYears2), "0,00 %");
  EXPECT_EQ(b.At(depotcol::kYear1), "-20,00 %");
  EXPECT_EQ(t.lines[3].At(depotcol::kMaxLoss), "0,00 DM");
}

TEST(FundTableBuilder, ADepotReadFromItsFilesShowsTheFiguresOfTheDocument) {
  // Alpha current: Beta and Gamma are read from their files; then Gamma
  // current: Alpha comes from its files.  Every cell must be the same.
  TableFixture f;
  TableSelection s;
  s.sort = SortKind::Alphabetical;
  const TextTable first = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  f.state.currentDepot = "Gamma";
  f.Load();
  const TextTable second = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  ASSERT_EQ(first.lines.size(), second.lines.size());
  for (size_t i = 0; i < first.lines.size(); ++i) EXPECT_EQ(first.lines[i].cells, second.lines[i].cells) << i;
}

TEST(FundTableBuilder, CompanyBlocksMergeAFundHeldInTwoDepots) {
  TableFixture f;
  TableSelection s;
  s.separateDepots = false;
  s.byCompany = true;
  s.sort = SortKind::Alphabetical;
  const TextTable t = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  EXPECT_EQ(Column(t, depotcol::kName), (std::vector<std::string>{"Fonds A", "Fonds B", "Fonds C"}));
  EXPECT_EQ(Column(t, depotcol::kCompany), (std::vector<std::string>{"Bank", "", "Kasse"}));
  // 10,5 + 2,25 shares with four decimals; 1680 + 360 in value.
  EXPECT_EQ(t.lines[0].At(depotcol::kHolding), "12,7500");
  EXPECT_EQ(t.lines[0].At(depotcol::kValue), "2040,00");
  EXPECT_EQ(t.lines[0].At(depotcol::kDepot), "Alpha, Beta");

  s.excludedDepots = {"Beta"};
  const TextTable without = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  EXPECT_EQ(without.lines[0].At(depotcol::kHolding), "10,5000");
  EXPECT_EQ(without.lines[0].At(depotcol::kDepot), "Alpha");
}

// "Alle Fonds" in one list, sorted by name.
TableSelection AllFundsAlphabetical() {
  TableSelection s;
  s.allFunds = true;
  s.separateDepots = false;
  s.sort = SortKind::Alphabetical;
  return s;
}

TEST(FundTableBuilder, AllFundsComeFromTheArchiveOfEachProvidersFirstDepot) {
  TableFixture f;
  TableSelection s = AllFundsAlphabetical();
  TextTable t = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  EXPECT_EQ(t.kind, printkind::kAllFunds);
  EXPECT_EQ(Column(t, allcol::kName), (std::vector<std::string>{"Archiv X", "Archiv Y", "Archiv Z"}));
  EXPECT_EQ(Column(t, allcol::kCompany), (std::vector<std::string>{"Bank", "Bank", "Kasse"}));
  EXPECT_EQ(Column(t, allcol::kPrice), (std::vector<std::string>{"10,00", "20,00", "12,50"}));
  s.byCompany = true;
  t = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  EXPECT_EQ(Column(t, allcol::kCompany), (std::vector<std::string>{"Bank", "", "Kasse"}));

  // With "Beta" current, the archive of "Alpha" (first of "Bank") is read
  // from its files, and "Beta"'s own archive still stays out.
  f.state.currentDepot = "Beta";
  f.Load();
  t = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  EXPECT_EQ(Column(t, allcol::kName), (std::vector<std::string>{"Archiv X", "Archiv Y", "Archiv Z"}));
}

// A depot without an archive of its own just has no archived funds; a
// provider whose first depot has no files at all has no archive to be read,
// and the table says so instead of leaving the provider out unseen.
TEST(FundTableBuilder, AProviderWhoseFirstDepotHasNoFilesIsNamed) {
  TableFixture f;
  TableSelection s = AllFundsAlphabetical();
  auto remove = [&](const std::filesystem::path& base) {
    for (const char* ext : {".dat", ".idx"}) std::filesystem::remove(std::filesystem::path(base).concat(ext));
  };
  remove(fileset::ArchiveBase(f.dir.path(), "Gamma"));
  FundTableResult r = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores);
  EXPECT_EQ(Column(r.table, allcol::kName), (std::vector<std::string>{"Archiv X", "Archiv Y"}));
  EXPECT_TRUE(r.skippedDepots.empty());

  remove(fileset::DepotBase(f.dir.path(), "Gamma"));
  r = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores);
  EXPECT_EQ(Column(r.table, allcol::kName), (std::vector<std::string>{"Archiv X", "Archiv Y"}));
  EXPECT_EQ(r.skippedDepots, (std::vector<std::string>{"Gamma"}));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(fileset::DepotBase(f.dir.path(), "Gamma")).concat(".dat")))
      << "reading must not create a store";
}

TEST(FundTableBuilder, AnUnreadableDepotIsSkippedAndTheCurrentDepotStaysAsItWas) {
  TableFixture f;
  // Beta's data file becomes a directory: it exists but cannot be read.
  std::filesystem::remove(f.dir / "Beta.dat");
  std::filesystem::create_directory(f.dir / "Beta.dat");
  f.state.depotNames.push_back("Ghost");  // listed, but its file is gone
  const std::vector<std::string> keysBefore = f.state.depotStore.Keys();
  const std::string valueBefore = f.statistics->DepotValue();
  TableSelection s;
  s.sort = SortKind::Alphabetical;
  const FundTableResult r = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores);
  EXPECT_EQ(r.skippedDepots, (std::vector<std::string>{"Beta", "Ghost"}));
  EXPECT_EQ(SkippedDepotsText(r.skippedDepots),
            "Die Daten der Depots Beta und Ghost konnten nicht gelesen werden.\n"
            "Diese Depots fehlen deshalb in der Tabelle.");
  EXPECT_EQ(Column(r.table, depotcol::kDepot), (std::vector<std::string>{"Alpha", "", "Gamma"}));
  EXPECT_EQ(f.state.currentDepot, "Alpha");
  EXPECT_EQ(f.state.depotStore.Keys(), keysBefore);
  EXPECT_EQ(f.statistics->DepotValue(), valueBefore);
  ASSERT_EQ(f.statistics->Table(Scope::DepotFunds).size(), 2u);
  EXPECT_DOUBLE_EQ(f.statistics->Table(Scope::DepotFunds)[0].value, 1680);
  EXPECT_FALSE(std::filesystem::exists(f.dir / "Ghost.dat")) << "reading must not create a store";
  EXPECT_EQ(SkippedDepotsText({"Beta"}),
            "Die Daten des Depots Beta konnten nicht gelesen werden.\nDas Depot fehlt deshalb in der Tabelle.");
}

// A provider list is a file: a name in it that points out of the working
// directory is no depot.  It is named once, and the table takes the
// provider's first real depot instead of reading the files it points to.
TEST(FundTableBuilder, DepotNamesFromAProviderListThatAreNoDepotNamesAreLeftOut) {
  TableFixture f;
  const std::filesystem::path outside = f.dir / "draussen";
  std::filesystem::create_directory(outside);
  testing::WriteStore(fileset::ArchiveBase(outside, "Fremd"), false,
                      {{"Fremder Fonds", "999999", "1,0000", "Euro", {"13.06.2003", "99,00"}, ""}});
  ASSERT_TRUE(WriteListFile(fileset::ProviderList(f.dir.path(), "Kasse"), {"draussen/Fremd", "Gamma"}).ok());
  TableSelection s;
  s.allFunds = true;
  s.separateDepots = false;
  s.sort = SortKind::Alphabetical;
  const FundTableResult r = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores);
  EXPECT_EQ(Column(r.table, allcol::kName), (std::vector<std::string>{"Archiv X", "Archiv Y", "Archiv Z"}));
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_NE(f.prompter.Last().text.find("draussen/Fremd"), std::string::npos) << f.prompter.Last().text;
}

TEST(FundTableBuilder, WithoutDepotsTheTableHasItsTitleAndHeadersOnly) {
  TableFixture f;
  DepotState empty;
  empty.workingDirectory = f.dir.path();
  Statistics none(empty, f.calendar);
  for (bool allFunds : {false, true}) {
    TableSelection s;
    s.allFunds = allFunds;
    const FundTableResult r = BuildFundTable(s, empty, none, f.calendar, f.stores);
    EXPECT_TRUE(r.table.lines.empty());
    EXPECT_EQ(r.table.columns.size(), allFunds ? 13u : 16u);
    EXPECT_FALSE(r.table.title.empty());
  }
}

}  // namespace
}  // namespace tellurio
