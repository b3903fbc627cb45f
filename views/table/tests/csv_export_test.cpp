// The CSV export, read back the way a spreadsheet program reads it: Python's
// csv module with ";" as the delimiter, after the byte-order mark.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "calendar/NumberText.h"
#include "platform/testing/TempDir.h"
#include "views/table/CsvExport.h"
#include "views/table/FundTableBuilder.h"
#include "views/table/ReportTable.h"
#include "views/table/tests/TableFixture.h"

namespace tellurio {
namespace {

// The fields of the file as Python's csv module reads them, one record per
// line, fields separated by a tab (no field holds a tab).
std::vector<std::vector<std::string>> ReadWithPython(const std::filesystem::path& file) {
  const std::string cmd =
      "python3 -c \"import csv,sys\n"
      "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
      "  for r in csv.reader(f, delimiter=';'): print('\\t'.join(r))\" '" +
      file.string() + "'";
  std::vector<std::vector<std::string>> out;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return out;
  std::string all;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) all.append(buf, n);
  EXPECT_EQ(pclose(pipe), 0) << "python3 could not read the file";
  std::istringstream lines(all);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    out.push_back(std::move(fields));
  }
  return out;
}

TEST(CsvExport, ASpreadsheetReadsBackTheNumbersOfTheTable) {
  testing::TableFixture f;
  TableSelection s;
  s.sort = SortKind::Alphabetical;
  const TextTable table = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
  const std::filesystem::path file = f.dir / "tabelle.csv";
  ASSERT_TRUE(WriteCsvFile(file, table).ok());
  const std::string bytes = testing::ReadAll(file);
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(bytes.find("\r\n"), std::string::npos);

  const auto records = ReadWithPython(file);
  ASSERT_EQ(records.size(), 1 + table.lines.size());
  const std::vector<std::string>& header = records[0];
  // One unit per column goes into the header; the numbers stand alone.
  EXPECT_EQ(header[depotcol::kYears3], "3 Jahre (%)");
  EXPECT_EQ(header[depotcol::kName], "Fondname");
  // "max. Verlust" has Euro and DM: a column "Einheit" follows it, so the
  // columns after it move one to the right.
  EXPECT_EQ(header[depotcol::kMaxLoss], "max. Verlust");
  EXPECT_EQ(header[depotcol::kMaxLoss + 1], "Einheit");
  EXPECT_EQ(header[depotcol::kLossPeriod + 1], "längst. Verlustp. (Monate)");
  ASSERT_EQ(header.size(), 17u);
  for (size_t r = 0; r < table.lines.size(); ++r) {
    const std::vector<std::string>& rec = records[r + 1];
    ASSERT_EQ(rec.size(), 17u);
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const std::string shown = table.lines[r].At(c);
      const size_t at = c <= depotcol::kMaxLoss ? c : c + 1;
      const std::string& field = rec[at];
      // The shown text is the field, or the field, a blank and the unit.
      EXPECT_EQ(shown.substr(0, field.size()), field) << r << "/" << c;
      if (!field.empty() && (field[0] == '-' || (field[0] >= '0' && field[0] <= '9')) && c != depotcol::kWkn) {
        EXPECT_EQ(ParseNumber(field), ParseNumber(shown)) << r << "/" << c;
      }
    }
  }
  EXPECT_EQ(records[1][depotcol::kValue], "1680,00");
  EXPECT_EQ(records[1][depotcol::kMonth1], "14,28");
  EXPECT_EQ(records[4][depotcol::kMaxLoss + 1], "DM");
}

TEST(CsvExport, QuotingFormulasAndListsWithoutHeaders) {
  TextTable t;
  t.title = "Werte/Fonds: A";
  t.columns = {{"", CellAlign::Left}, {"", CellAlign::Right}};
  t.lines = {TableLine::Row({"Name; mit \"Zeichen\"", "=1+1"}), TableLine::Caption("Kennzahlen"),
             TableLine::Row({"Verlust", "-3,50 Euro"}), TableLine::Row({"WKN", "k.A."}),
             TableLine::Row({"Zeile", "-x"})};
  const std::string csv = CsvText(t);
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF"
            "Bezeichnung;Wert;Einheit\r\n"
            "\"Name; mit \"\"Zeichen\"\"\";'=1+1;\r\n"
            "Verlust;-3,50;Euro\r\n"
            "WKN;k.A.;\r\n"
            "Zeile;'-x;\r\n");
  EXPECT_EQ(CsvFileName(t), "Werte_Fonds_ A.csv");
  EXPECT_EQ(FileNameFor("..", ".pdf"), "Tabelle.pdf");
}

// A name that happens to read as a number and one word ("2000 Plus", a
// depot "2024 Rente") is a name: it stays one field, and no "Einheit"
// column appears beside it.  Only the figures lose their units.
TEST(CsvExport, NamesThatLookLikeANumberWithAUnitStayWhole) {
  TextTable t = EmptyFundTable(printkind::kDepotFunds, SortKind::Alphabetical);
  FundStatistics st;
  st.annualReturn = 4.5;
  FundFacts a;
  a.name = "2000 Plus";
  a.wkn = "A0B1C2";
  a.currency = "Euro";
  a.holding = "3,0000";
  t.lines.push_back(DepotFundsRow("2024 Rente", "1822 Direkt", a, st).line);
  const std::string csv = CsvText(t);
  const size_t headerEnd = csv.find("\r\n");
  const std::string header = csv.substr(3, headerEnd - 3);
  EXPECT_EQ(header.substr(0, header.find(";WKN")), "Depotname;Gesellschaft;Fondname") << header;
  const std::string row = csv.substr(headerEnd + 2);
  EXPECT_EQ(row.substr(0, row.find(";A0B1C2")), "2024 Rente;1822 Direkt;2000 Plus") << row;
  EXPECT_NE(header.find("Rendite (%)"), std::string::npos) << "the figures still carry their unit in the header";

  // The fund name of a report line, likewise.
  SavingsReport r;
  r.title = "Renditeberechnung des Fonds 2000 Plus";
  r.lines = {
      {ReportLineKind::ColumnHeader, kReportColumnHeader, {}},
      {ReportLineKind::Fund, "", {"2000 Plus", "01.01.2000", "1000,00 Euro", "0,00 Euro", "0,00%", "31.12.", ""}}};
  const std::string report = CsvText(SavingsReportTable(r));
  EXPECT_NE(report.find("\r\n2000 Plus;01.01.2000;1000,00;"), std::string::npos) << report;
  EXPECT_EQ(report.find("Fondname (Plus)"), std::string::npos) << report;
}

// Names as fund companies write them, read back by a CSV reader: a name
// that a spreadsheet would run as a formula keeps its text behind an
// apostrophe, separators, quotes, umlauts and long names come back as they
// are, and negative figures stay plain numbers.
TEST(CsvExport, AwkwardNamesAndNegativeFiguresReadBack) {
  testing::TempDir dir;
  const std::string longName = "Langer Fondname " + std::string(480, 'x') + " Ende";
  const std::vector<std::pair<std::string, std::string>> names = {
      {"=SUMME(A1:A9)", "'=SUMME(A1:A9)"},    {"+49 Fonds", "'+49 Fonds"},
      {"-Minus Fonds", "'-Minus Fonds"},      {"@Rente", "'@Rente"},
      {"Öko; \"Grün\" ß", "Öko; \"Grün\" ß"}, {longName, longName}};
  TextTable t = EmptyFundTable(printkind::kAllFunds, SortKind::Alphabetical);
  FundStatistics st;
  st.sharpeRatio = -1.5;
  st.monthlyAverages = {100, 80};  // -20 %
  for (const auto& [name, field] : names) {
    FundFacts facts;
    facts.name = name;
    facts.wkn = "A0B1C2";
    facts.currency = "Euro";
    facts.newestPrice = 80;
    t.lines.push_back(AllFundsRow("Gesellschaft", facts, st).line);
  }
  const std::filesystem::path file = dir.path() / "namen.csv";
  ASSERT_TRUE(WriteCsvFile(file, t).ok());
  const auto records = ReadWithPython(file);
  ASSERT_EQ(records.size(), 1 + names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(records[i + 1].size(), records[0].size()) << i;
    EXPECT_EQ(records[i + 1][allcol::kName], names[i].second) << i;
    EXPECT_EQ(records[i + 1][allcol::kMonth1], "-20,00") << i;
    EXPECT_EQ(records[i + 1][allcol::kSharpe], "-1,50") << i;
  }
}

// The name offered for the file of a fund with a very long name: a file
// system takes at most 255 bytes per name, and the atomic write needs a
// longer temporary name beside the file, so the title is cut (at a whole
// character, umlauts being two bytes) and the file can be written under it.
TEST(CsvExport, AFileNameFromAVeryLongTitleCanBeWritten) {
  testing::TempDir dir;
  TextTable t;
  t.title = "Kurse des Fonds ";
  for (int i = 0; i < 150; ++i) t.title += "Ä";
  t.columns = {{"Datum", CellAlign::Center}, {"Kurs", CellAlign::Right}};
  t.lines = {TableLine::Row({"01.01.2000", "10,00"})};
  const std::string name = CsvFileName(t);
  EXPECT_LE(name.size(), 200u);
  ASSERT_GE(name.size(), 4u);
  EXPECT_EQ(name.substr(name.size() - 4), ".csv");
  EXPECT_EQ(name.substr(0, 20), "Kurse des Fonds ÄÄ") << "the start of the title stays";
  EXPECT_EQ(name[name.size() - 5], '\x84') << "cut after a whole \"Ä\" (C3 84), not inside it";
  EXPECT_TRUE(WriteCsvFile(dir.path() / name, t).ok());
  EXPECT_EQ(FileNameFor("Kurze Tabelle", ".pdf"), "Kurze Tabelle.pdf");
}

// A savings-plan report as the return calculation hands it over.
SavingsReport Report() {
  SavingsReport r;
  r.title = "Renditeberechnung des Fonds Fonds A";
  auto add = [&r](ReportLineKind k, std::string text, std::vector<std::string> cells = {}) {
    r.lines.push_back(ReportLine{k, std::move(text), std::move(cells)});
  };
  add(ReportLineKind::Title, r.title);
  add(ReportLineKind::Heading, "Ausgangswerte");
  add(ReportLineKind::ColumnHeader, kReportColumnHeader);
  add(ReportLineKind::Fund, "(the line as text)",
      {"Fonds A", "01.01.2000", "1000,00 Euro", "0,00 Euro", "0,00%", "31.12.", "03.01.2000 - 29.12.2000"});
  add(ReportLineKind::Heading, "Ergebis");
  add(ReportLineKind::Text, "Investierter Gesamtbetrag: 1000,00 Euro");
  add(ReportLineKind::Text, "Rendite:10,00%");
  add(ReportLineKind::Text, "Anlagezeitraum: 03.01.2000 - 29.12.2000");
  return r;
}

TEST(ReportTable, TheSavingsPlanReportAsATableAndAsCsv) {
  const TextTable t = SavingsReportTable(Report());
  EXPECT_EQ(t.kind, printkind::kReport);
  EXPECT_EQ(t.title, "Renditeberechnung des Fonds Fonds A");
  EXPECT_TRUE(t.serif);
  EXPECT_FALSE(t.landscape);
  EXPECT_FALSE(t.HasHeaderRow()) << "the headers stand below \"Ausgangswerte\"";
  std::vector<LineKind> kinds;
  for (const TableLine& l : t.lines) kinds.push_back(l.kind);
  EXPECT_EQ(kinds, (std::vector<LineKind>{LineKind::Heading, LineKind::Header, LineKind::Row, LineKind::Blank,
                                          LineKind::Heading, LineKind::Text, LineKind::Text, LineKind::Text}));
  EXPECT_EQ(t.lines[1].At(3), "monatliche Rate");
  EXPECT_EQ(
      CsvText(t),
      "\xEF\xBB\xBF"
      "Fondname;Kaufdatum;Anfangsbetrag (Euro);monatliche Rate (Euro);Dynamisierung;Ausschüttung;Anlagezeitraum\r\n"
      "Fonds A;01.01.2000;1000,00;0,00;0,00%;31.12.;03.01.2000 - 29.12.2000\r\n"
      "\r\n"
      "Investierter Gesamtbetrag;1000,00;Euro\r\n"
      "Rendite;10,00%;\r\n"
      "Anlagezeitraum;03.01.2000 - 29.12.2000;\r\n");
}

}  // namespace
}  // namespace tellurio
