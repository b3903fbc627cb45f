// Printed text pages, written to PDF files (no print dialog) and read back
// with poppler's pdftotext and pdfinfo: titles, print date, column headers,
// footers, page counts and the orientation of each print kind.

#include <gtest/gtest.h>

#include <QPrinter>
#include <cstdio>
#include <string>

#include "portfolio/Funds.h"
#include "views/qt/QtPrintService.h"
#include "views/table/FundTableBuilder.h"
#include "views/table/PrintItems.h"
#include "views/table/ReportTable.h"
#include "views/table/tests/TableFixture.h"

namespace tellurio {
namespace {

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  EXPECT_EQ(pclose(pipe), 0) << cmd;
  return out;
}

struct Printed {
  int pages = 0;
  std::string text;  // pdftotext -layout
  std::string info;  // pdfinfo
  bool Has(const std::string& s) const { return text.find(s) != std::string::npos; }
  bool Landscape() const { return info.find("842 x 595") != std::string::npos; }
  bool Portrait() const { return info.find("595 x 842") != std::string::npos; }
};

Printed PrintToPdf(const std::filesystem::path& file, const PrintJob& job) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(QString::fromStdString(file.string()));
  Printed p;
  p.pages = PrintJobOn(printer, job, "01.07.2003", nullptr);
  p.text = Shell("pdftotext -layout '" + file.string() + "' -");
  p.info = Shell("pdfinfo '" + file.string() + "'");
  return p;
}

PrintJob Job(TextTable t) { return TableViewController::TableJob(std::make_shared<const TextTable>(std::move(t))); }

TEST(PrintedPages, TransactionsAndFundDataOnPortraitPages) {
  testing::TableFixture f;
  const Printed t = PrintToPdf(f.dir / "umsaetze.pdf", Job(TransactionsTable(f.state.depotStore, "Fonds A")));
  EXPECT_EQ(t.pages, 1);
  EXPECT_TRUE(t.Portrait()) << t.info;
  for (const char* s :
       {"Umsätze des Fonds Fonds A", "Druckdatum: 01.07.2003", "Datum", "Verkaufspreis", "Kaufpreis",
        "ver-/gekaufte Anteile", "Gesamtbestand", "Anteilsbestand gesamt: 10,5000 Anteile", "Seite 1 von 1"})
    EXPECT_TRUE(t.Has(s)) << s << "\n" << t.text;

  // "Fonds A" has a longest loss period of one month; "Archiv X" (one price)
  // of none.
  const std::optional<FundLocation> a = LocateFund(f.state, "Fonds A");
  ASSERT_TRUE(a);
  const Printed d = PrintToPdf(
      f.dir / "werte.pdf",
      Job(FundDataTable(ReadSection(f.state.depotStore, 0, "Fonds A"), PriceRows(f.state.depotStore, "Fonds A"),
                        f.statistics->FundInfoLines(a->record, a->scope))));
  EXPECT_TRUE(d.Portrait());
  for (const char* s :
       {"Werte des Fonds Fonds A", "Wertpapierkennummer:", "111111", "Höchster Wert:", "160,00 Euro",
        "Niedrigster Wert:", "100,00 Euro", "Wertentwicklung", "Kennzahlen", "Sharpe-Ratio", "Seite 1 von 1"})
    EXPECT_TRUE(d.Has(s)) << s << "\n" << d.text;
  EXPECT_TRUE(d.Has("1,00 Monat\n")) << d.text;
  const std::optional<FundLocation> x = LocateFund(f.state, "Archiv X");
  ASSERT_TRUE(x);
  const Printed dx =
      PrintToPdf(f.dir / "werte_x.pdf", Job(FundDataTable(ReadSection(f.state.auxiliaryStore, 0, "Archiv X"),
                                                          PriceRows(f.state.auxiliaryStore, "Archiv X"),
                                                          f.statistics->FundInfoLines(x->record, x->scope))));
  EXPECT_TRUE(dx.Has("0,00 Monate")) << dx.text;
}

TEST(PrintedPages, ALongPriceListGetsNumberedPages) {
  testing::TableFixture f;
  std::vector<std::string> rows;
  for (int i = 0; i < 5000; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", 1 + i % 28, 1 + (i / 28) % 12, 1990 + i / 336);
    rows.push_back(date);
    rows.push_back(std::to_string(100 + i % 50) + ",25");
  }
  const Printed p = PrintToPdf(f.dir / "kurse.pdf", Job(PricesTable("Fonds A", "Euro", rows)));
  ASSERT_GT(p.pages, 1);
  EXPECT_NE(p.info.find("Pages:           " + std::to_string(p.pages) + "\n"), std::string::npos) << p.info;
  const std::string n = std::to_string(p.pages);
  EXPECT_TRUE(p.Has("Seite 1 von " + n));
  EXPECT_TRUE(p.Has("Seite " + n + " von " + n));
  EXPECT_TRUE(p.Has("Kurse des Fonds Fonds A"));
  EXPECT_TRUE(p.Has("Kurs in Euro"));
  // Every row is printed once: the last one is there.
  EXPECT_TRUE(p.Has(rows[rows.size() - 2]));
  EXPECT_TRUE(p.Portrait());
}

TEST(PrintedPages, FundTablesPrintOnLandscapePagesAlsoWhenEmpty) {
  testing::TableFixture f;
  TableSelection s;
  const TextTable t = BuildFundTable(s, f.state, *f.statistics, f.calendar).table;
  const Printed p = PrintToPdf(f.dir / "tabelle.pdf", Job(t));
  EXPECT_EQ(p.pages, 1);
  EXPECT_TRUE(p.Landscape()) << p.info;
  for (const char* s : {"Tabelle der Fonds der Depots nach größtem Gewinn bei kleinsten Risiko geordnet",
                        "Druckdatum: 01.07.2003", "Performancewerte", "Kennzahlen", "Depotname", "Gesellschaft",
                        "Bestand", "Treyn.-Rat.", "Rendite", "Alpha", "Fonds C", "Seite 1 von 1"})
    EXPECT_TRUE(p.Has(s)) << s << "\n" << p.text;

  DepotState none;
  Statistics nothing(none, f.calendar);
  s.allFunds = true;
  const TextTable empty = BuildFundTable(s, none, nothing, f.calendar).table;
  const Printed e = PrintToPdf(f.dir / "leer.pdf", Job(empty));
  EXPECT_EQ(e.pages, 1);
  EXPECT_TRUE(e.Landscape());
  EXPECT_TRUE(e.Has("Fondgesellschaft") && e.Has("Seite 1 von 1")) << e.text;
}

TEST(PrintedPages, TheSavingsPlanReportOnAPortraitPage) {
  testing::TableFixture f;
  SavingsReport r;
  r.title = "Renditeberechnung des Depots Alpha";
  r.lines = {{ReportLineKind::Title, r.title, {}},
             {ReportLineKind::Heading, "Ausgangswerte", {}},
             {ReportLineKind::ColumnHeader, kReportColumnHeader, {}},
             {ReportLineKind::Fund,
              "",
              {"Fonds A", "01.01.2000", "1000,00 Euro", "50,00 Euro", "2,00%", "31.12.", "03.01.2000 - 29.12.2000"}},
             {ReportLineKind::Text, "Tag der monatlichen Abbuchung der Sparrate: 15.", {}},
             {ReportLineKind::Heading, "Ergebis", {}},
             {ReportLineKind::Text, "Investierter Gesamtbetrag: 1550,00 Euro", {}}};
  const Printed p = PrintToPdf(f.dir / "bericht.pdf", Job(SavingsReportTable(r)));
  EXPECT_EQ(p.pages, 1);
  EXPECT_TRUE(p.Portrait()) << p.info;
  for (const char* s : {"Renditeberechnung des Depots Alpha", "Druckdatum: 01.07.2003", "Ausgangswerte", "Kaufdatum",
                        "Anfangsbetrag", "monatliche Rate", "Dynamisierung", "Ausschüttung", "1000,00 Euro",
                        "Tag der monatlichen Abbuchung der Sparrate: 15.", "Ergebis",
                        "Investierter Gesamtbetrag: 1550,00 Euro", "Seite 1 von 1"})
    EXPECT_TRUE(p.Has(s)) << s << "\n" << p.text;
  const std::string fonts = Shell("pdffonts '" + (f.dir / "bericht.pdf").string() + "'");
  EXPECT_NE(fonts.find("LiberationSerif"), std::string::npos) << "the report prints in the serif font\n" << fonts;
}

}  // namespace
}  // namespace tellurio
