// Printed text pages, written to PDF files (no print dialog) and read back
// with poppler's pdftotext and pdfinfo: titles, print date, column headers,
// footers, page counts and the orientation of each print kind.

#include <gtest/gtest.h>

#include <QPrinter>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

#include <sys/resource.h>

#include "platform/testing/RecordingPrompter.h"
#include "portfolio/Funds.h"
#include "views/qt/QtPrintService.h"
#include "views/qt/TextPagePrinter.h"
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
  p.pages = PrintJobOn(printer, job, "01.07.2003");
  p.text = Shell("pdftotext -layout '" + file.string() + "' -");
  p.info = Shell("pdfinfo '" + file.string() + "'");
  return p;
}

// The share of the page's width and height that the ink of page 1 spans,
// from a grey image of the page (pdftoppm).
std::pair<double, double> InkSpan(const std::filesystem::path& pdf) {
  const std::filesystem::path base = pdf.parent_path() / "page";
  Shell("pdftoppm -gray -r 40 -f 1 -l 1 -singlefile '" + pdf.string() + "' '" + base.string() + "'");
  std::FILE* f = std::fopen((base.string() + ".pgm").c_str(), "rb");
  if (!f) return {0, 0};
  int w = 0, h = 0, max = 0;
  const int fields = std::fscanf(f, "P5 %d %d %d", &w, &h, &max);
  std::fgetc(f);
  std::vector<unsigned char> px(static_cast<size_t>(std::max(0, w * h)));
  const size_t got = std::fread(px.data(), 1, px.size(), f);
  std::fclose(f);
  if (fields != 3 || got != px.size() || w == 0 || h == 0) return {0, 0};
  int left = w, right = -1, top = h, bottom = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (px[static_cast<size_t>(y * w + x)] < 128) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < 0) return {0, 0};
  return {(right - left + 1) / static_cast<double>(w), (bottom - top + 1) / static_cast<double>(h)};
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

  // A list that fills part of its first column set has headers over that
  // set only, not over the empty ones beside it.
  rows.resize(20);
  const Printed few = PrintToPdf(f.dir / "wenige.pdf", Job(PricesTable("Fonds A", "Euro", rows)));
  size_t headers = 0;
  for (size_t at = few.text.find("Kurs in Euro"); at != std::string::npos; at = few.text.find("Kurs in Euro", at + 1))
    ++headers;
  EXPECT_EQ(headers, 1u) << few.text;
  EXPECT_TRUE(few.Has(rows[18]));
}

// A PDF file that the disk has no room for is a failed print, never one
// that worked: the size limit of the process stands in for a full disk.
TEST(PrintedPages, APdfFileThatCannotBeWrittenWholeIsAFailure) {
  testing::TableFixture f;
  std::vector<std::string> rows;
  for (int i = 0; i < 2000; ++i) {
    rows.push_back("01.01.2000");
    rows.push_back(std::to_string(100 + i) + ",25");
  }
  const PrintJob job = Job(PricesTable("Fonds A", "Euro", rows));
  auto print = [&](const std::filesystem::path& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file.string()));
    return PrintJobOn(printer, job, "01.07.2003");
  };
  const int whole = print(f.dir / "ganz.pdf");
  ASSERT_GT(whole, 1);
  const auto size = std::filesystem::file_size(f.dir / "ganz.pdf");

  // A file-size limit of half the whole file stands in for a full disk; a
  // write past it fails instead of ending the process.
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  auto printOnFullDisk = [&](const std::filesystem::path& file) {
    rlimit small = before;
    small.rlim_cur = static_cast<rlim_t>(size / 2);
    auto* const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    const int pages = limited ? print(file) : -1;
    if (limited) {
      EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
    }
    std::signal(SIGXFSZ, oldHandler);
    return pages;
  };
  EXPECT_EQ(printOnFullDisk(f.dir / "voll.pdf"), 0);
  // The part-way file is not left behind as if it were the printout.
  EXPECT_FALSE(std::filesystem::exists(f.dir / "voll.pdf"));
  // Nor is a file that the job overwrote and could not finish.
  std::filesystem::copy_file(f.dir / "ganz.pdf", f.dir / "alt.pdf");
  EXPECT_EQ(printOnFullDisk(f.dir / "alt.pdf"), 0);
  EXPECT_FALSE(std::filesystem::exists(f.dir / "alt.pdf"));

  // A file that is written whole still counts its pages.
  EXPECT_EQ(print(f.dir / "wieder.pdf"), whole);
}

TEST(PrintedPages, FundTablesPrintOnLandscapePagesAlsoWhenEmpty) {
  testing::TableFixture f;
  TableSelection s;
  const TextTable t = BuildFundTable(s, f.state, *f.statistics, f.calendar, f.stores).table;
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
  const TextTable empty = BuildFundTable(s, none, nothing, f.calendar, f.stores).table;
  const Printed e = PrintToPdf(f.dir / "leer.pdf", Job(empty));
  EXPECT_EQ(e.pages, 1);
  EXPECT_TRUE(e.Landscape());
  EXPECT_TRUE(e.Has("Fondgesellschaft") && e.Has("Seite 1 von 1")) << e.text;
}

// Depot and provider names may have 200 characters, fund names as many as
// the price files give.  Names that long are cut on the page; the figures
// right of them must all stay on the sheet, none cut off at its edge.
TEST(PrintedPages, LongNamesAreCutButEveryFigureStaysOnThePage) {
  testing::TableFixture f;
  TextTable t = EmptyFundTable(printkind::kDepotFunds, SortKind::GainLowRisk);
  const std::string depot(200, 'D'), company(200, 'G'), fund = "Fonds " + std::string(400, 'n');
  FundStatistics st;
  st.annualReturn = 7.25;
  st.treynorRatio = 2.75;
  FundFacts facts;
  facts.name = fund;
  facts.wkn = "A0B1C2";
  facts.currency = "Euro";
  facts.holding = "3,0000";
  t.lines.push_back(DepotFundsRow(depot, company, facts, st).line);
  st.annualReturn = -3.5;
  st.treynorRatio = -0.25;
  facts.name = "Kurzer Fonds";
  t.lines.push_back(DepotFundsRow("Alpha", "Bank", facts, st).line);
  const Printed p = PrintToPdf(f.dir / "lang.pdf", Job(t));
  EXPECT_EQ(p.pages, 1);
  for (const char* s :
       {"Depotname", "Treyn.-Rat.", "Rendite", "7,25 %", "2,75", "-3,50 %", "-0,25", "Kurzer Fonds", "Seite 1 von 1"})
    EXPECT_TRUE(p.Has(s)) << s << "\n" << p.text;
}

// "Seite x von y" at the edges of a page: a list that fills its pages
// exactly gets no empty page more, one line more starts a page of its own,
// and every line is printed once.
TEST(PrintedPages, PageCountsAtExactPageBoundaries) {
  testing::TableFixture f;
  auto table = [](size_t rows) {
    TextTable t;
    t.kind = printkind::kTransactions;
    t.title = "Umsätze des Fonds Grenzfall";
    t.columns = {{"Datum", CellAlign::Center}, {"Zeile", CellAlign::Right}};
    for (size_t i = 0; i < rows; ++i)
      t.lines.push_back(TableLine::Row({"01.01.2000", "Z" + std::to_string(i + 1) + "Z"}));
    return t;
  };
  QPrinter probe(QPrinter::HighResolution);
  probe.setOutputFormat(QPrinter::PdfFormat);
  probe.setPageSize(QPageSize(QPageSize::A4));
  probe.setOutputFileName(QString::fromStdString((f.dir / "probe.pdf").string()));
  PreparePrinter(probe, false);
  const PrintedPages measured = PrintTextTable(probe, table(1), "01.07.2003");
  const size_t perPage = measured.layout.LinesPerPage();
  ASSERT_GT(perPage, 10u);

  for (size_t pages : {1u, 2u}) {
    const size_t rows = pages * perPage;
    const std::string name = "genau" + std::to_string(pages) + ".pdf";
    const Printed exact = PrintToPdf(f.dir / name, Job(table(rows)));
    EXPECT_EQ(exact.pages, static_cast<int>(pages)) << rows;
    EXPECT_NE(exact.info.find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos) << exact.info;
    const std::string n = std::to_string(pages);
    EXPECT_TRUE(exact.Has("Seite " + n + " von " + n)) << exact.text;
    EXPECT_FALSE(exact.Has("Seite " + std::to_string(pages + 1))) << exact.text;
    for (size_t i = 1; i <= rows; ++i) EXPECT_TRUE(exact.Has("Z" + std::to_string(i) + "Z\n")) << i;

    const Printed more = PrintToPdf(f.dir / ("mehr" + name), Job(table(rows + 1)));
    EXPECT_EQ(more.pages, static_cast<int>(pages) + 1);
    const std::string m = std::to_string(pages + 1);
    EXPECT_TRUE(more.Has("Seite " + m + " von " + m)) << more.text;
    // The last page holds the one line left over, after the page before it
    // ended with the line in front of it.
    const std::string last =
        Shell("pdftotext -layout -f " + m + " -l " + m + " '" + (f.dir / ("mehr" + name)).string() + "' -");
    EXPECT_NE(last.find("Z" + std::to_string(rows + 1) + "Z\n"), std::string::npos) << last;
    EXPECT_EQ(last.find("Z" + std::to_string(rows) + "Z\n"), std::string::npos) << last;
  }
}

// Charts print through the chart core in printing mode, one landscape page
// each, filling the page.
TEST(PrintedPages, ChartsFillALandscapePage) {
  testing::TableFixture f;
  f.state.selectedFund = "Fonds A";
  RecordingPrompter prompter;
  struct NoDialogs : TableViewDialogs {
    std::optional<TableSelection> ChooseTable(TableSelectionRules&) override { return std::nullopt; }
    std::optional<PrintChoice> ChoosePrintItems(PrintChoiceRules&) override { return std::nullopt; }
    std::optional<ExportItem> ChooseExportItem(const std::string&) override { return std::nullopt; }
    std::optional<std::filesystem::path> AskCsvPath(const std::filesystem::path&, const std::string&) override {
      return std::nullopt;
    }
  } dialogs;
  struct NoPrinter : PrintService {
    bool Print(const PrintJob&) override { return false; }
  } printer;
  TableViewController c(f.state, *f.statistics, f.calendar, prompter, dialogs, printer);
  PrintChoice choice;
  choice.longTermChart = choice.monthlyChart = choice.yearlyChart = choice.period = true;
  choice.start = "01.06.2001";
  choice.end = "16.06.2003";
  const std::vector<PrintJob> jobs = c.JobsFor(choice);
  ASSERT_EQ(jobs.size(), 4u);

  const Printed longTerm = PrintToPdf(f.dir / "lang.pdf", jobs[0]);
  EXPECT_EQ(longTerm.pages, 1);
  EXPECT_TRUE(longTerm.Landscape()) << longTerm.info;
  // The title, a date under the axis and a value at its side.
  for (const char* s : {"Langfristchart des Fonds Fonds A", "15.06.2000", "100,00"})
    EXPECT_TRUE(longTerm.Has(s)) << s << "\n" << longTerm.text;
  const auto [wide, high] = InkSpan(f.dir / "lang.pdf");
  EXPECT_GT(wide, 0.85) << "the chart spans the page's width";
  EXPECT_GT(high, 0.8) << "and its height";

  EXPECT_TRUE(PrintToPdf(f.dir / "jahr.pdf", jobs[1]).Has("Jährliche Mittelwerte des Fonds Fonds A"));
  EXPECT_TRUE(PrintToPdf(f.dir / "monat.pdf", jobs[2]).Has("Monatliche Mitelwerte des Fonds Fonds A"));
  const Printed period = PrintToPdf(f.dir / "zeitraum.pdf", jobs[3]);
  EXPECT_TRUE(period.Has("Chart des Fonds Fonds A vom 01.06.2001 bis zum 16.06.2003")) << period.text;
  EXPECT_FALSE(period.Has("15.06.2000")) << "only the rows of the period";
  EXPECT_TRUE(period.Landscape());
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
