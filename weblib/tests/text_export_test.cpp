// LeerzeichenLoeschen and HtmlToText through the shared library's exports,
// on sample pages kept in tests/data.  Expected fields are worked out by
// hand from the sample pages.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "marabu/MarabuLibrary.h"
#include "weblib/testing/FakeWebLibrary.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadSample(const std::string& name) {
  std::ifstream in(std::string(MARABU_TEST_DATA) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  Lines lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class TextExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No user configuration file can leak in; the vendor marker is the
    // sample pages' host name.
    setenv("XDG_CONFIG_HOME", "/nonexistent-marabu-test", 1);
    setenv("MARABU_VENDOR_MARKER", "kurse.vendor-test.", 1);
    MarabuTestHeuteSetzen(2003, 3, 5);
  }
  void TearDown() override {
    unsetenv("MARABU_VENDOR_MARKER");
    MarabuTestHeuteSetzen(0, 0, 0);
  }

  Lines Convert(const Lines& page, std::string* result = nullptr) {
    Lines out = {"vorher"};
    std::string text;
    EXPECT_TRUE(lib.HtmlToText(page, out, text).ok());
    if (result) *result = text;
    return out;
  }

  marabu::MarabuLibrary lib;
};

std::string Trim(marabu::WebLibrary& library, const std::string& text) {
  std::string out = "unverändert";
  EXPECT_TRUE(library.LeerzeichenLoeschen(text, out).ok());
  return out;
}

TEST_F(TextExportTest, LeerzeichenLoeschenRemovesOnlyBlanksAtBothEnds) {
  EXPECT_EQ(Trim(lib, "  Wort  "), "Wort");
  EXPECT_EQ(Trim(lib, "a   "), "a");
  EXPECT_EQ(Trim(lib, "   b"), "b");
  EXPECT_EQ(Trim(lib, " zwei  Wörter "), "zwei  Wörter");
  // Only blanks: neither end finds a non-blank, so the text comes back as is.
  EXPECT_EQ(Trim(lib, "   "), "   ");
  EXPECT_EQ(Trim(lib, ""), "");
  // Tabs are not blanks.
  EXPECT_EQ(Trim(lib, "\tWort\t"), "\tWort\t");
  EXPECT_EQ(Trim(lib, " \tx\t "), "\tx\t");
}

TEST_F(TextExportTest, FakeLibraryTrimsLikeTheRealOne) {
  // Program tests that run on the fake must see the same trimming.
  marabu::testing::FakeWebLibrary fake;
  for (const std::string text : {"  Wort  ", "a   ", "   ", "", "\tWort\t", " \tx\t ", "ä ü"})
    EXPECT_EQ(Trim(fake, text), Trim(lib, text)) << text;
}

TEST_F(TextExportTest, VendorPriceTableGivesSixEntriesPerCompleteRow) {
  std::string result;
  const Lines out = Convert(ReadSample("vendor_table.html"), &result);
  // Row 1: an empty cell is skipped, so the cells are EUR, 102,50, 3,5, 97,62;
  // ratio 97,62 / 102,50 = 0,95239... truncated.  Row 2: names are trimmed,
  // ratio 50 / 55 = 0,90909...  Row 3 breaks off and is left out.
  const Lines expected = {"DekaFonds CF",  "DE0008474503", "0,9523", "EUR", "05.03.2003", "97,62",
                          "Global Renten", "LU0052265898", "0,9090", "USD", "05.03.2003", "50,00"};
  EXPECT_EQ(out, expected);
  EXPECT_EQ(result, "05.03.2003");
}

TEST_F(TextExportTest, VendorMarkerComesFromTheConfiguration) {
  // With another marker the sample page is no vendor page; its first marker
  // line is then the one with "Deka" (provider table B), which has no rows.
  setenv("MARABU_VENDOR_MARKER", "andere-quelle.", 1);
  std::string result = "x";
  EXPECT_TRUE(Convert(ReadSample("vendor_table.html"), &result).empty());
  EXPECT_EQ(result, "");
}

TEST_F(TextExportTest, VendorPageWithoutRowsReturnsToday) {
  std::string result;
  EXPECT_TRUE(Convert({"<a href=\"http://kurse.vendor-test.de\">", "keine Zeilen"}, &result).empty());
  EXPECT_EQ(result, "05.03.2003");
}

TEST_F(TextExportTest, ProviderTableAReadsRowsUpToTheTableEnd) {
  std::string result;
  const Lines out = Convert(ReadSample("provider_table_a.html"), &result);
  // 52,50 / 50,00 = 1,05 and 31,20 / 30,00 = 1,04; the row after "/table"
  // is not read.  The date is the last ten characters after the marker.
  const Lines expected = {"Franken Aktien Global", "847111", "1,0500", "Euro", "07.03.2003", "50,00",
                          "Franken Renten",        "847112", "1,0400", "Euro", "07.03.2003", "30,00"};
  EXPECT_EQ(out, expected);
  EXPECT_EQ(result, "07.03.2003");
}

TEST_F(TextExportTest, ProviderTableBKnowsItsThreeRowStarts) {
  const Lines out = Convert(ReadSample("provider_table_b.html"));
  // Row 1 "<td nowrap>"; row 2 "<br>" ending its line, so the name is the next
  // line; row 3 "nowrap>" after a line ending in "td".  Dates: first six
  // characters of cell 6 and the current year.  Ratio cell 3 / cell 4; a
  // divisor of 0 gives 1,0000.
  const Lines expected = {"DekaFonds",         "847450", "1,0530", "EUR", "07.03.2003", "100,00",
                          "Deka-Renten: Euro", "847451", "1,0400", "EUR", "06.03.2003", "40,00",
                          "DekaSpezial",       "847452", "1,0000", "CHF", "05.03.2003", "0"};
  EXPECT_EQ(out, expected);
}

TEST_F(TextExportTest, FirstMarkerLineDecidesByListOrderNotByPosition) {
  const Lines row = {
      "<tr><td nowrap>Fonds A</td><td>1</td><td>EUR</td><td>2,00</td>"
      "<td>1,00</td><td></td><td>01.02.</td></tr>"};
  for (const std::string title : {"<title>Deka DAX-Fonds</title>", "<title>DAX Deka</title>"}) {
    Lines page = {"<html>", title};
    page.insert(page.end(), row.begin(), row.end());
    const Lines expected = {"Fonds A", "1", "2,0000", "EUR", "01.02.2003", "1,00"};
    EXPECT_EQ(Convert(page), expected) << title;
  }
  // A later line with an earlier marker does not matter.
  EXPECT_EQ(Convert({"Wertentwicklung", "Deka,1;2)"}), (Lines{"1", "2"}));
}

TEST_F(TextExportTest, IndexValue) {
  std::string result;
  EXPECT_EQ(Convert(ReadSample("index_page.html"), &result), (Lines{"<td class=\"wert\">4.123,45</td></tr>"}));
  EXPECT_EQ(result, "<td class=\"wert\">4.123,45</td></tr>");

  // "DAX" at the start of the line: the first later line that reads as a
  // non-zero integer.
  EXPECT_EQ(Convert({"DAX Performance", "Stand:", "0", "  4123,45 Punkte", "5000"}, &result),
            (Lines{"  4123,45 Punkte"}));
  EXPECT_EQ(result, "  4123,45 Punkte");

  EXPECT_TRUE(Convert({"<td>DAX</td>"}, &result).empty());
  EXPECT_EQ(result, "");
  EXPECT_TRUE(Convert({"DAX", "null", "0"}, &result).empty());
}

TEST_F(TextExportTest, FundPortraitGivesNameLabelsStrategyPerformanceAndPositions) {
  std::string result;
  const Lines out = Convert(ReadSample("fund_portrait.html"), &result);
  const Lines expected = {"DekaFonds CF", "keine Angaben",
                          // the nine labels
                          "847450", "Aktien Deutschland", "keine Angaben", "Deka Investment GmbH", "2.345,6", "97,62",
                          "5,00%", "EUR", "***",
                          // strategy, not trimmed
                          "  Der Fonds investiert in deutsche Standardwerte.",
                          // fifteen performance values; one on the line after a line ending in ">"
                          "1,2", "4,5", "-2,1", "10,3", "k.A.", "25,0", "80,1", "Sektor Aktien Deutschland", "1,0",
                          "4,0", "-1,0", "9,0", "20,0", "60,0", "k.A.",
                          // positions up to "/TABLE"
                          "Siemens AG", "8,1", "Allianz AG", "keine Angaben"};
  EXPECT_EQ(out, expected);
  EXPECT_EQ(result, "keine Angaben");
}

TEST_F(TextExportTest, FundPortraitWithoutPositionTable) {
  Lines page = ReadSample("fund_portrait.html");
  for (std::string& line : page)
    if (line.find("colspan=2") != std::string::npos) line = "<table><tr><td colspan=2><p>-</p>";
  const Lines out = Convert(page);
  ASSERT_EQ(out.size(), 28u);
  EXPECT_EQ(out.back(), "Keine Angaben");
}

TEST_F(TextExportTest, FundPortraitNeedsItsTitle) {
  Lines page = ReadSample("fund_portrait.html");
  page[1] = "<table><tr><td class=titel>Portrait</td></tr>";
  EXPECT_TRUE(Convert(page).empty());
}

TEST_F(TextExportTest, PerformanceAndCompetitorData) {
  EXPECT_EQ(Convert({"Wertentwicklung", "x,1,2;3,4)"}), (Lines{"1", "2", "3", "4"}));
  EXPECT_EQ(Convert({"Wertentwicklung", "<html>", "chart(847450,1.5,2.5;0.5,1.0)", "</html>"}),
            (Lines{"1.5", "2.5", "0.5", "1.0"}));
  // Performance data keep a second ";" inside part B.
  EXPECT_EQ(Convert({"Wertentwicklung", "x,1;2;3)"}), (Lines{"1", "2;3"}));
  EXPECT_EQ(Convert({"Konkurenz", "chart(847450,1,2;3,4;5,6)"}), (Lines{"1", "2", "3", "4", "5", "6"}));
  // Without ";" there is only part A; the ")" is still cut off.
  EXPECT_EQ(Convert({"Wertentwicklung", "x,7,8)"}), (Lines{"7", "8"}));
  EXPECT_TRUE(Convert({"Wertentwicklung", "kein Komma"}).empty());
  std::string result;
  Convert({"Konkurenz", "x,1,2;3,4;5,6)"}, &result);
  EXPECT_EQ(result, "5");
}

TEST_F(TextExportTest, PageWithoutMarkersClearsTheOutput) {
  std::string result = "x";
  EXPECT_TRUE(Convert({"<html>", "nichts", "</html>"}, &result).empty());
  EXPECT_EQ(result, "");
  EXPECT_TRUE(Convert({}, &result).empty());
}

TEST_F(TextExportTest, TruncatedPriceTablesGiveWholeRecordsOnly) {
  // A page cut off after any line must not read past its end, and gives the
  // records complete up to that line: a prefix of the whole page's output.
  for (const std::string name : {"vendor_table.html", "provider_table_a.html", "provider_table_b.html"}) {
    const Lines page = ReadSample(name);
    const Lines full = Convert(page);
    for (size_t n = 0; n <= page.size(); ++n) {
      const Lines out = Convert(Lines(page.begin(), page.begin() + static_cast<long>(n)));
      ASSERT_EQ(out.size() % 6, 0u) << name << " cut after " << n;
      ASSERT_LE(out.size(), full.size());
      EXPECT_TRUE(std::equal(out.begin(), out.end(), full.begin())) << name << " cut after " << n;
    }
  }
}

TEST_F(TextExportTest, TruncatedPortraitKeepsWhatWasGathered) {
  const Lines page = ReadSample("fund_portrait.html");
  const Lines full = Convert(page);
  // Every entry is final once it is written: a search that runs past the end
  // stops the extraction instead of writing a default.
  for (size_t n = 0; n <= page.size(); ++n) {
    const Lines out = Convert(Lines(page.begin(), page.begin() + static_cast<long>(n)));
    ASSERT_LE(out.size(), full.size());
    EXPECT_TRUE(std::equal(out.begin(), out.end(), full.begin())) << "cut after " << n;
  }
}

TEST_F(TextExportTest, InputAndOutputMayBeTheSameList) {
  Lines lines = {"Wertentwicklung", "x,1,2;3,4)"};
  std::string result;
  ASSERT_TRUE(lib.HtmlToText(lines, lines, result).ok());
  EXPECT_EQ(lines, (Lines{"1", "2", "3", "4"}));
}

TEST_F(TextExportTest, NullArgumentsAreRefused) {
  EXPECT_EQ(::HtmlToText(nullptr, nullptr, nullptr), MARABU_ERROR_ARGUMENT);
  EXPECT_EQ(::LeerzeichenLoeschen("a", 1, nullptr), MARABU_ERROR_ARGUMENT);
  EXPECT_EQ(::BankenHolen(nullptr), MARABU_ERROR_ARGUMENT);
}

}  // namespace
