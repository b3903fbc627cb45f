// The demo publisher as the program meets it: served on a free port of
// 127.0.0.1 and fetched through the real exports of libmarabu, with the
// documents read back the way the program reads them.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "Dates.h"
#include "Documents.h"
#include "Funds.h"
#include "Publisher.h"
#include "calendar/NumberText.h"
#include "marabu/MarabuLibrary.h"
#include "platform/Codec1252.h"
#include "platform/testing/TempDir.h"
#include "platform/testing/UnusedPort.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using marabu::ErrorKind;
using tellurio::testing::ReadAll;

// The lines of code page 1252 text (CR LF or LF) in UTF-8.
Lines LinesOf(const std::string& bytes) {
  Lines lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    size_t cut = end;
    if (cut > start && bytes[cut - 1] == '\r') --cut;
    lines.push_back(tellurio::Utf8FromCp1252(std::string_view(bytes).substr(start, cut - start)));
    start = end + 1;
  }
  return lines;
}

double ParseNumberText(std::string text, char decimal) {
  std::replace(text.begin(), text.end(), decimal, '.');
  return std::stod(text);
}

const demo::Provider& ProviderNamed(const std::string& displayName) {
  for (const demo::Provider& p : demo::DemoProviders())
    if (p.displayName == displayName) return p;
  ADD_FAILURE() << "no provider " << displayName;
  return demo::DemoProviders().front();
}

const char* const kVariables[] = {"MARABU_PUBLISHER", "MARABU_INDEX_SERVER", "MARABU_COMPARISON_SERVER",
                                  "MARABU_TIMEOUT"};

class PublisherMarabuTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo::PublisherOptions options;
    options.port = 0;
    options.today = demo::Date{2003, 3, 5};
    server_ = new demo::PublisherServer(options);
    std::string error;
    ASSERT_TRUE(server_->Start(error)) << error;
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(server_, nullptr);
    setenv("XDG_CONFIG_HOME", (wd_.path() / "config").c_str(), 1);
    PointAt(address());
    setenv("MARABU_TIMEOUT", "30", 1);
    MarabuTestHeuteSetzen(2003, 3, 5);
  }
  void TearDown() override {
    for (const char* name : kVariables) unsetenv(name);
    MarabuTestHeuteSetzen(0, 0, 0);
  }

  static std::string address() { return "127.0.0.1:" + std::to_string(server_->port()); }
  static void PointAt(const std::string& a) {
    setenv("MARABU_PUBLISHER", a.c_str(), 1);
    setenv("MARABU_INDEX_SERVER", a.c_str(), 1);
    setenv("MARABU_COMPARISON_SERVER", a.c_str(), 1);
  }

  fs::path MonthDir(const std::string& provider, const std::string& year, const std::string& month) {
    const fs::path dir = wd_.path() / "Fondpreise" / provider / year / month;
    fs::create_directories(dir);
    return dir;
  }
  std::string wd() const { return wd_.path().string(); }

  // portrait.txt as the program reads it (plain lines).
  Lines LoadPortraitFile() {
    Lines unused;
    const marabu::DownloadResult r = lib_.FondportraitHolen("972830", unused, wd());
    EXPECT_TRUE(r.ok()) << r.message;
    return LinesOf(ReadAll(wd_.path() / "portrait.txt"));
  }

  // A Deka fund with twelve chart points and positions.
  static const demo::Fund& FundWithChart() {
    for (const demo::Fund& f : ProviderNamed("Deka").funds)
      if (demo::DayNumber(f.launch) < demo::DayNumber({2002, 1, 1}) && !f.positions.empty()) return f;
    ADD_FAILURE() << "no old Deka fund";
    return ProviderNamed("Deka").funds.front();
  }

  static demo::PublisherServer* server_;
  tellurio::testing::TempDir wd_;
  marabu::MarabuLibrary lib_;
};

demo::PublisherServer* PublisherMarabuTest::server_ = nullptr;

TEST_F(PublisherMarabuTest, PriceFilesArriveAsSixLineRecords) {
  const std::regex wknForm("[0-9A-Z]{6}");
  const std::regex factorForm("1,[0-9]{4}");
  const std::regex priceForm("[0-9]+,[0-9]{2}");
  bool sawUmlaut = false;
  for (const demo::Provider& provider : demo::DemoProviders()) {
    SCOPED_TRACE(provider.displayName);
    const fs::path month = MonthDir("Demo " + provider.key, "2003", "Maerz");
    Lines out;
    const marabu::DownloadResult r = lib_.FileAusInternetLaden(out, provider.displayName, "Demo " + provider.key, wd());
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(out.size() % 6, 0u);
    ASSERT_GE(out.size(), 6u * 150);
    for (size_t i = 0; i < out.size(); i += 6) {
      EXPECT_FALSE(out[i].empty());
      EXPECT_TRUE(std::regex_match(out[i + 1], wknForm)) << out[i + 1];
      EXPECT_TRUE(std::regex_match(out[i + 2], factorForm)) << out[i + 2];
      EXPECT_TRUE(out[i + 3] == "Euro" || out[i + 3] == "USD" || out[i + 3] == "CHF") << out[i + 3];
      EXPECT_EQ(out[i + 4], "05.03.2003");
      EXPECT_TRUE(std::regex_match(out[i + 5], priceForm)) << out[i + 5];
      EXPECT_GT(ParseNumberText(out[i + 5], ','), 0.0);
      if (tellurio::Utf8Length(out[i]) != out[i].size()) sawUmlaut = true;
    }
    // What arrives is the generated file, umlauts included, and it is
    // stored byte for byte in code page 1252.
    const Lines expected = demo::PriceFileLines(provider, {2003, 3, 5});
    EXPECT_EQ(out, expected);
    EXPECT_EQ(ReadAll(month / "05032003.txt"), demo::ToCp1252Lines(expected));
  }
  EXPECT_TRUE(sawUmlaut);
}

TEST_F(PublisherMarabuTest, NextDaysPricesAreCloseAndForTheSameFunds) {
  MonthDir("Bank", "2003", "Maerz");
  Lines wednesday, thursday;
  ASSERT_TRUE(lib_.FileAusInternetLaden(wednesday, "Union-Investment Frankfurt", "Bank", wd()).ok());
  MarabuTestHeuteSetzen(2003, 3, 6);
  ASSERT_TRUE(lib_.FileAusInternetLaden(thursday, "Union-Investment Frankfurt", "Bank", wd()).ok());
  ASSERT_EQ(wednesday.size(), thursday.size());
  int changed = 0;
  for (size_t i = 0; i < wednesday.size(); i += 6) {
    ASSERT_EQ(wednesday[i + 1], thursday[i + 1]);
    EXPECT_EQ(thursday[i + 4], "06.03.2003");
    const double before = ParseNumberText(wednesday[i + 5], ',');
    const double after = ParseNumberText(thursday[i + 5], ',');
    EXPECT_LT(std::fabs(after / before - 1.0), 0.08) << wednesday[i];
    changed += before != after;
  }
  EXPECT_GT(changed, static_cast<int>(wednesday.size() / 6 / 2));
}

TEST_F(PublisherMarabuTest, DaysWithoutPricesHaveNoFile) {
  const fs::path march = MonthDir("Bank", "2003", "Maerz");
  const fs::path april = MonthDir("Bank", "2003", "April");
  for (const auto& [day, month] : {std::pair{8, 3}, std::pair{18, 4}}) {  // Saturday, Karfreitag
    MarabuTestHeuteSetzen(2003, month, day);
    Lines out = {"alt"};
    const marabu::DownloadResult r = lib_.FileAusInternetLaden(out, "DWS", "Bank", wd());
    EXPECT_EQ(r.kind, ErrorKind::HttpStatus) << day;
    EXPECT_EQ(r.httpStatus, 404);
    EXPECT_TRUE(out.empty());
  }
  EXPECT_TRUE(fs::is_empty(march));
  EXPECT_TRUE(fs::is_empty(april));
}

TEST_F(PublisherMarabuTest, PortraitFileHoldsABlockForEveryFundOfThePriceFile) {
  MonthDir("Bank", "2003", "Maerz");
  Lines prices;
  ASSERT_TRUE(lib_.FileAusInternetLaden(prices, "Deka", "Bank", wd()).ok());
  const Lines portrait = LoadPortraitFile();
  ASSERT_GT(portrait.size(), 10000u);

  for (size_t i = 0; i < prices.size(); i += 6) {
    const std::string& wkn = prices[i + 1];
    // The program finds a block through the first line holding the WKN.
    const auto hit = std::find_if(portrait.begin(), portrait.end(),
                                  [&](const std::string& line) { return line.find(wkn) != std::string::npos; });
    ASSERT_NE(hit, portrait.end()) << wkn;
    const size_t w = static_cast<size_t>(hit - portrait.begin());
    ASSERT_GE(w, 2u);
    ASSERT_LT(w + 30, portrait.size());
    const size_t b = w - 2;
    EXPECT_EQ(portrait[b], prices[i]);  // fund name
    EXPECT_EQ(portrait[b + 2], wkn);
    EXPECT_EQ(portrait[b + 7], prices[i + 5]);  // today's price
    EXPECT_EQ(portrait[b + 9], prices[i + 3] == "Euro" ? "EUR" : prices[i + 3]);
    for (size_t k = b + 12; k <= b + 26; ++k) {
      if (k == b + 19) continue;  // name of the comparison row
      EXPECT_TRUE(portrait[k] == "k.A." || std::regex_match(portrait[k], std::regex("-?[0-9]+,[0-9]{2}")))
          << portrait[k];
    }
    // The block ends with its chart section before the next block starts.
    const auto chart = std::find(portrait.begin() + static_cast<long>(b) + 27, portrait.end(), "Wertentwicklung");
    ASSERT_NE(chart, portrait.end());
    const size_t at = static_cast<size_t>(chart - portrait.begin());
    const size_t n = std::stoul(portrait[at + 2]);
    ASSERT_TRUE(n == 0 || n == 12) << wkn;
    EXPECT_EQ(portrait[at + 3 + 3 * n], "Konkurrenzanalyse");
  }
}

TEST_F(PublisherMarabuTest, DaxValueIsTheIndexOfTheDay) {
  Lines dax = {"04.03.2003", "4100,00"};
  const marabu::DownloadResult r = lib_.DAXLaden(dax, wd());
  ASSERT_TRUE(r.ok()) << r.message;
  ASSERT_EQ(dax.size(), 4u);
  EXPECT_EQ(dax[2], "05.03.2003");
  EXPECT_TRUE(std::regex_match(dax[3], std::regex("[0-9]{4,5},[0-9]{2}"))) << dax[3];
  EXPECT_EQ(dax[3], tellurio::FormatRounded(demo::Dax({2003, 3, 5}), 2));
  EXPECT_TRUE(fs::exists(wd_.path() / "dax1.html"));

  // The page is also an index page for HtmlToText: the line after the
  // first line with "DAX" starts with the value.
  Lines fields;
  std::string result;
  ASSERT_TRUE(lib_.HtmlToText(LinesOf(ReadAll(wd_.path() / "dax1.html")), fields, result).ok());
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0].rfind(dax[3] + "<", 0), 0u) << fields[0];
}

TEST_F(PublisherMarabuTest, ComparisonDataMatchesThePortraitChart) {
  const demo::Fund& fund = FundWithChart();
  Lines performance = {"alt"}, competitors = {"alt"};
  ASSERT_TRUE(lib_.KonkurrenzHolen(fund.wkn, performance, wd(), 0).ok());
  ASSERT_TRUE(lib_.KonkurrenzHolen(fund.wkn, competitors, wd(), 1).ok());
  ASSERT_EQ(performance.size(), 24u);
  ASSERT_EQ(competitors.size(), 36u);
  EXPECT_FALSE(fs::exists(wd_.path() / "testi.txt"));

  const Lines portrait = LoadPortraitFile();
  const auto block = std::find(portrait.begin(), portrait.end(), fund.wkn);
  ASSERT_NE(block, portrait.end());
  const auto chart = std::find(block, portrait.end(), "Wertentwicklung");
  ASSERT_NE(chart, portrait.end());
  ASSERT_EQ(*(chart + 2), "12");
  const auto fundValues = chart + 15, referenceValues = chart + 27;
  const auto bestValues = chart + 40, worstValues = chart + 52;
  for (size_t k = 0; k < 12; ++k) {
    const double f = ParseNumberText(performance[k], '.');
    EXPECT_DOUBLE_EQ(f, ParseNumberText(*(fundValues + static_cast<long>(k)), ','));
    EXPECT_DOUBLE_EQ(ParseNumberText(performance[12 + k], '.'),
                     ParseNumberText(*(referenceValues + static_cast<long>(k)), ','));
    EXPECT_EQ(competitors[k], performance[k]);
    const double best = ParseNumberText(competitors[12 + k], '.');
    const double worst = ParseNumberText(competitors[24 + k], '.');
    EXPECT_DOUBLE_EQ(best, ParseNumberText(*(bestValues + static_cast<long>(k)), ','));
    EXPECT_DOUBLE_EQ(worst, ParseNumberText(*(worstValues + static_cast<long>(k)), ','));
    EXPECT_LE(worst, f);
    EXPECT_GE(best, f);
  }

  Lines unknown = {"bleibt"};
  EXPECT_EQ(lib_.KonkurrenzHolen("XXXXXX", unknown, wd(), 0).kind, ErrorKind::HttpStatus);
  EXPECT_EQ(unknown, Lines{"bleibt"});
}

TEST_F(PublisherMarabuTest, PortraitPageConvertsToThePortraitBlock) {
  const Lines portrait = LoadPortraitFile();
  httplib::Client client("127.0.0.1", server_->port());
  std::vector<const demo::Fund*> funds = {&FundWithChart()};
  for (const demo::Fund& f : ProviderNamed("DWS Luxembourg").funds) {
    if (demo::DayNumber(f.launch) > demo::DayNumber({2003, 3, 5})) continue;
    if (f.positions.empty() && funds.size() < 2) funds.push_back(&f);
    if (f.management == "keine Angaben" && funds.size() < 3) funds.push_back(&f);
  }
  ASSERT_EQ(funds.size(), 3u);
  for (const demo::Fund* fund : funds) {
    SCOPED_TRACE(fund->name);
    const httplib::Result page = client.Get("/fondsportrait/portrait.hbs?wkn=" + fund->wkn);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->status, 200);
    Lines fields;
    std::string result;
    ASSERT_TRUE(lib_.HtmlToText(LinesOf(page->body), fields, result).ok());

    const auto wknLine = std::find(portrait.begin(), portrait.end(), fund->wkn);
    ASSERT_NE(wknLine, portrait.end());
    const auto begin = wknLine - 2;
    const auto end = std::find(begin, portrait.end(), "Wertentwicklung");
    EXPECT_EQ(fields, Lines(begin, end));
  }
}

// The program itself, started as run-demo.sh starts it.
TEST(PublisherProgramTest, ServesOnTheGivenPortUntilTerminated) {
  const int port = tellurio::testing::UnusedPort();
  ASSERT_GT(port, 0) << "no free port";
  const std::string portText = std::to_string(port);
  // Started with its standard output into out (a pipe) when given, else
  // into /dev/null.
  auto start = [&](pid_t& pid, int out = -1) {
    const char* argv[] = {DEMO_PUBLISHER_PROGRAM, "--bind", "127.0.0.1", "--port", portText.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0)
      posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc =
        posix_spawn(&pid, DEMO_PUBLISHER_PROGRAM, &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc;
  };
  // The program says that it runs once it listens: until then a connection
  // would be refused.  Its first line is waited for (a minute at most).
  int pipeFds[2];
  ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
  pid_t pid = 0;
  ASSERT_EQ(start(pid, pipeFds[1]), 0);
  close(pipeFds[1]);
  std::string said;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (said.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
    pollfd p{pipeFds[0], POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
    char buffer[256];
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    said.append(buffer, static_cast<size_t>(n));
  }
  close(pipeFds[0]);  // the rest of what it says goes nowhere
  const bool listening = said.find("Demo-Kursserver läuft auf http://127.0.0.1:" + portText) != std::string::npos;
  if (!listening) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  ASSERT_TRUE(listening) << said;

  tellurio::testing::TempDir wd;
  setenv("XDG_CONFIG_HOME", (wd.path() / "config").c_str(), 1);
  const std::string address = "127.0.0.1:" + portText;
  setenv("MARABU_INDEX_SERVER", address.c_str(), 1);
  marabu::MarabuLibrary lib;
  Lines dax;
  const marabu::DownloadResult r = lib.DAXLaden(dax, wd.path().string());
  EXPECT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(dax.size(), 2u);

  // A second publisher cannot take the same port and says so.
  pid_t second = 0;
  ASSERT_EQ(start(second), 0);
  int status = 0;
  ASSERT_EQ(waitpid(second, &status, 0), second);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;

  ASSERT_EQ(kill(pid, SIGTERM), 0);
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  unsetenv("MARABU_INDEX_SERVER");
}

}  // namespace
