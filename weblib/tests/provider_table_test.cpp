// The provider table as the library delivers it: the display names through
// BankenHolen, the server directory keys through the request paths that
// FileAusInternetLaden sends to a test server.  Both are compared with
// tests/data/provider_table.tsv, the table transcribed by hand (display name,
// tab, key; one pair a line, in table order).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TestHttpServer.h"
#include "marabu/MarabuLibrary.h"
#include "platform/testing/TempDir.h"

namespace {

namespace fs = std::filesystem;
using marabu::testing::TestHttpServer;
using Lines = std::vector<std::string>;
using Pair = std::pair<std::string, std::string>;

std::vector<Pair> TranscribedTable() {
  std::ifstream in(std::string(MARABU_TEST_DATA) + "/provider_table.tsv", std::ios::binary);
  EXPECT_TRUE(in) << "provider_table.tsv";
  std::vector<Pair> pairs;
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << line;
    if (tab == std::string::npos) continue;
    pairs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
  }
  return pairs;
}

// The key in a request target "/Daten/<key>/05032003.txt"; the target itself
// when it has another form.
std::string KeyOfTarget(const std::string& target) {
  static const std::string kPrefix = "/Daten/";
  static const std::string kSuffix = "/05032003.txt";
  if (target.rfind(kPrefix, 0) != 0 || target.size() < kPrefix.size() + kSuffix.size() ||
      target.compare(target.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
    return target;
  return target.substr(kPrefix.size(), target.size() - kPrefix.size() - kSuffix.size());
}

class ProviderTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (wd_.path() / "config").c_str(), 1);
    setenv("MARABU_PUBLISHER", server_.address().c_str(), 1);
    setenv("MARABU_TIMEOUT", "20", 1);
    MarabuTestHeuteSetzen(2003, 3, 5);
    fs::create_directories(wd_.path() / "Fondpreise" / "Bank" / "2003" / "Maerz");
  }
  void TearDown() override {
    unsetenv("MARABU_PUBLISHER");
    unsetenv("MARABU_TIMEOUT");
    MarabuTestHeuteSetzen(0, 0, 0);
  }

  // The key the library requests for a display name ("/" when it knows none).
  std::string KeyFor(const std::string& displayName) {
    const size_t before = server_.targets().size();
    Lines out;
    const marabu::DownloadResult result = lib_.FileAusInternetLaden(out, displayName, "Bank", wd_.path().string());
    EXPECT_TRUE(result.ok()) << displayName << ": " << result.message;
    const Lines targets = server_.targets();
    if (targets.size() != before + 1) return "(keine Anfrage)";
    return KeyOfTarget(targets.back());
  }

  tellurio::testing::TempDir wd_;
  TestHttpServer server_{TestHttpServer::Always({200, ""})};
  marabu::MarabuLibrary lib_;
};

TEST_F(ProviderTableTest, LibraryHoldsTheTranscribedTableInOrder) {
  const std::vector<Pair> expected = TranscribedTable();
  ASSERT_EQ(expected.size(), 262u);

  Lines names = {"wird ersetzt"};
  ASSERT_TRUE(lib_.BankenHolen(names).ok());
  ASSERT_EQ(names.size(), 262u);

  std::vector<Pair> delivered;
  for (const std::string& name : names) delivered.emplace_back(name, KeyFor(name));
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(delivered[i], expected[i]) << "pair " << i;
}

TEST_F(ProviderTableTest, NamesAndKeysAreUniqueAndOrderedAsThePublisherListsThem) {
  const std::vector<Pair> table = TranscribedTable();
  ASSERT_EQ(table.size(), 262u);
  std::set<std::string> names, keys;
  for (const Pair& p : table) {
    EXPECT_TRUE(names.insert(p.first).second) << "name twice: " << p.first;
    EXPECT_TRUE(keys.insert(p.second).second) << "key twice: " << p.second;
  }

  // Alphabetical without regard to letter case, ASCII letters folded and
  // umlauts (UTF-8 lead bytes above every ASCII byte) after "z"; the two
  // exceptions stand where the publisher puts them.
  auto folded = [](const std::string& s) {
    std::string f = s;
    for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return f;
  };
  auto position = [&](const std::string& name) {
    const auto it = std::find_if(table.begin(), table.end(), [&](const Pair& p) { return p.first == name; });
    return static_cast<size_t>(it - table.begin());
  };
  const size_t algerFund = position("Alger Fund");
  const size_t oeko = position("Öko Vision Luxembourg");
  ASSERT_LT(oeko, table.size());
  EXPECT_EQ(position("Alger"), algerFund + 1);
  EXPECT_EQ(table[oeko - 1].first, "OYSTER FUNDS (Banque SYZ & CO)*");
  EXPECT_EQ(table[oeko + 1].first, "PALLMALL *");

  std::vector<std::string> rest;
  for (size_t i = 0; i < table.size(); ++i)
    if (i != algerFund && i != oeko) rest.push_back(folded(table[i].first));
  for (size_t i = 1; i < rest.size(); ++i) EXPECT_LT(rest[i - 1], rest[i]);
}

TEST_F(ProviderTableTest, BankenHolenReplacesWhateverTheListHeld) {
  Lines names(300, "alt");
  ASSERT_TRUE(lib_.BankenHolen(names).ok());
  ASSERT_EQ(names.size(), 262u);
  EXPECT_EQ(names.front(), "Aberdeen Investment");
  EXPECT_EQ(names.back(), "Zürich Investmentgesellschaft mbH");
  EXPECT_EQ(std::count(names.begin(), names.end(), "alt"), 0);

  Lines empty;
  ASSERT_TRUE(lib_.BankenHolen(empty).ok());
  EXPECT_EQ(empty, names);
}

TEST_F(ProviderTableTest, LookupIsExactAndCaseSensitive) {
  EXPECT_EQ(KeyFor("Alger"), "Alger");
  EXPECT_EQ(KeyFor("Alger Fund"), "Alger_Fund");
  EXPECT_EQ(KeyFor("Franken Invest"), "Franken_Invest");
  EXPECT_EQ(KeyFor("ADIG"), "ADIG");
  EXPECT_EQ(KeyFor("ADIG Luxembourg"), "ADIG1");
  EXPECT_EQ(KeyFor("Öko Vision Luxembourg"), "Oeko");
  // Other letter case, a trailing blank or a part of a name finds nothing:
  // the server's root document is asked for.
  for (const std::string name : {"alger", "ALGER", "Deka ", "deka", "Alger Fun", ""})
    EXPECT_EQ(KeyFor(name), "/") << '"' << name << '"';
}

}  // namespace
