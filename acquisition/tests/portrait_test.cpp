// The portrait file: the one-pass search for the WKNs, the index and the
// blocks as the dialog reads them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <random>

#include "acquisition/Portrait.h"
#include "platform/testing/TempDir.h"
#include "storage/FileSet.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

std::string Join(const Rows& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

// A portrait block of `extra` filler lines after the WKN line.
Rows Block(const std::string& name, const std::string& wkn, int extra) {
  Rows b = {name, "Gesellschaft", wkn};
  for (int i = 0; i < extra; ++i) b.push_back("Zeile " + std::to_string(i % 7) + " ohne Kennnummer");
  return b;
}

// For each text the first line that contains it (-1: none), found plainly
// line by line: what the block-wise search must give.
std::vector<long> LineByLine(const Rows& lines, const std::vector<std::string>& texts) {
  std::vector<long> expected;
  for (const std::string& t : texts) {
    long at = -1;
    for (size_t i = 0; i < lines.size() && at < 0; ++i)
      if (lines[i].find(t) != std::string::npos) at = static_cast<long>(i);
    expected.push_back(at);
  }
  return expected;
}

TEST(PortraitSearch, SlicedReadingGivesTheSameLinesAsOnePiece) {
  TempDir dir;
  // 600 lines of blocks of 20 lines; WKNs of different lengths, one at the
  // very end without a line feed, one not there at all.
  Rows lines;
  std::vector<std::string> wkns;
  for (int k = 0; k < 30; ++k) {
    const std::string wkn = k % 4 == 0 ? "A" + std::to_string(10000 + k) : std::to_string(840000 + k);
    wkns.push_back(wkn);
    const Rows b = Block("Fonds " + std::to_string(k), wkn, 17);
    lines.insert(lines.end(), b.begin(), b.end());
  }
  lines.push_back("Schluss XY12345");
  std::string bytes = Join(lines);
  bytes.resize(bytes.size() - 2);
  WriteAll(dir / "portrait.txt", bytes);
  wkns.push_back("XY12345");
  wkns.push_back("999999");
  wkns.push_back("");

  long whole = 0;
  const std::vector<long> reference = FirstLinesContaining(dir / "portrait.txt", wkns, nullptr, 1 << 20, &whole);
  EXPECT_EQ(whole, 601);
  for (int k = 0; k < 30; ++k) EXPECT_EQ(reference[static_cast<size_t>(k)], 20 * k + 2) << wkns[static_cast<size_t>(k)];
  EXPECT_EQ(reference[30], 600);
  EXPECT_EQ(reference[31], -1);
  EXPECT_EQ(reference[32], -1);
  // Blocks end inside WKNs, inside line ends and right after them.
  for (size_t block : {1u, 2u, 3u, 5u, 7u, 64u, 1000u, 4095u}) {
    long n = 0;
    EXPECT_EQ(FirstLinesContaining(dir / "portrait.txt", wkns, nullptr, block, &n), reference) << block;
    EXPECT_EQ(n, whole) << block;
  }
}

TEST(PortraitSearch, AWknInsideAnotherFundsTextIsMatchedAtItsFirstOccurrence) {
  TempDir dir;
  Rows lines = Block("Fonds A", "8491530", 3);  // holds 849153 inside a longer number
  const Rows b = Block("Fonds B", "849153", 3);
  lines.insert(lines.end(), b.begin(), b.end());
  WriteAll(dir / "portrait.txt", Join(lines));
  const PortraitIndex index = IndexPortraits({{"Fonds B", "849153"}, {"Fonds A", "8491530"}}, dir / "portrait.txt");
  EXPECT_EQ(index, (PortraitIndex{{"Fonds B", 0}, {"Fonds A", 0}}));
}

TEST(PortraitSearch, IndexListsEveryHoldingAndLeavesOutUnknownFunds) {
  TempDir dir;
  Rows lines = Block("Fonds A", "111111", 2);
  const Rows b = Block("Fonds B", "222222", 2);
  lines.insert(lines.end(), b.begin(), b.end());
  // The first block's name holds a WKN that would otherwise start before
  // the file.
  lines[0] = "Fonds A 333333";
  WriteAll(dir / "portrait.txt", Join(lines));
  const PortraitIndex index = IndexPortraits({{"Fonds B", "222222"},
                                              {"Ohne", ""},
                                              {"Fonds A", "111111"},
                                              {"Fonds B", "anders"},
                                              {"Weg", "444444"},
                                              {"Name", "333333"}},
                                             dir / "portrait.txt");
  // The second "Fonds B" takes the WKN of the first one of that name.
  EXPECT_EQ(index, (PortraitIndex{{"Fonds B", 5}, {"Fonds A", 0}, {"Fonds B", 5}, {"Name", 0}}));

  Status st;
  EXPECT_TRUE(IndexPortraits({{"Fonds A", "111111"}}, dir / "fehlt.txt", &st).empty());
  EXPECT_EQ(st.code(), Status::Code::NotFound);
}

TEST(PortraitBlock, EntriesPositionsAndChartData) {
  Rows lines = {"Deka Aktien", "DekaBank", "849153", "Aktienfonds", "keine Angaben", "Deka Investment",
                "225,9",       "62,61",    "5,00%",  "EUR",         "***",           "Investiert in deutsche Aktien."};
  for (const char* v : {"-2,96", "5,10", "k.A.", "0,00", "12,00", "k.A.", "40,5"}) lines.push_back(v);
  lines.push_back("Sektor Aktien Deutschland");
  for (const char* v : {"-1", "2", "3", "4", "5", "6", "7"}) lines.push_back(v);
  for (const char* v : {"Allianz AG", "9,1", "Siemens AG", "8,0"}) lines.push_back(v);
  for (const char* v : {"Wertentwicklung", "Sektor Aktien Deutschland", "2", "01/2003", "02/2003", "1,50", "-2,25",
                        "1,00", "-1,00", "Konkurrenzanalyse", "3,00", "2,00", "-4,00", "-5,00"})
    lines.push_back(v);
  lines.push_back("Naechster Fonds");
  const PortraitBlock b = ParsePortraitBlock(lines);
  EXPECT_EQ(b.master[0], "Deka Aktien");
  EXPECT_EQ(b.master[10], "***");
  EXPECT_EQ(b.strategy, "Investiert in deutsche Aktien.");
  EXPECT_EQ(b.fundPerformance[0], "-2,96");
  EXPECT_EQ(b.comparisonName, "Sektor Aktien Deutschland");
  EXPECT_EQ(b.comparisonPerformance[6], "7");
  EXPECT_EQ(b.positions, (Rows{"Allianz AG", "9,1", "Siemens AG", "8,0"}));
  ASSERT_TRUE(b.charts.present);
  EXPECT_EQ(b.charts.referenceName, "Sektor Aktien Deutschland");
  EXPECT_EQ(b.charts.labels, (Rows{"01/2003", "02/2003"}));
  EXPECT_EQ(b.charts.fund, (std::vector<double>{1.5, -2.25}));
  EXPECT_EQ(b.charts.reference, (std::vector<double>{1, -1}));
  EXPECT_EQ(b.charts.best, (std::vector<double>{3, 2}));
  EXPECT_EQ(b.charts.worst, (std::vector<double>{-4, -5}));

  // A short block shows empty fields and no chart.
  const PortraitBlock shortOne = ParsePortraitBlock({"Nur ein Name", "Firma", "123"});
  EXPECT_EQ(shortOne.master[2], "123");
  EXPECT_EQ(shortOne.master[3], "");
  EXPECT_FALSE(shortOne.charts.present);
  // A chart section cut off in the middle gives series of equal length.
  const PortraitBlock cut =
      ParsePortraitBlock(Rows(lines.begin(), lines.begin() + static_cast<long>(lines.size()) - 10));
  EXPECT_EQ(cut.charts.labels.size(), cut.charts.fund.size());
  EXPECT_EQ(cut.charts.labels.size(), cut.charts.reference.size());
  EXPECT_TRUE(cut.charts.best.empty());
}

TEST(PortraitBlock, PerformanceCells) {
  EXPECT_EQ(PerformanceCell("-2,96"), "-2,96 %");
  EXPECT_EQ(PerformanceCell("0,00"), "0.00 %");
  EXPECT_EQ(PerformanceCell("0"), "0.00 %");
  // Missing figures are not shown as a performance of 0 %.
  EXPECT_EQ(PerformanceCell("k.A."), "k.A.");
  EXPECT_EQ(PerformanceCell(""), "k.A.");
}

TEST(PortraitBlock, LinesAreReadFromTheBlockStart) {
  TempDir dir;
  WriteAll(dir / "p.txt", "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(ReadLinesFrom(dir / "p.txt", 1, 2), (Rows{"b", "c"}));
  EXPECT_EQ(ReadLinesFrom(dir / "p.txt", 2, 512), (Rows{"c", "d"}));
  EXPECT_TRUE(ReadLinesFrom(dir / "p.txt", 9, 512).empty());
  // Code page 1252 in the file, UTF-8 in the program.
  WriteAll(dir / "u.txt", "Fondsw\xe4hrung\n");
  EXPECT_EQ(ReadLinesFrom(dir / "u.txt", 0, 1), (Rows{"Fondswährung"}));
}

// A portrait file that is a pipe is not waited on (nobody may ever write
// to it): the search reports it, and the start goes on.
TEST(PortraitSearch, APipeIsReportedNotWaitedOn) {
  TempDir dir;
  const fs::path pipe = dir / "portrait.txt";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  Status status;
  std::vector<long> found;
  std::future<void> done =
      std::async(std::launch::async, [&] { found = FirstLinesContaining(pipe, {"847451"}, &status); });
  if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);  // releases a blocked reader
    if (fd >= 0) ::close(fd);
    done.wait();
    FAIL() << "the search waited on the pipe";
  }
  EXPECT_EQ(status.code(), Status::Code::NotRegular);
  EXPECT_EQ(found, std::vector<long>{-1});
  EXPECT_TRUE(ReadLinesFrom(pipe, 0, 10).empty());
}

// Texts of several lengths (from 3 characters on) in long runs of digits
// and letters, overlapping, at line starts and ends, across every way of
// cutting the file into blocks: the first line holding each is the one a
// plain search line by line finds.
TEST(PortraitSearch, FindsWhatALineByLineSearchFinds) {
  TempDir dir;
  std::mt19937 rng(3);
  Rows lines;
  for (int i = 0; i < 400; ++i) {
    std::string l;
    for (size_t j = rng() % 40; j > 0; --j) l.push_back("0123456789AB ,x"[rng() % 15]);
    lines.push_back(l);
  }
  std::vector<std::string> texts;
  for (int k = 0; k < 60; ++k) {
    const std::string& l = lines[rng() % lines.size()];
    const size_t len = 3 + rng() % 8;
    if (l.size() >= len)
      texts.push_back(l.substr(rng() % (l.size() - len + 1), len));
    else
      texts.push_back(std::to_string(100000 + k));  // probably nowhere
  }
  WriteAll(dir / "portrait.txt", Join(lines));
  const std::vector<long> expected = LineByLine(lines, texts);
  for (size_t block : {1u, 2u, 5u, 9u, 31u, 1000u, 1u << 20}) {
    long n = 0;
    EXPECT_EQ(FirstLinesContaining(dir / "portrait.txt", texts, nullptr, block, &n), expected) << block;
    EXPECT_EQ(n, 400) << block;
  }
}

// A file of several blocks of the size the program reads in, with texts
// cut by every block boundary and texts only found far behind: the default
// reading finds what a plain search line by line finds, and the buffer
// carried between blocks holds no stale bytes.
TEST(PortraitSearch, TheProgramsBlockSizeFindsTextsAcrossItsBoundaries) {
  TempDir dir;
  std::mt19937 rng(17);
  Rows lines;
  size_t bytes = 0;
  while (bytes < 5 * kPortraitReadBytes) {
    std::string l;
    for (size_t j = 10 + rng() % 40; j > 0; --j) l.push_back("0123456789ABCDEF x"[rng() % 18]);
    bytes += l.size() + 2;
    lines.push_back(l);
  }
  const std::string file = Join(lines);
  std::vector<std::string> texts;
  for (size_t boundary = kPortraitReadBytes; boundary < file.size(); boundary += kPortraitReadBytes) {
    for (size_t before : {1u, 3u, 5u}) {
      const std::string t = file.substr(boundary - before, 6);
      if (t.find_first_of("\r\n") == std::string::npos) texts.push_back(t);
    }
  }
  texts.push_back(lines.back().substr(0, 7));
  texts.push_back("ZZZZZZ");  // nowhere
  WriteAll(dir / "portrait.txt", file);
  const std::vector<long> expected = LineByLine(lines, texts);
  ASSERT_GE(texts.size(), 10u);
  long n = 0;
  EXPECT_EQ(FirstLinesContaining(dir / "portrait.txt", texts, nullptr, kPortraitReadBytes, &n), expected);
  EXPECT_EQ(n, static_cast<long>(lines.size()));
  EXPECT_EQ(FirstLinesContaining(dir / "portrait.txt", texts), expected);
}

}  // namespace
}  // namespace tellurio::testing
