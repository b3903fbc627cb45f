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
