// The download exports against a scripted HTTP server on 127.0.0.1, through
// the shared library and its C++ wrapper.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "TestHttpServer.h"
#include "marabu/MarabuLibrary.h"
#include "platform/testing/TempDir.h"

namespace {

namespace fs = std::filesystem;
using marabu::ErrorKind;
using marabu::testing::Reply;
using marabu::testing::TestHttpServer;
using tellurio::testing::ReadAll;
using tellurio::testing::WriteAll;
using Lines = std::vector<std::string>;

constexpr const char* kVariables[] = {"MARABU_PUBLISHER",
                                      "MARABU_INDEX_SERVER",
                                      "MARABU_COMPARISON_SERVER",
                                      "MARABU_VENDOR_MARKER",
                                      "MARABU_CONNECT_TIMEOUT",
                                      "MARABU_TIMEOUT",
                                      "MARABU_CA_FILE",
                                      "http_proxy",
                                      "https_proxy",
                                      "HTTPS_PROXY",
                                      "no_proxy",
                                      "NO_PROXY"};

// Two price records in code page 1252 ("Ü" is byte 0xDC), lines ending CR LF.
const std::string kPriceBody =
    "Aktien \xDC"
    "bersee\r\n847001\r\n1,0500\r\nEuro\r\n05.03.2003\r\n12,34\r\n"
    "Renten Europa\r\n847002\r\n1,0300\r\nEuro\r\n05.03.2003\r\n45,60\r\n";
const Lines kPriceLines = {"Aktien Übersee", "847001", "1,0500", "Euro", "05.03.2003", "12,34",
                           "Renten Europa",  "847002", "1,0300", "Euro", "05.03.2003", "45,60"};

std::vector<fs::path> FilesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root));
  return files;
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = fs::current_path();
    setenv("XDG_CONFIG_HOME", (home_.path() / "config").c_str(), 1);
    for (const char* name : kVariables) unsetenv(name);
    // A generous limit, so that a fault shows as a failure and not as a hang.
    setenv("MARABU_TIMEOUT", "20", 1);
    MarabuTestHeuteSetzen(2003, 3, 5);
  }

  void TearDown() override {
    fs::current_path(original_);
    for (const char* name : kVariables) unsetenv(name);
    MarabuTestHeuteSetzen(0, 0, 0);
  }

  void PointAt(const std::string& address) {
    setenv("MARABU_PUBLISHER", address.c_str(), 1);
    setenv("MARABU_INDEX_SERVER", address.c_str(), 1);
    setenv("MARABU_COMPARISON_SERVER", address.c_str(), 1);
  }

  fs::path MonthDir(const std::string& provider, const std::string& year, const std::string& month) {
    const fs::path dir = wd_.path() / "Fondpreise" / provider / year / month;
    fs::create_directories(dir);
    return dir;
  }

  std::string wd() const { return wd_.path().string(); }

  marabu::DownloadResult LoadPrices(Lines& out, const std::string& webProvider = "Deka") {
    return lib_.FileAusInternetLaden(out, webProvider, "Meine Bank", wd());
  }

  tellurio::testing::TempDir wd_;
  tellurio::testing::TempDir home_;
  fs::path original_;
  marabu::MarabuLibrary lib_;
};

// --- Price files --------------------------------------------------------------

TEST_F(DownloadTest, PriceFileIsStoredInTheMonthDirectoryAndReturnedAsLines) {
  TestHttpServer server(TestHttpServer::Always({200, kPriceBody}));
  PointAt(server.address());
  const fs::path month = MonthDir("Meine Bank", "2003", "Maerz");
  fs::current_path("/");

  Lines out = {"alt"};
  const marabu::DownloadResult result = LoadPrices(out);

  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(server.targets(), Lines{"/Daten/Deka/05032003.txt"});
  EXPECT_EQ(ReadAll(month / "05032003.txt"), kPriceBody);  // byte for byte, still 1252
  EXPECT_EQ(out, kPriceLines);                             // UTF-8
  EXPECT_EQ(FilesUnder(wd_.path() / "Fondpreise"), std::vector<fs::path>{"Meine Bank/2003/Maerz/05032003.txt"});
  // The working directory is current again, wherever the process stood.
  EXPECT_EQ(fs::current_path(), fs::canonical(wd_.path()));
}

// The system's proxy settings: a server that is not loopback is asked
// through the proxy of http_proxy, unless no_proxy names it.
TEST_F(DownloadTest, ThePriceFileOfADayComesThroughTheProxyOfTheEnvironment) {
  TestHttpServer proxy(TestHttpServer::Always({200, kPriceBody}));
  setenv("http_proxy", ("http://" + proxy.address()).c_str(), 1);
  PointAt("kurse.example.invalid");
  MonthDir("Meine Bank", "2003", "Februar");
  Lines out;
  const marabu::DownloadResult r = lib_.FileVomTagAusInternetLaden(out, "Deka", "Meine Bank", wd(), "28.02.2003");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(proxy.targets(), Lines{"http://kurse.example.invalid/Daten/Deka/28022003.txt"});
  EXPECT_EQ(out, kPriceLines);
  EXPECT_EQ(ReadAll(wd_.path() / "Fondpreise/Meine Bank/2003/Februar/28022003.txt"), kPriceBody);

  // no_proxy: straight to the server, which does not exist.
  setenv("no_proxy", "example.invalid", 1);
  setenv("MARABU_CONNECT_TIMEOUT", "3", 1);
  const marabu::DownloadResult direct = lib_.FileVomTagAusInternetLaden(out, "Deka", "Meine Bank", wd(), "27.02.2003");
  unsetenv("no_proxy");
  EXPECT_FALSE(direct.ok());
  EXPECT_EQ(proxy.targets().size(), 1u);
  // A proxy that cannot be reached is named as such.
  setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(marabu::testing::UnusedPort())).c_str(), 1);
  const marabu::DownloadResult dead = lib_.FileVomTagAusInternetLaden(out, "Deka", "Meine Bank", wd(), "27.02.2003");
  unsetenv("http_proxy");
  EXPECT_EQ(dead.kind, ErrorKind::Connect) << dead.message;
  EXPECT_NE(dead.message.find("Über den Proxy-Server http://127.0.0.1:"), std::string::npos) << dead.message;
  EXPECT_NE(dead.message.find("Umgebungsvariable http_proxy"), std::string::npos) << dead.message;
}

TEST_F(DownloadTest, ThePriceFileOfADayGoesIntoItsOwnMonthAndA404IsReportedAsSuch) {
  TestHttpServer server([](const std::string& target) {
    return target == "/Daten/Deka/31122002.txt" ? Reply{200, kPriceBody} : Reply{404, "<html>fehlt</html>"};
  });
  PointAt(server.address());
  MonthDir("Meine Bank", "2002", "Dezember");
  Lines out;
  ASSERT_TRUE(lib_.FileVomTagAusInternetLaden(out, "Deka", "Meine Bank", wd(), "31.12.2002").ok());
  EXPECT_EQ(out, kPriceLines);
  const marabu::DownloadResult missing = lib_.FileVomTagAusInternetLaden(out, "Deka", "Meine Bank", wd(), "24.12.2002");
  EXPECT_EQ(missing.kind, ErrorKind::HttpStatus);
  EXPECT_EQ(missing.httpStatus, 404);
  EXPECT_NE(missing.message.find("Die Kursdatei vom 24.12.2002"), std::string::npos) << missing.message;
  EXPECT_TRUE(out.empty());
  // Dates that are none are refused before any request.
  for (const char* bad : {"31.02.2003", "1.3.2003", "05.03.03", "", "05.13.2003", "aa.bb.cccc"}) {
    const marabu::DownloadResult r = lib_.FileVomTagAusInternetLaden(out, "Deka", "Meine Bank", wd(), bad);
    EXPECT_EQ(r.kind, ErrorKind::Argument) << bad;
  }
  EXPECT_EQ(server.targets(), (Lines{"/Daten/Deka/31122002.txt", "/Daten/Deka/24122002.txt"}));
  EXPECT_EQ(FilesUnder(wd_.path() / "Fondpreise"), std::vector<fs::path>{"Meine Bank/2002/Dezember/31122002.txt"});
}

TEST_F(DownloadTest, OnTheFirstOfJanuaryTheFileGoesIntoTheNewYear) {
  MarabuTestHeuteSetzen(2004, 1, 1);
  TestHttpServer server(TestHttpServer::Always({200, kPriceBody}));
  PointAt(server.address());
  const fs::path january = MonthDir("Meine Bank", "2004", "Januar");
  MonthDir("Meine Bank", "2003", "Dezember");

  Lines out;
  ASSERT_TRUE(LoadPrices(out).ok());
  EXPECT_EQ(server.targets(), Lines{"/Daten/Deka/01012004.txt"});
  EXPECT_EQ(FilesUnder(wd_.path() / "Fondpreise"), std::vector<fs::path>{"Meine Bank/2004/Januar/01012004.txt"});
}

TEST_F(DownloadTest, EmptyBodyGivesAnEmptyFileAndAnEmptyList) {
  TestHttpServer server(TestHttpServer::Always({200, ""}));
  PointAt(server.address());
  const fs::path month = MonthDir("Meine Bank", "2003", "Maerz");

  Lines out = {"vorher", "da"};
  ASSERT_TRUE(LoadPrices(out).ok());
  EXPECT_TRUE(out.empty());
  ASSERT_TRUE(fs::exists(month / "05032003.txt"));
  EXPECT_EQ(fs::file_size(month / "05032003.txt"), 0u);
}

TEST_F(DownloadTest, BodyLargerThanOneChunkIsStoredWhole) {
  std::string body;
  size_t lines = 0;
  while (body.size() < 700001) {
    body += "Zeile " + std::to_string(lines++) + " mit etwas Text \xE4\xF6\xFC\r\n";
  }
  body += "letzte Zeile ohne Zeilenende";
  ++lines;
  TestHttpServer server(TestHttpServer::Always({200, body}));
  PointAt(server.address());
  const fs::path month = MonthDir("Meine Bank", "2003", "Maerz");

  Lines out;
  ASSERT_TRUE(LoadPrices(out).ok());
  EXPECT_EQ(ReadAll(month / "05032003.txt"), body);
  ASSERT_EQ(out.size(), lines);
  EXPECT_EQ(out.front(), "Zeile 0 mit etwas Text äöü");
  EXPECT_EQ(out.back(), "letzte Zeile ohne Zeilenende");
}

TEST_F(DownloadTest, ErrorStatusIsAFailureAndStoresNothing) {
  for (int status : {404, 500}) {
    SCOPED_TRACE(status);
    TestHttpServer server(TestHttpServer::Always({status, "<html>Fehlerseite\r\n1\r\n2\r\n</html>"}));
    PointAt(server.address());
    const fs::path month = MonthDir("Meine Bank", "2003", "Maerz");
    // An earlier download of the same day stays as it was.
    WriteAll(month / "05032003.txt", kPriceBody);

    Lines out = {"vorher"};
    const marabu::DownloadResult result = LoadPrices(out);

    EXPECT_EQ(result.kind, ErrorKind::HttpStatus);
    EXPECT_EQ(result.httpStatus, status);
    EXPECT_EQ(result.server, server.address());
    EXPECT_NE(result.message.find(server.address()), std::string::npos) << result.message;
    EXPECT_NE(result.message.find(std::to_string(status)), std::string::npos) << result.message;
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReadAll(month / "05032003.txt"), kPriceBody);
    EXPECT_EQ(FilesUnder(wd_.path() / "Fondpreise").size(), 1u);  // no stray temporary file
  }
}

TEST_F(DownloadTest, ServerThatNeverAnswersEndsWithTheTimeOut) {
  setenv("MARABU_TIMEOUT", "0,3", 1);
  TestHttpServer server(TestHttpServer::Always({200, "", Reply::Mode::NeverAnswer}));
  PointAt(server.address());
  MonthDir("Meine Bank", "2003", "Maerz");

  Lines out;
  const marabu::DownloadResult result = LoadPrices(out);
  EXPECT_EQ(result.kind, ErrorKind::Timeout);
  EXPECT_NE(result.message.find("0,3 s"), std::string::npos) << result.message;
  EXPECT_NE(result.message.find(server.address()), std::string::npos) << result.message;
  EXPECT_TRUE(FilesUnder(wd_.path() / "Fondpreise").empty());
  EXPECT_EQ(fs::current_path(), fs::canonical(wd_.path()));
}

TEST_F(DownloadTest, TransportFailuresAreReportedNotRaised) {
  MonthDir("Meine Bank", "2003", "Maerz");
  {
    const std::string address = "127.0.0.1:" + std::to_string(marabu::testing::UnusedPort());
    PointAt(address);
    Lines out;
    const marabu::DownloadResult result = LoadPrices(out);
    EXPECT_EQ(result.kind, ErrorKind::Connect);
    EXPECT_EQ(result.server, address);
    EXPECT_NE(result.message.find(address), std::string::npos) << result.message;
  }
  {
    TestHttpServer server(TestHttpServer::Always({200, "", Reply::Mode::CloseAtOnce}));
    PointAt(server.address());
    Lines out;
    EXPECT_EQ(LoadPrices(out).kind, ErrorKind::Receive);
  }
  EXPECT_TRUE(FilesUnder(wd_.path() / "Fondpreise").empty());
}

// Servers that answer wrongly: each failure says what happened, never that
// the configured address was invalid, and nothing is stored.
TEST_F(DownloadTest, MisbehavingServersAreNamedByWhatHappened) {
  MonthDir("Meine Bank", "2003", "Maerz");
  struct Case {
    const char* what;
    Reply reply;
    ErrorKind kind;
    const char* reason;
  };
  const std::string loopTarget = "/Daten/Deka/05032003.txt";
  const Case cases[] = {
      {"another service", {200, "SSH-2.0-OpenSSH_9.2\r\n", Reply::Mode::Raw}, ErrorKind::Receive, "keine HTTP-Antwort"},
      {"a broken status line",
       {200, "HTTP/1.1 2x0 Kaputt\r\nContent-Length: 2\r\n\r\nab", Reply::Mode::Raw},
       ErrorKind::Receive,
       "fehlerhaft"},
      {"closed without answer", {200, "", Reply::Mode::CloseAtOnce}, ErrorKind::Receive, "ohne zu antworten"},
      {"a redirect to ftp",
       {302, "", Reply::Mode::Answer, {"Location: ftp://127.0.0.1/Daten/Deka/05032003.txt"}},
       ErrorKind::Redirect,
       "weder mit \"http://\" noch mit \"https://\" beginnt"},
      {"a redirect loop",
       {302, "", Reply::Mode::Answer, {"Location: " + loopTarget}},
       ErrorKind::Redirect,
       "zu oft weitergeleitet"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestHttpServer server(TestHttpServer::Always(c.reply));
    PointAt(server.address());
    Lines out = {"alt"};
    const marabu::DownloadResult result = LoadPrices(out);
    EXPECT_EQ(result.kind, c.kind) << result.message;
    EXPECT_NE(result.message.find(c.reason), std::string::npos) << result.message;
    EXPECT_NE(result.message.find(server.address()), std::string::npos) << result.message;
    EXPECT_EQ(result.message.find("Adresse des Servers ist ungültig"), std::string::npos) << result.message;
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(FilesUnder(wd_.path() / "Fondpreise").empty());
  }
}

// Every download export, against a port where nothing listens and against a
// host name that does not exist: the failure comes back as a value that
// names the server, the caller's list is as the export promises, nothing is
// left in the working directory and it is current again.
TEST_F(DownloadTest, EveryDownloadReturnsTransportFailuresAsResults) {
  MonthDir("Meine Bank", "2003", "Maerz");
  setenv("MARABU_CONNECT_TIMEOUT", "3", 1);
  const std::string dead = "127.0.0.1:" + std::to_string(marabu::testing::UnusedPort());
  const std::string unknown = "marabu-test.invalid:80";

  for (const std::string& address : {dead, unknown}) {
    SCOPED_TRACE(address);
    PointAt(address);
    fs::current_path("/");
    const Lines held = {"04.03.2003", "4.100,00"};
    std::vector<std::pair<std::string, marabu::DownloadResult>> results;
    Lines prices = {"alt"};
    results.emplace_back("FileAusInternetLaden", LoadPrices(prices));
    EXPECT_TRUE(prices.empty());
    Lines portrait = held;
    results.emplace_back("FondportraitHolen", lib_.FondportraitHolen("972830", portrait, wd()));
    EXPECT_EQ(portrait, held);
    Lines dax = held;
    results.emplace_back("DAXLaden", lib_.DAXLaden(dax, wd()));
    EXPECT_EQ(dax, held);
    Lines comparison = held;
    results.emplace_back("KonkurrenzHolen", lib_.KonkurrenzHolen("847450", comparison, wd(), 1));
    EXPECT_EQ(comparison, held);

    for (const auto& [name, result] : results) {
      SCOPED_TRACE(name);
      if (address == unknown && result.kind == ErrorKind::Timeout)
        GTEST_SKIP() << "the name service gave no answer within the time limit";
      EXPECT_EQ(result.kind, address == dead ? ErrorKind::Connect : ErrorKind::Host);
      EXPECT_EQ(result.server, address);
      EXPECT_NE(result.message.find(address), std::string::npos) << result.message;
      EXPECT_EQ(result.httpStatus, 0);
    }
    EXPECT_EQ(FilesUnder(wd_.path()), std::vector<fs::path>{});
    EXPECT_EQ(fs::current_path(), fs::canonical(wd_.path()));
  }
}

TEST_F(DownloadTest, MissingWorkingDirectoryLeavesTheProcessWhereItStood) {
  TestHttpServer server(TestHttpServer::Always({200, kPriceBody}));
  PointAt(server.address());
  const fs::path here = fs::canonical(home_.path());
  fs::current_path(here);
  const std::string missing = (wd_.path() / "gibt-es-nicht").string();

  Lines out = {"alt"};
  const marabu::DownloadResult prices = lib_.FileAusInternetLaden(out, "Deka", "Meine Bank", missing);
  EXPECT_EQ(prices.kind, ErrorKind::File);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(lib_.FondportraitHolen("972830", out, missing).kind, ErrorKind::File);
  EXPECT_EQ(fs::current_path(), here);
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(DownloadTest, MissingMonthDirectoryIsAFileError) {
  TestHttpServer server(TestHttpServer::Always({200, kPriceBody}));
  PointAt(server.address());
  MonthDir("Meine Bank", "2003", "Februar");

  Lines out;
  const marabu::DownloadResult result = LoadPrices(out);
  EXPECT_EQ(result.kind, ErrorKind::File);
  EXPECT_EQ(result.systemError, ENOENT);
  EXPECT_NE(result.message.find("Maerz"), std::string::npos) << result.message;
  EXPECT_NE(result.message.find(server.address()), std::string::npos) << result.message;
  EXPECT_TRUE(FilesUnder(wd_.path()).empty());
}

TEST_F(DownloadTest, FailedWriteIsAFileErrorAndLeavesNoFile) {
  const std::string body(200000, 'x');
  TestHttpServer server(TestHttpServer::Always({200, body}));
  PointAt(server.address());
  const fs::path month = MonthDir("Meine Bank", "2003", "Maerz");

  // Files of this process may not grow beyond 64 KiB while the download runs.
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 65536;
  auto* const oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Lines out;
  const marabu::DownloadResult result = LoadPrices(out);
  setrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result.kind, ErrorKind::File);
  EXPECT_EQ(result.systemError, EFBIG);
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(FilesUnder(month).empty());
}

TEST_F(DownloadTest, UnknownWebProviderRequestsTheRootDocument) {
  TestHttpServer server(TestHttpServer::Always({200, ""}));
  PointAt(server.address());
  MonthDir("Meine Bank", "2003", "Maerz");
  Lines out;
  ASSERT_TRUE(LoadPrices(out, "Gibt es nicht").ok());
  EXPECT_EQ(server.targets(), Lines{"/"});
}

TEST_F(DownloadTest, CInterfaceFillsTheCallersErrorRecord) {
  TestHttpServer server(TestHttpServer::Always({404, "nicht da"}));
  PointAt(server.address());
  MonthDir("Meine Bank", "2003", "Maerz");

  // A list of the caller's own making, reached only through the table.
  struct CList {
    Lines items;
  } list;
  MarabuStringList table{};
  table.self = &list;
  table.clear = [](void* self) { static_cast<CList*>(self)->items.clear(); };
  table.append = [](void* self, const char* data, size_t length) {
    static_cast<CList*>(self)->items.emplace_back(data, length);
  };
  MarabuError error;
  std::memset(&error, 'x', sizeof error);
  const std::string provider = "Deka", directory = "Meine Bank", dir = wd();
  const int status = FileAusInternetLaden(&table, provider.data(), provider.size(), directory.data(), directory.size(),
                                          dir.data(), dir.size(), &error);
  EXPECT_EQ(status, MARABU_ERROR_HTTP_STATUS);
  EXPECT_EQ(error.kind, MARABU_ERROR_HTTP_STATUS);
  EXPECT_EQ(error.httpStatus, 404);
  EXPECT_EQ(error.systemError, 0);
  EXPECT_STREQ(error.server, server.address().c_str());
  ASSERT_NE(std::memchr(error.message, '\0', sizeof error.message), nullptr);
  EXPECT_NE(std::string(error.message).find("404 (nicht gefunden)"), std::string::npos);

  // A missing working directory or list is refused before any request.
  EXPECT_EQ(FileAusInternetLaden(&table, provider.data(), provider.size(), directory.data(), directory.size(), nullptr,
                                 0, &error),
            MARABU_ERROR_ARGUMENT);
  EXPECT_EQ(FileAusInternetLaden(nullptr, provider.data(), provider.size(), directory.data(), directory.size(),
                                 dir.data(), dir.size(), nullptr),
            MARABU_ERROR_ARGUMENT);
  EXPECT_EQ(server.targets().size(), 1u);
}

// --- Configuration --------------------------------------------------------------

TEST_F(DownloadTest, ServersComeFromFilesAndTheEnvironment) {
  TestHttpServer server(TestHttpServer::Always({200, kPriceBody}));
  MonthDir("Meine Bank", "2003", "Maerz");
  const std::string dead = "127.0.0.1:" + std::to_string(marabu::testing::UnusedPort());
  const fs::path userFile = home_.path() / "config" / "Vaskor" / "marabu.conf";
  fs::create_directories(userFile.parent_path());
  Lines out;

  // The user's file alone.
  WriteAll(userFile, "# Testserver\npublisher = " + server.address() + "\n");
  EXPECT_TRUE(LoadPrices(out).ok());

  // The working directory's file overrides the user's.
  WriteAll(wd_.path() / "marabu.conf", "publisher=" + dead + "\n");
  EXPECT_EQ(LoadPrices(out).kind, ErrorKind::Connect);

  // The environment overrides both.
  setenv("MARABU_PUBLISHER", server.address().c_str(), 1);
  EXPECT_TRUE(LoadPrices(out).ok());
  EXPECT_EQ(server.targets().size(), 2u);
}

TEST_F(DownloadTest, InvalidConfigurationIsReportedWithItsPlace) {
  TestHttpServer server(TestHttpServer::Always({200, kPriceBody}));
  PointAt(server.address());
  MonthDir("Meine Bank", "2003", "Maerz");
  WriteAll(wd_.path() / "marabu.conf", "\n; Kommentar\ntimeout = bald\n");

  Lines out;
  const marabu::DownloadResult result = LoadPrices(out);
  EXPECT_EQ(result.kind, ErrorKind::Configuration);
  EXPECT_NE(result.message.find("marabu.conf, Zeile 3"), std::string::npos) << result.message;
  EXPECT_TRUE(server.targets().empty());
}

// --- Portrait file ----------------------------------------------------------------

TEST_F(DownloadTest, PortraitFileIsStoredAndTheListLeftAlone) {
  const std::string body = "DekaFonds\r\nDeka Investment\r\n847450\r\nFondsw\xE4hrung\r\n";
  TestHttpServer server(TestHttpServer::Always({200, body}));
  PointAt(server.address());

  Lines list = {"bleibt", "wie es ist"};
  ASSERT_TRUE(lib_.FondportraitHolen("972830", list, wd()).ok());
  EXPECT_EQ(server.targets(), Lines{"/Daten/portrait.txt"});
  EXPECT_EQ(ReadAll(wd_.path() / "portrait.txt"), body);
  EXPECT_EQ(list, (Lines{"bleibt", "wie es ist"}));
}

TEST_F(DownloadTest, FailedPortraitDownloadKeepsTheOldFile) {
  TestHttpServer server(TestHttpServer::Always({500, "kaputt"}));
  PointAt(server.address());
  WriteAll(wd_.path() / "portrait.txt", "alt\r\n");
  Lines list;
  EXPECT_EQ(lib_.FondportraitHolen("972830", list, wd()).kind, ErrorKind::HttpStatus);
  EXPECT_EQ(ReadAll(wd_.path() / "portrait.txt"), "alt\r\n");
}

// --- DAX ----------------------------------------------------------------------------

TEST_F(DownloadTest, DaxValueIsAppendedBehindWhatTheListHeld) {
  const std::string page = "<html>\r\n<td class=\"ak_dax_stand\"><span>\r\n4.123,45</span></td>\r\n</html>\r\n";
  TestHttpServer server(TestHttpServer::Always({200, page}));
  PointAt(server.address());

  Lines dax = {"04.03.2003", "4.100,00"};
  ASSERT_TRUE(lib_.DAXLaden(dax, wd()).ok());
  EXPECT_EQ(server.targets(), Lines{"/home/index.html"});
  EXPECT_EQ(dax, (Lines{"04.03.2003", "4.100,00", "05.03.2003", "4.123,45"}));
  EXPECT_EQ(ReadAll(wd_.path() / "dax1.html"), page);
}

TEST_F(DownloadTest, DaxPageWithoutValueAppendsNothing) {
  const std::vector<std::string> pages = {
      "<html>\r\n<td>DAX</td>\r\n4.123,45</td>\r\n",           // no marker
      "<html>\r\n<td class=\"ak_dax_stand\">",                 // marker on the last line
      "<td class=\"ak_dax_stand\">\r\n4.123,45 ohne Tag\r\n",  // no "<": empty value
      ""};                                                     // no bytes at all
  for (const std::string& page : pages) {
    SCOPED_TRACE(page);
    TestHttpServer server(TestHttpServer::Always({200, page}));
    PointAt(server.address());
    Lines dax = {"04.03.2003", "4.100,00"};
    EXPECT_TRUE(lib_.DAXLaden(dax, wd()).ok());
    EXPECT_EQ(dax, (Lines{"04.03.2003", "4.100,00"}));
  }
}

TEST_F(DownloadTest, FailedDaxDownloadLeavesListAndDirectory) {
  TestHttpServer server(TestHttpServer::Always({404, "weg"}));
  PointAt(server.address());
  Lines dax = {"04.03.2003", "4.100,00"};
  const marabu::DownloadResult result = lib_.DAXLaden(dax, wd());
  EXPECT_EQ(result.kind, ErrorKind::HttpStatus);
  EXPECT_EQ(dax, (Lines{"04.03.2003", "4.100,00"}));
  EXPECT_TRUE(FilesUnder(wd_.path()).empty());
}

// --- Comparison pages -------------------------------------------------------------

TEST_F(DownloadTest, KonkurrenzHolenRequestsTheModesPathAndConvertsTheAnswer) {
  TestHttpServer server([](const std::string& target) {
    if (target.find("wertentwicklung.hbs") != std::string::npos)
      return Reply{200, "<html>\r\nchart(847450,1.5,2.5;0.5,1.0)\r\n</html>\r\n"};
    return Reply{200, "<html>\r\nchart(847450,1,2;3,4;5,6)\r\n</html>\r\n"};
  });
  PointAt(server.address());

  Lines out = {"alt"};
  ASSERT_TRUE(lib_.KonkurrenzHolen("847450", out, wd(), 0).ok());
  EXPECT_EQ(out, (Lines{"1.5", "2.5", "0.5", "1.0"}));
  EXPECT_FALSE(fs::exists(wd_.path() / "testi.txt"));

  for (int mode : {1, 7}) {
    ASSERT_TRUE(lib_.KonkurrenzHolen("847450", out, wd(), mode).ok());
    EXPECT_EQ(out, (Lines{"1", "2", "3", "4", "5", "6"}));
  }
  EXPECT_EQ(server.targets(), (Lines{"/fondsportrait/popchart/wertentwicklung.hbs?wkn=847450",
                                     "/fondsportrait/popchart/konkurenz.hbs?wkn=847450",
                                     "/fondsportrait/popchart/konkurenz.hbs?wkn=847450"}));
  EXPECT_EQ(fs::current_path(), fs::canonical(wd_.path()));
}

TEST_F(DownloadTest, KonkurrenzHolenWithAnEmptyAnswerKeepsTheList) {
  TestHttpServer server(TestHttpServer::Always({200, ""}));
  PointAt(server.address());
  Lines out = {"bleibt"};
  ASSERT_TRUE(lib_.KonkurrenzHolen("84 7ä", out, wd(), 0).ok());
  EXPECT_EQ(out, Lines{"bleibt"});
  // The fund number travels percent-encoded in code page 1252.
  EXPECT_EQ(server.targets(), Lines{"/fondsportrait/popchart/wertentwicklung.hbs?wkn=84%207%E4"});
  ASSERT_TRUE(fs::exists(wd_.path() / "testi.txt"));
  EXPECT_EQ(fs::file_size(wd_.path() / "testi.txt"), 0u);
}

// --- Working directory --------------------------------------------------------------

TEST_F(DownloadTest, ArbeitsverzeichnisEinstellenEntersThePathComponentByComponent) {
  fs::create_directories(wd_.path() / "innen");
  const fs::path base = fs::canonical(wd_.path());

  lib_.ArbeitsverzeichnisEinstellen(base.string());
  EXPECT_EQ(fs::current_path(), base);
  lib_.ArbeitsverzeichnisEinstellen(base.string());
  EXPECT_EQ(fs::current_path(), base);

  // A component that cannot be entered is skipped; the next one is tried from
  // where the process stands.
  lib_.ArbeitsverzeichnisEinstellen((base / "fehlt" / "innen").string());
  EXPECT_EQ(fs::current_path(), base / "innen");

  fs::current_path(base / "innen");
  lib_.ArbeitsverzeichnisEinstellen("..");
  EXPECT_EQ(fs::current_path(), base);
}

}  // namespace
