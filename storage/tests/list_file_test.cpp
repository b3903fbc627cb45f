#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <random>

#include "platform/Codec1252.h"
#include "platform/testing/TempDir.h"
#include "storage/CTextFile.h"
#include "storage/ListFile.h"
#include "storage/detail/LineTable.h"

namespace tellurio {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

// The data file of a new store with two sections of widths 4 and 2 holds the
// lines 2, 4, 5, 2, 6, 0, 0.  Encoded by hand: the key is '2' - 27 = 23; the
// first byte of the file is the key itself; every other one-character line c
// becomes c XOR 23 ('4' -> '#', '5' -> '"', '2' -> '%', '6' -> '!', '0' -> '\'').
TEST(ListFile, BytesMatchTheHandEncodedForm) {
  TempDir dir;
  const std::vector<std::string> lines = {"2", "4", "5", "2", "6", "0", "0"};
  ASSERT_TRUE(WriteListFile(dir / "s.dat", lines).ok());
  EXPECT_EQ(ReadAll(dir / "s.dat"), "\x17\r\n#\r\n\"\r\n%\r\n!\r\n'\r\n'\r\n");
  std::vector<std::string> back;
  ASSERT_TRUE(ReadListFile(dir / "s.dat", back).ok());
  EXPECT_EQ(back.size(), 7u);
  EXPECT_EQ(back, lines);
}

TEST(ListFile, RoundTripKeepsTextsExceptTheDocumentedFoldings) {
  TempDir dir;
  const std::vector<std::string> lines = {"Deka-Fonds Europa", "", "Bußtag äöü €", "12,50", " ", "a b  c", "~}|{"};
  ASSERT_TRUE(WriteListFile(dir / "l.pls", lines).ok());
  std::vector<std::string> back;
  ASSERT_TRUE(ReadListFile(dir / "l.pls", back).ok());
  ASSERT_EQ(back.size(), lines.size());
  std::vector<std::string> expected = lines;
  expected[1] = " ";     // an empty string comes back as one blank
  expected[6] = "ßüöä";  // the characters the umlauts are stored as come back as umlauts
  EXPECT_EQ(back, expected);
}

// The format cannot hold every text: a character whose code lands above 223
// is read back as a folded one, and a one-character text whose code is a
// blank reads back as a blank.  RoundTrips tells callers in advance.
TEST(ListFile, RoundTripsPredictsWhatTheFormatLoses) {
  TempDir dir;
  const std::vector<std::string> texts = {"Deka",    std::string(200, 'x'),  "Ärzte", "Fonds-Ärzte", "7", ";",
                                          "Übersee", "Öko Vision Luxembourg"};
  for (const std::string& first : {std::string("6"), std::string("2"), std::string("Deka")}) {
    std::vector<std::string> lines = {first};
    lines.insert(lines.end(), texts.begin(), texts.end());
    ASSERT_TRUE(WriteListFile(dir / "r.dbk", lines).ok());
    std::vector<std::string> back;
    ASSERT_TRUE(ReadListFile(dir / "r.dbk", back).ok());
    const unsigned char key = ListKeyOf(first);
    for (size_t i = 1; i < lines.size(); ++i)
      EXPECT_EQ(back[i] == lines[i], RoundTrips(lines[i], key, false)) << first << " / " << lines[i];
  }
  EXPECT_FALSE(RoundTrips(std::string(200, 'x'), ListKeyOf("6"), false));
  EXPECT_FALSE(RoundTrips("7", ListKeyOf("2"), false));
  EXPECT_TRUE(RoundTrips("Fond 7", ListKeyOf("2"), false));
}

TEST(ListFile, KeyByte26AndOtherControlBytesAreData) {
  TempDir dir;
  // '5' - 27 = 26, the byte a text-mode reader would take for end of file.
  const std::vector<std::string> lines = {"5 Jahre", "zweite Zeile", "dritte"};
  ASSERT_TRUE(WriteListFile(dir / "k.dbk", lines).ok());
  EXPECT_EQ(ReadAll(dir / "k.dbk")[0], '\x1a');
  std::vector<std::string> back;
  ASSERT_TRUE(ReadListFile(dir / "k.dbk", back).ok());
  EXPECT_EQ(back, lines);
}

// A first string starting with "%" or "(" would need the key byte LF or CR;
// such a file could never be read back, so it is refused and the old file kept.
TEST(ListFile, UnstorableFirstStringIsRefusedAndTheOldFileKept) {
  TempDir dir;
  ASSERT_TRUE(WriteListFile(dir / "a.dbk", {"alt"}).ok());
  for (const char* first : {"%Anbieter", "(Klammer"}) {
    Status s = WriteListFile(dir / "a.dbk", {first, "x"});
    EXPECT_EQ(s.code(), Status::Code::Unrepresentable) << first;
    std::vector<std::string> back;
    ASSERT_TRUE(ReadListFile(dir / "a.dbk", back).ok());
    EXPECT_EQ(back, std::vector<std::string>{"alt"});
  }
  EXPECT_FALSE(IsStorableFirstString("%"));
  EXPECT_TRUE(IsStorableFirstString("&"));
  // Only the first string matters.
  EXPECT_TRUE(WriteListFile(dir / "a.dbk", {"ok", "%x", "(y"}).ok());
}

TEST(ListFile, EmptyAndMissingFiles) {
  TempDir dir;
  std::vector<std::string> back = {"stale"};
  EXPECT_TRUE(ReadListFile(dir / "neu.dxt", back).ok());
  EXPECT_TRUE(back.empty());
  EXPECT_TRUE(back.empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "neu.dxt"));  // created empty
  ASSERT_TRUE(WriteListFile(dir / "x.pls", {"a", "b"}, 0).ok());
  EXPECT_EQ(ReadAll(dir / "x.pls"), "");
  EXPECT_TRUE(ReadListFile(dir / "x.pls", back).ok());
  EXPECT_TRUE(back.empty());
}

TEST(ListFile, ReplacingLeavesNoTemporaryFilesAndKeepsThePermissions) {
  TempDir dir;
  ASSERT_TRUE(WriteListFile(dir / "p.pls", {"eins"}).ok());
  std::filesystem::permissions(dir / "p.pls", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                                  std::filesystem::perms::group_read);
  ASSERT_TRUE(WriteListFile(dir / "p.pls", {"zwei"}).ok());
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(
      std::filesystem::status(dir / "p.pls").permissions() & std::filesystem::perms::all,
      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read);
}

TEST(ListFile, WriteIntoAMissingDirectoryFailsWithItsPath) {
  TempDir dir;
  Status s = WriteListFile(dir / "fehlt" / "x.pls", {"a"});
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.path().find("x.pls"), std::string::npos);
  EXPECT_FALSE(s.message().empty());
}

// The whole-file decoder works on 16 bytes at a time; the line-by-line
// decoder is the plain form of the same rule.  They must agree on every
// input, including foreign files: bare LF line ends, a missing final line
// break, CR inside lines, one-blank lines, lines longer than 256 bytes and
// every byte value.
TEST(ListFile, VectorDecoderAgreesWithTheLineDecoder) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    const int lines = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < lines; ++i) {
      const int kind = static_cast<int>(rng() % 10);
      size_t len = kind == 0 ? 0 : kind == 1 ? 1 : kind == 2 ? 250 + rng() % 300 : rng() % 20;
      std::string line;
      for (size_t j = 0; j < len; ++j) {
        unsigned char c = static_cast<unsigned char>(rng() % 256);
        if (c == '\n') c = 'n';
        line.push_back(static_cast<char>(c));
      }
      if (kind == 1) line = rng() % 2 ? " " : "\r";
      bytes += line;
      const int end = static_cast<int>(rng() % 8);
      if (i + 1 == lines && end == 0) break;  // no final line break
      bytes += end == 1 ? "\n" : "\r\n";
    }
    // Reference: split like the line file, decode line by line, convert.
    std::vector<std::string> ref;
    {
      size_t start = 0;
      while (start < bytes.size()) {
        size_t nl = bytes.find('\n', start);
        if (nl == std::string::npos) {
          ref.push_back(bytes.substr(start));
          break;
        }
        size_t end = nl;
        if (end > start && bytes[end - 1] == '\r') --end;
        ref.push_back(bytes.substr(start, end - start));
        start = nl + 1;
      }
      DecodeLines(ref);
      for (std::string& l : ref) l = Utf8FromCp1252(l);
    }
    ASSERT_EQ(DecodeListBytes(bytes), ref) << "round " << round;
  }
}

// Files of several megabytes are decoded in two halves on two threads; the
// seam must not show.
TEST(ListFile, LargeFilesDecodeLikeSmallOnes) {
  std::mt19937 rng(5);
  std::vector<std::string> lines = {"6"};
  size_t bytes = 0;
  while (bytes < (size_t(9) << 20)) {
    std::string l;
    const size_t len = rng() % 13 == 0 ? 0 : 1 + rng() % 30;
    for (size_t j = 0; j < len; ++j) l.push_back(static_cast<char>('!' + rng() % 90));
    if (rng() % 50 == 0) l = "Müller-Fonds Ä";
    bytes += l.size() + 2;
    lines.push_back(l);
  }
  std::string encoded;
  ASSERT_TRUE(EncodeListBytes(lines, lines.size(), encoded));
  std::vector<std::string> ref = SplitLines(encoded);
  DecodeLines(ref);
  for (std::string& l : ref) l = Utf8FromCp1252(l);
  EXPECT_EQ(DecodeListBytes(encoded), ref);
}

// Short texts of ASCII characters, as names, numbers and dates are, survive
// whatever the key.
TEST(ListFile, EncodeThenDecodeIsIdentityForShortAsciiTexts) {
  std::mt19937 rng(99);
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,:-_/()&%+*#'\"!?";
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines;
    const int n = 1 + static_cast<int>(rng() % 30);
    for (int i = 0; i < n; ++i) {
      std::string l;
      const size_t len = 2 + rng() % 60;
      for (size_t j = 0; j < len; ++j) l.push_back(alphabet[rng() % alphabet.size()]);
      if (i == 0 && (l[0] == '%' || l[0] == '(')) l[0] = 'X';
      lines.push_back(l);
    }
    std::string bytes;
    ASSERT_TRUE(EncodeListBytes(lines, lines.size(), bytes));
    for (size_t i = 1; i < bytes.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(bytes[i]);
      if (c == '\r' || c == '\n') continue;
      ASSERT_GE(c, 32) << "encoded text holds no control bytes besides the key";
    }
    EXPECT_EQ(DecodeListBytes(bytes), lines);
  }
}

TEST(ListFile, PlainTextLinesAreConvertedNotDecoded) {
  TempDir dir;
  WriteAll(dir / "kurse.txt", "Fond M\xFCller\r\n123456\r\n1,0500\r\nEuro\r\n05.03.2003\r\n12,34");
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadTextLines(dir / "kurse.txt", lines).ok());
  EXPECT_EQ(lines, (std::vector<std::string>{"Fond Müller", "123456", "1,0500", "Euro", "05.03.2003", "12,34"}));
  EXPECT_EQ(ReadTextLines(dir / "fehlt.txt", lines).code(), Status::Code::NotFound);
}

// The decoded lines of a file, line by line: split at LF (one CR before it
// dropped), unscrambled, converted to UTF-8.
// A key line and lines of fewer than `longest` digits, about `bytes` in
// all.
std::vector<std::string> DigitLines(std::mt19937& rng, size_t bytes, unsigned longest) {
  std::vector<std::string> lines = {"4"};
  size_t total = 0;
  while (total < bytes) {
    std::string l;
    for (size_t j = rng() % longest; j > 0; --j) l.push_back(static_cast<char>('0' + rng() % 10));
    total += l.size() + 2;
    lines.push_back(l);
  }
  return lines;
}

// The encoded bytes with about a quarter of their "\r\n" line ends cut to
// a "\n" alone.
std::string SomeBareLineFeeds(const std::string& encoded, std::mt19937& rng) {
  std::string mixed;
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '\r' && i + 1 < encoded.size() && encoded[i + 1] == '\n' && rng() % 4 == 0) continue;
    mixed.push_back(encoded[i]);
  }
  return mixed;
}

std::vector<std::string> DecodedLineByLine(const std::string& bytes) {
  std::vector<std::string> ref = SplitLines(bytes);
  DecodeLines(ref);
  for (std::string& l : ref) l = Utf8FromCp1252(l);
  return ref;
}

// Line ends are kept per block of lines as short offsets; blocks of long
// lines (and single lines longer than such an offset reaches) keep full
// positions.  Either way every line reads back as decoded line by line,
// whatever the line ends, in one half of a file or in two.
TEST(ListFile, BlocksOfLongLinesDecodeLikeBlocksOfShortOnes) {
  for (size_t target : {size_t(300) << 10, size_t(6) << 20}) {
    std::mt19937 rng(static_cast<unsigned>(target));
    std::vector<std::string> lines = {"7"};
    size_t bytes = 0;
    int run = 0;
    bool longRun = false;
    while (bytes < target) {
      if (run-- == 0) {
        longRun = rng() % 3 == 0;
        run = 100 + static_cast<int>(rng() % 600);
      }
      std::string l;
      const size_t len = longRun ? 100 + rng() % 300 : rng() % 20;
      for (size_t j = 0; j < len; ++j) l.push_back(static_cast<char>('!' + rng() % 90));
      if (rng() % 40 == 0) l = "Ärzte-Fonds Süd";
      if (rng() % 5000 == 0) l.assign(40000, 'x');  // longer than a short offset reaches
      bytes += l.size() + 2;
      lines.push_back(l);
    }
    std::string encoded;
    ASSERT_TRUE(EncodeListBytes(lines, lines.size(), encoded));
    // Some line ends without their CR.
    std::string mixed;
    for (size_t i = 0; i < encoded.size(); ++i) {
      if (encoded[i] == '\r' && i + 1 < encoded.size() && encoded[i + 1] == '\n' && rng() % 3 == 0) continue;
      mixed.push_back(encoded[i]);
    }
    EXPECT_EQ(DecodeListBytes(mixed), DecodedLineByLine(mixed)) << target;
  }
}

// The decoder takes the widest vector instructions the processor has, and
// each narrower way for what the wider one leaves (unusual blocks: blank
// lines, a "\r" without "\n", umlauts, long lines, the ends of files).
// Every width decodes every file as it is decoded line by line: price-like
// lines in runs long enough for the widest blocks, with the unusual lines
// among them, in files with one half and with two.
TEST(ListFile, EveryVectorWidthDecodesAlike) {
  for (size_t target : {size_t(200) << 10, size_t(5) << 20}) {
    std::mt19937 rng(static_cast<unsigned>(target) + 3);
    std::vector<std::string> lines = {"2"};
    size_t bytes = 0;
    while (bytes < target) {
      std::string l;
      const unsigned kind = rng() % 1000;
      if (kind < 3) {
        l = "";  // written as a blank
      } else if (kind < 6) {
        l = "Süd-Fonds Müller & Söhne";
      } else if (kind < 8) {
        l.assign(150 + rng() % 200, static_cast<char>('0' + rng() % 10));  // past a byte of line position
      } else if (kind == 8 && rng() % 20 == 0) {
        l.assign(33000, '7');  // past a short line end
      } else if (rng() % 2) {
        char date[16];
        std::snprintf(date, sizeof date, "%02u.%02u.%04u", static_cast<unsigned>(1 + rng() % 28),
                      static_cast<unsigned>(1 + rng() % 12), static_cast<unsigned>(1990 + rng() % 40));
        l = date;
      } else {
        l = std::to_string(rng() % 100000) + "," + std::to_string(10 + rng() % 90);
      }
      bytes += l.size() + 2;
      lines.push_back(l);
    }
    std::string encoded;
    ASSERT_TRUE(EncodeListBytes(lines, lines.size(), encoded));
    // Some line ends without their "\r", and some "\r" within a line.
    std::string mixed;
    for (size_t i = 0; i < encoded.size(); ++i) {
      if (encoded[i] == '\r' && i + 1 < encoded.size() && encoded[i + 1] == '\n' && rng() % 400 == 0) continue;
      mixed.push_back(encoded[i]);
      if (encoded[i] != '\n' && encoded[i] != '\r' && rng() % 20000 == 0) mixed.push_back('\r');
    }
    const std::vector<std::string> ref = DecodedLineByLine(mixed);
    for (int width = 0; width <= 3; ++width) {
      detail::LineTable::LimitVectorWidth(width);
      EXPECT_EQ(DecodeListBytes(mixed), ref) << target << " bytes, width " << width;
    }
    detail::LineTable::LimitVectorWidth(3);
  }
}

// A blank in a data file is either a written empty string (a blank alone on
// its line) or a scrambled byte like any other: at the start of a line, at
// its end, alone on a line of one character.  Files full of both kinds, with
// the line ends (with and without "\r") falling on every position of the
// vector blocks and lines shorter and longer than 16 bytes, decode in every
// width as line by line.
TEST(ListFile, BothKindsOfBlankDecodeAlikeInEveryWidth) {
  std::mt19937 rng(77);
  for (int round = 0; round < 4; ++round) {
    std::vector<std::string> lines = {std::to_string(3 + round * 2)};  // a key of its own per round
    const unsigned char key = ListKeyOf(lines[0]);
    size_t bytes = 0;
    while (bytes < (size_t(300) << 10)) {
      std::string l;
      const unsigned kind = rng() % 8;
      if (kind == 0) {
        l = "";  // written as a blank
      } else if (kind == 1 && rng() % 16 == 0) {
        l = "Süd";  // not plain ASCII: the widest loop stops and starts again further on
      } else {
        // Up to 19 characters: line feeds more and less than 16 bytes apart.
        for (size_t j = 0, len = rng() % 20; j < len; ++j) {
          // Every third character is one whose scrambled form is a blank
          // (where that is a plain character), the others are digits.
          const unsigned char blank = static_cast<unsigned char>(((32 - j) & 0xFF) ^ key);
          const bool useBlank = rng() % 3 == 0 && blank >= 32 && blank < 123;
          l.push_back(static_cast<char>(useBlank ? blank : '0' + rng() % 10));
        }
      }
      bytes += l.size() + 2;
      lines.push_back(l);
    }
    std::string encoded;
    ASSERT_TRUE(EncodeListBytes(lines, lines.size(), encoded));
    ASSERT_GT(std::count(encoded.begin(), encoded.end(), ' '), 10000) << "the file is full of blanks";
    const std::string mixed = SomeBareLineFeeds(encoded, rng);
    const std::vector<std::string> ref = DecodedLineByLine(mixed);
    for (int width = 0; width <= 3; ++width) {
      detail::LineTable::LimitVectorWidth(width);
      EXPECT_EQ(DecodeListBytes(mixed), ref) << "round " << round << ", width " << width;
    }
    detail::LineTable::LimitVectorWidth(3);
  }
}

// A span of lines is their text in one piece: split at its line feeds (and
// a "\r" before one taken off), it gives the lines one by one; in a file
// decoded in two halves, a span across them is empty.
TEST(ListFile, ASpanOfLinesIsTheirTextInOnePiece) {
  std::mt19937 rng(5);
  const std::vector<std::string> lines = DigitLines(rng, size_t(11) << 20, 14);
  std::string encoded;
  ASSERT_TRUE(EncodeListBytes(lines, lines.size(), encoded));
  const detail::LineTable table = detail::LineTable::Decode(SomeBareLineFeeds(encoded, rng));
  size_t across = 0;
  for (int round = 0; round < 3000; ++round) {
    const size_t first = rng() % table.size();
    const size_t count = std::min<size_t>(table.size() - first, rng() % 40);
    const std::string_view span = table.span(first, count);
    if (count == 0) {
      EXPECT_TRUE(span.empty());
      continue;
    }
    if (span.empty() && (count > 1 || !table.line(first).empty())) {
      ++across;
      continue;
    }
    size_t at = 0;
    for (size_t k = 0; k < count; ++k) {
      const size_t lf = std::min(span.find('\n', at), span.size());
      std::string_view piece = span.substr(at, lf - at);
      if (lf < span.size() && !piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      ASSERT_EQ(piece, table.line(first + k)) << first << " + " << k;
      at = lf + 1;
    }
    EXPECT_EQ(at, span.size() + 1) << "nothing after the last line";
  }
  // Spans that begin in the first half and end in the second.
  for (size_t first = 0; first + 1 < table.size(); first += table.size() / 50) {
    const size_t count = table.size() - first;
    if (table.span(first, count).empty()) ++across;
  }
  EXPECT_GT(across, 0u) << "the file is decoded in two halves";
}

// Decoding in steps tells of every byte after the first line once, in
// ranges that end after a line feed (or at the end), in order per thread,
// and decodes the same lines as in one go.
TEST(ListFile, DecodingInStepsReportsEveryRangeOnce) {
  std::mt19937 rng(11);
  const std::vector<std::string> lines = DigitLines(rng, size_t(11) << 20, 25);
  std::string encoded;
  ASSERT_TRUE(EncodeListBytes(lines, lines.size(), encoded));
  std::mutex m;
  std::vector<std::pair<size_t, size_t>> ranges;
  const detail::LineTable stepped = detail::LineTable::Decode(encoded, [&](size_t from, size_t to) {
    std::lock_guard lock(m);
    ranges.emplace_back(from, to);
  });
  const detail::LineTable whole = detail::LineTable::Decode(encoded);
  ASSERT_EQ(stepped.size(), whole.size());
  for (size_t i = 0; i < whole.size(); ++i) ASSERT_EQ(stepped.line(i), whole.line(i)) << i;
  ASSERT_GE(ranges.size(), 4u) << "two halves in steps of a few megabytes";
  std::sort(ranges.begin(), ranges.end());
  size_t at = encoded.find('\n') + 1;
  for (const auto& [from, to] : ranges) {
    EXPECT_EQ(from, at);
    EXPECT_TRUE(to == encoded.size() || encoded[to - 1] == '\n') << to;
    at = to;
  }
  EXPECT_EQ(at, encoded.size());
}

}  // namespace
}  // namespace tellurio
