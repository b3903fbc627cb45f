// The library's inner parts: configuration sources and values, the mapping
// of transfer failures to kinds and German texts, the staged target file,
// and the line search under the page parsers.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <curl/curl.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Configuration.h"
#include "HttpFetch.h"
#include "LineSearch.h"
#include "PageParsers.h"
#include "StagedFile.h"
#include "Text.h"
#include "WorkingDirectory.h"
#include "marabu/Marabu.h"
#include "marabu/MarabuClient.h"
#include "platform/testing/TempDir.h"

namespace {

namespace fs = std::filesystem;
using tellurio::testing::ReadAll;
using tellurio::testing::TempDir;
using tellurio::testing::WriteAll;

// --- Configuration ------------------------------------------------------------

class FakeEnvironment {
 public:
  std::map<std::string, std::string> values;
  marabu::EnvironmentLookup lookup() const {
    return [this](const char* name) -> const char* {
      const auto it = values.find(name);
      return it == values.end() ? nullptr : it->second.c_str();
    };
  }
};

TEST(ConfigurationTest, ServerAddresses) {
  marabu::ServerAddress a;
  ASSERT_TRUE(marabu::ParseServerAddress(" kurse.example.de ", a));
  EXPECT_EQ(a.host, "kurse.example.de");
  EXPECT_EQ(a.port, 80);
  ASSERT_TRUE(marabu::ParseServerAddress("127.0.0.1:8080", a));
  EXPECT_EQ(a.Text(), "127.0.0.1:8080");
  EXPECT_EQ(a.UrlPrefix(), "http://127.0.0.1:8080");
  ASSERT_TRUE(marabu::ParseServerAddress("[::1]:81", a));
  EXPECT_EQ(a.host, "::1");
  EXPECT_EQ(a.Text(), "[::1]:81");

  // A refused text leaves the address as it was.
  const marabu::ServerAddress before = a;
  for (const char* bad :
       {"", ":80", "host:", "host:0", "host:65536", "host:8a", "ho st", "host/pfad", "ftp://host", "https://",
        "https://host/pfad", "https://host:0", "https//host", "[::1", "[::1]x", "[zz]:80", "h:1:2"}) {
    EXPECT_FALSE(marabu::ParseServerAddress(bad, a)) << bad;
    EXPECT_EQ(a.Text(), before.Text()) << bad;
  }
}

TEST(ConfigurationTest, HttpsAddressesTakePort443UnlessGiven) {
  marabu::ServerAddress a;
  ASSERT_TRUE(marabu::ParseServerAddress("https://kurse.example.de", a));
  EXPECT_TRUE(a.https);
  EXPECT_EQ(a.UrlPrefix(), "https://kurse.example.de:443");
  ASSERT_TRUE(marabu::ParseServerAddress(" HTTPS://127.0.0.1:4443/ ", a));
  EXPECT_EQ(a.UrlPrefix(), "https://127.0.0.1:4443");
  EXPECT_EQ(a.Text(), "127.0.0.1:4443");
  ASSERT_TRUE(marabu::ParseServerAddress("https://[::1]:8443", a));
  EXPECT_EQ(a.UrlPrefix(), "https://[::1]:8443");
  // "http://" says what no scheme says.
  ASSERT_TRUE(marabu::ParseServerAddress("http://kurse.example.de", a));
  EXPECT_FALSE(a.https);
  EXPECT_EQ(a.UrlPrefix(), "http://kurse.example.de:80");
}

TEST(ConfigurationTest, CaFileMustBeAnAbsolutePath) {
  marabu::LoadedConfiguration c;
  marabu::ApplyConfigurationText("ca_file = /etc/ssl/test/ca.pem\n", "marabu.conf", c);
  EXPECT_EQ(c.problem, "");
  EXPECT_EQ(c.values.caFile, "/etc/ssl/test/ca.pem");
  marabu::ApplyConfigurationText("ca_file = ca.pem\n", "marabu.conf", c);
  EXPECT_NE(c.problem.find("ungültiger Wert \"ca.pem\" für ca_file"), std::string::npos) << c.problem;
  EXPECT_EQ(c.values.caFile, "/etc/ssl/test/ca.pem");
}

// The proxy of a request, as the environment names it.
TEST(ProxyTest, TheSchemeChoosesTheVariableAndNoProxyAndLoopbackGoDirect) {
  std::map<std::string, std::string> env;
  const marabu::ProxyEnvironment lookup = [&env](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  std::string variable;
  EXPECT_EQ(marabu::ProxyFor(false, "kurse.example.de", lookup, &variable), "");
  env["http_proxy"] = "http://proxy.intern:3128";
  env["HTTPS_PROXY"] = "http://sicher.intern:3128";
  EXPECT_EQ(marabu::ProxyFor(false, "kurse.example.de", lookup, &variable), "http://proxy.intern:3128");
  EXPECT_EQ(variable, "http_proxy");
  EXPECT_EQ(marabu::ProxyFor(true, "kurse.example.de", lookup, &variable), "http://sicher.intern:3128");
  EXPECT_EQ(variable, "HTTPS_PROXY");
  env["https_proxy"] = "http://klein.intern:8080";
  EXPECT_EQ(marabu::ProxyFor(true, "kurse.example.de", lookup), "http://klein.intern:8080");
  // The upper-case HTTP_PROXY is not taken (it may come from a request).
  env.erase("http_proxy");
  env["HTTP_PROXY"] = "http://fremd:1";
  EXPECT_EQ(marabu::ProxyFor(false, "kurse.example.de", lookup), "");
  env["http_proxy"] = "http://proxy.intern:3128";
  // Loopback never goes through a proxy.
  for (const char* host : {"localhost", "127.0.0.1", "127.8.9.1", "::1"})
    EXPECT_EQ(marabu::ProxyFor(false, host, lookup), "") << host;
  // no_proxy: hosts and domains, with or without a leading dot, any case.
  env["no_proxy"] = "intern.example, .Boerse.example kurse.example.de";
  EXPECT_EQ(marabu::ProxyFor(false, "kurse.example.de", lookup), "");
  EXPECT_EQ(marabu::ProxyFor(false, "KURSE.example.de", lookup), "");
  EXPECT_EQ(marabu::ProxyFor(false, "a.boerse.example", lookup), "");
  EXPECT_EQ(marabu::ProxyFor(true, "x.intern.example", lookup), "");
  EXPECT_EQ(marabu::ProxyFor(false, "nichtintern.example", lookup), "http://proxy.intern:3128");
  EXPECT_EQ(marabu::ProxyFor(false, "example.de", lookup), "http://proxy.intern:3128");
  env.erase("no_proxy");
  env["NO_PROXY"] = "*";
  EXPECT_EQ(marabu::ProxyFor(true, "kurse.example.de", lookup), "");
}

TEST(RedirectTest, OnlyHttpToHttpsOfTheSameHostChangesTheScheme) {
  std::string reason;
  EXPECT_TRUE(marabu::RedirectAllowed("http://kurse.example/a", "http://anders.example/b", reason));
  EXPECT_TRUE(marabu::RedirectAllowed("http://kurse.example/a", "https://KURSE.example:8443/a", reason));
  EXPECT_TRUE(marabu::RedirectAllowed("https://kurse.example/a", "https://anders.example/b", reason));
  EXPECT_FALSE(marabu::RedirectAllowed("https://kurse.example/a", "http://kurse.example/a", reason));
  EXPECT_NE(reason.find("unverschlüsselte (http)"), std::string::npos) << reason;
  EXPECT_FALSE(marabu::RedirectAllowed("http://kurse.example/a", "https://anders.example/a", reason));
  EXPECT_NE(reason.find("\"anders.example\""), std::string::npos) << reason;
  EXPECT_FALSE(marabu::RedirectAllowed("http://kurse.example/a", "ftp://kurse.example/a", reason));
  EXPECT_NE(reason.find("weder mit"), std::string::npos) << reason;
}

TEST(ConfigurationTest, SecondsAcceptPointOrCommaWithinAnHour) {
  long ms = 0;
  ASSERT_TRUE(marabu::ParseSeconds("5", ms));
  EXPECT_EQ(ms, 5000);
  ASSERT_TRUE(marabu::ParseSeconds(" 0,3 ", ms));
  EXPECT_EQ(ms, 300);
  ASSERT_TRUE(marabu::ParseSeconds("1.25", ms));
  EXPECT_EQ(ms, 1250);
  ASSERT_TRUE(marabu::ParseSeconds("3600", ms));
  EXPECT_EQ(ms, 3600000);
  // Digits beyond milliseconds are dropped, not rounded.
  ASSERT_TRUE(marabu::ParseSeconds("0,0019", ms));
  EXPECT_EQ(ms, 1);
  for (const char* bad : {"", "0", "0,0", "0,0004", "-1", "3601", "99999999999999999999", "5s", "1,2,3", ",", "zehn"}) {
    ms = 42;
    EXPECT_FALSE(marabu::ParseSeconds(bad, ms)) << bad;
    EXPECT_EQ(ms, 42) << bad;
  }
}

TEST(ConfigurationTest, DefaultsAreUsedWithoutFilesOrVariables) {
  FakeEnvironment env;
  const marabu::LoadedConfiguration c = marabu::LoadConfiguration({}, env.lookup());
  const marabu::Configuration defaults;
  EXPECT_EQ(c.problem, "");
  EXPECT_EQ(c.values.publisher.Text(), defaults.publisher.Text());
  EXPECT_EQ(c.values.indexServer.Text(), defaults.indexServer.Text());
  EXPECT_EQ(c.values.comparisonServer.Text(), defaults.comparisonServer.Text());
  EXPECT_EQ(c.values.vendorMarker, defaults.vendorMarker);
  // Limits of seconds, not minutes.
  EXPECT_GT(defaults.connectTimeoutMs, 0);
  EXPECT_LE(defaults.connectTimeoutMs, 10000);
  EXPECT_LE(defaults.totalTimeoutMs, 60000);
}

TEST(ConfigurationTest, LaterSourcesOverrideEarlierOnesKeyByKey) {
  TempDir dir;
  FakeEnvironment env;
  env.values["XDG_CONFIG_HOME"] = (dir.path() / "xdg").string();
  fs::create_directories(dir.path() / "xdg" / "Vaskor");
  fs::create_directories(dir.path() / "wd");
  WriteAll(dir.path() / "xdg" / "Vaskor" / "marabu.conf",
           "publisher = benutzer.example:81\r\nindex_server = index.example\r\n"
           "vendor_marker = anbieter.\r\ntimeout = 12\r\n");
  WriteAll(dir.path() / "wd" / "marabu.conf",
           "# Arbeitsverzeichnis\nindex_server = wd.example:82\nconnect_timeout=2,5\n");
  env.values["MARABU_PUBLISHER"] = "umgebung.example:83";
  env.values["MARABU_VENDOR_MARKER"] = "";

  const marabu::LoadedConfiguration c = marabu::LoadConfiguration(dir.path() / "wd", env.lookup());
  EXPECT_EQ(c.problem, "");
  EXPECT_EQ(c.values.publisher.Text(), "umgebung.example:83");
  EXPECT_EQ(c.values.indexServer.Text(), "wd.example:82");
  EXPECT_EQ(c.values.comparisonServer.Text(), marabu::Configuration().comparisonServer.Text());
  // An empty marker is allowed: it switches the vendor page kind off.
  EXPECT_EQ(c.values.vendorMarker, "");
  EXPECT_EQ(c.values.connectTimeoutMs, 2500);
  EXPECT_EQ(c.values.totalTimeoutMs, 12000);
}

// A configuration file that is a pipe is not waited on, and one that cannot
// be read is named instead of silently leaving the defaults in force.
TEST(ConfigurationTest, AFileThatCannotBeReadIsAProblemAndNotAWait) {
  TempDir dir;
  FakeEnvironment env;
  env.values["XDG_CONFIG_HOME"] = (dir.path() / "xdg").string();
  fs::create_directories(dir.path() / "wd");
  ASSERT_EQ(::mkfifo((dir.path() / "wd" / "marabu.conf").c_str(), 0600), 0);
  const marabu::LoadedConfiguration c = marabu::LoadConfiguration(dir.path() / "wd", env.lookup());
  EXPECT_NE(c.problem.find("marabu.conf"), std::string::npos) << c.problem;
  EXPECT_NE(c.problem.find("keine gewöhnliche Datei"), std::string::npos) << c.problem;
  EXPECT_EQ(c.values.publisher.Text(), marabu::Configuration().publisher.Text());
}

TEST(ConfigurationTest, UserFileFallsBackToHome) {
  FakeEnvironment env;
  EXPECT_EQ(marabu::UserConfigurationFile(env.lookup()), fs::path());
  env.values["HOME"] = "/home/anna";
  EXPECT_EQ(marabu::UserConfigurationFile(env.lookup()), fs::path("/home/anna/.config/Vaskor/marabu.conf"));
  env.values["XDG_CONFIG_HOME"] = "";
  EXPECT_EQ(marabu::UserConfigurationFile(env.lookup()), fs::path("/home/anna/.config/Vaskor/marabu.conf"));
  env.values["XDG_CONFIG_HOME"] = "/etc/xdg-anna";
  EXPECT_EQ(marabu::UserConfigurationFile(env.lookup()), fs::path("/etc/xdg-anna/Vaskor/marabu.conf"));
}

TEST(ConfigurationTest, FirstProblemIsReportedAndTheBadEntrySkipped) {
  marabu::LoadedConfiguration c;
  marabu::ApplyConfigurationText(
      "publisher = gut.example\n"
      "nur ein Wort\n"
      "timeout = nie\n"
      "unbekannt = 1\n"
      "comparison_server = vergleich.example:8000\n",
      "marabu.conf", c);
  EXPECT_EQ(c.problem, "marabu.conf, Zeile 2: \"Schlüssel = Wert\" erwartet.");
  EXPECT_EQ(c.values.publisher.Text(), "gut.example:80");
  EXPECT_EQ(c.values.totalTimeoutMs, marabu::Configuration().totalTimeoutMs);
  EXPECT_EQ(c.values.comparisonServer.Text(), "vergleich.example:8000");

  marabu::LoadedConfiguration d;
  marabu::ApplyConfigurationText("timeout = nie", "x.conf", d);
  EXPECT_EQ(d.problem, "x.conf, Zeile 1: ungültiger Wert \"nie\" für timeout.");
  marabu::LoadedConfiguration e;
  marabu::ApplyConfigurationText("; nur Kommentar\n\n  \nTimeout = 5", "y.conf", e);
  EXPECT_EQ(e.problem, "y.conf, Zeile 4: unbekannter Schlüssel \"Timeout\".");

  FakeEnvironment env;
  env.values["MARABU_TIMEOUT"] = "lange";
  EXPECT_EQ(marabu::LoadConfiguration({}, env.lookup()).problem,
            "Umgebungsvariable MARABU_TIMEOUT: ungültiger Wert \"lange\".");
}

// --- Failure kinds and texts ------------------------------------------------------

TEST(TransferErrorTest, CurlResultsMapToTheKindsTheCallerSees) {
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_OK, true), MARABU_OK);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_COULDNT_RESOLVE_HOST, false), MARABU_ERROR_HOST);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_COULDNT_CONNECT, false), MARABU_ERROR_CONNECT);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_OPERATION_TIMEDOUT, true), MARABU_ERROR_TIMEOUT);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_SEND_ERROR, true), MARABU_ERROR_SEND);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_WRITE_ERROR, true), MARABU_ERROR_FILE);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_OUT_OF_MEMORY, true), MARABU_ERROR_INTERNAL);
  // Anything else is a broken answer once connected, and no connection before.
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_GOT_NOTHING, true), MARABU_ERROR_RECEIVE);
  EXPECT_EQ(marabu::KindOfTransferError(CURLE_RECV_ERROR, false), MARABU_ERROR_CONNECT);
}

TEST(TransferErrorTest, AnswersThatAreNoProperHttpAreToldApartFromABadAddress) {
  using marabu::TransferCause;
  // A status line libcurl cannot read, once connected.
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_UNSUPPORTED_PROTOCOL, true, 0), TransferCause::BadAnswer);
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_WEIRD_SERVER_REPLY, true, 200), TransferCause::BadAnswer);
  // After a 3xx the address was the server's: a refused redirect.
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_UNSUPPORTED_PROTOCOL, true, 302), TransferCause::RedirectRefused);
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_URL_MALFORMAT, true, 301), TransferCause::RedirectRefused);
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_TOO_MANY_REDIRECTS, true, 302), TransferCause::TooManyRedirects);
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_GOT_NOTHING, true, 0), TransferCause::NoAnswer);
  // Only before any connection is an unsupported protocol the address's fault.
  EXPECT_EQ(marabu::CauseOfTransferError(CURLE_UNSUPPORTED_PROTOCOL, false, 0), TransferCause::Configuration);
  EXPECT_EQ(marabu::KindOfCause(TransferCause::RedirectRefused), MARABU_ERROR_REDIRECT);
  EXPECT_EQ(marabu::KindOfCause(TransferCause::TooManyRedirects), MARABU_ERROR_REDIRECT);
  EXPECT_EQ(marabu::KindOfCause(TransferCause::NotHttp), MARABU_ERROR_RECEIVE);
  EXPECT_EQ(marabu::KindOfCause(TransferCause::BadAnswer), MARABU_ERROR_RECEIVE);
  EXPECT_NE(marabu::ReasonOfCause(TransferCause::TooManyRedirects, true, 1, 1, "h").find("mehr als 5"),
            std::string::npos);
}

// The program's side of the boundary never throws: an internal failure of
// an export (or an out-of-memory list on the program's side) is a result
// with a German text the program shows as "Fehler".
TEST(TransferErrorTest, InternalFailuresOfTheLibraryReachTheProgramAsResults) {
  for (int status : {static_cast<int>(MARABU_ERROR_INTERNAL), 77}) {
    marabu::DownloadResult r;
    EXPECT_NO_THROW(r = marabu::detail::PlainResultOf(status, false));
    EXPECT_EQ(r.kind, marabu::ErrorKind::Internal);
    EXPECT_NE(r.message.find("internen Fehler"), std::string::npos) << r.message;
  }
  EXPECT_TRUE(marabu::detail::PlainResultOf(MARABU_OK, false).ok());
  EXPECT_EQ(marabu::detail::PlainResultOf(MARABU_OK, true).kind, marabu::ErrorKind::Internal);
  MarabuError error{};
  EXPECT_EQ(marabu::detail::ResultOf(MARABU_OK, error, true).kind, marabu::ErrorKind::Internal);
  // An internal failure without a text of the library still gets one.
  EXPECT_FALSE(marabu::detail::ResultOf(MARABU_ERROR_INTERNAL, error).message.empty());
}

TEST(TransferErrorTest, ReasonsNameTheLimitThatWasReached) {
  EXPECT_EQ(marabu::ReasonOfTransferError(MARABU_ERROR_TIMEOUT, false, 2500, 30000, "h"),
            "Der Verbindungsaufbau dauerte länger als 2,5 s (Zeitlimit überschritten).");
  EXPECT_EQ(marabu::ReasonOfTransferError(MARABU_ERROR_TIMEOUT, true, 2500, 30000, "h"),
            "Der Server hat nicht innerhalb von 30 s geantwortet (Zeitlimit überschritten).");
  EXPECT_NE(marabu::ReasonOfTransferError(MARABU_ERROR_HOST, false, 1, 1, "kurse.example").find("\"kurse.example\""),
            std::string::npos);
  EXPECT_EQ(marabu::DescribeHttpStatus(404), "404 (nicht gefunden)");
  EXPECT_EQ(marabu::DescribeHttpStatus(503), "503 (Dienst nicht verfügbar)");
  EXPECT_EQ(marabu::DescribeHttpStatus(302), "302 (Weiterleitung ohne erreichbares Ziel)");
  EXPECT_EQ(marabu::DescribeHttpStatus(418), "418");
  EXPECT_EQ(marabu::DownloadMessage("Die Kursdatei", "h:80", "Grund."),
            "Die Kursdatei konnte nicht vom Server h:80 geladen werden: Grund.");
}

TEST(TransferErrorTest, PercentEncodingKeepsOnlyUnreservedCharacters) {
  EXPECT_EQ(marabu::PercentEncode("847450"), "847450");
  EXPECT_EQ(marabu::PercentEncode("a-b_c.d~"), "a-b_c.d~");
  EXPECT_EQ(marabu::PercentEncode("a b&c=d/\xE4?#"), "a%20b%26c%3Dd%2F%E4%3F%23");
  EXPECT_EQ(marabu::PercentEncode(std::string("\0", 1)), "%00");
}

TEST(TransferErrorTest, UnreachableServerIsAnErrorValue) {
  // Port 9 of an address that nothing on this machine listens to: whatever
  // the network looks like, the fetch returns within its limits.
  TempDir dir;
  marabu::FetchRequest request;
  request.server = {"127.0.0.1", 9};
  request.path = "/x";
  request.target = dir.path() / "ziel.txt";
  request.connectTimeoutMs = 2000;
  request.totalTimeoutMs = 4000;
  request.subject = "Die Testdatei";
  const marabu::FetchOutcome outcome = marabu::FetchToFile(request);
  EXPECT_EQ(outcome.error.kind, MARABU_ERROR_CONNECT);
  EXPECT_EQ(outcome.error.server, "127.0.0.1:9");
  EXPECT_EQ(outcome.error.message.rfind("Die Testdatei konnte nicht vom Server 127.0.0.1:9", 0), 0u)
      << outcome.error.message;
  EXPECT_FALSE(fs::exists(request.target));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

// --- Staged file ----------------------------------------------------------------

TEST(StagedFileTest, TargetChangesOnlyOnCommit) {
  TempDir dir;
  const fs::path target = dir.path() / "kurse.txt";
  WriteAll(target, "alt");
  {
    marabu::StagedFile file;
    ASSERT_TRUE(file.Create(target));
    ASSERT_TRUE(file.Write("neu "));
    ASSERT_TRUE(file.Write("und mehr"));
    EXPECT_EQ(ReadAll(target), "alt");
  }  // dropped without Commit
  EXPECT_EQ(ReadAll(target), "alt");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  marabu::StagedFile file;
  ASSERT_TRUE(file.Create(target));
  ASSERT_TRUE(file.Write("neu"));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadAll(target), "neu");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  // A committed file cannot be written or committed again.
  EXPECT_FALSE(file.Write("x"));
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(ReadAll(target), "neu");
}

TEST(StagedFileTest, MissingDirectoryIsReportedWithErrno) {
  TempDir dir;
  marabu::StagedFile file;
  EXPECT_FALSE(file.Create(dir.path() / "fehlt" / "kurse.txt"));
  EXPECT_EQ(file.error(), ENOENT);
  EXPECT_FALSE(file.Write("x"));
  EXPECT_FALSE(file.Commit());
}

TEST(StagedFileTest, FailedRenameKeepsTheTarget) {
  TempDir dir;
  // A directory in the target's place cannot be replaced by a file.
  const fs::path target = dir.path() / "kurse.txt";
  fs::create_directories(target / "inhalt");
  marabu::StagedFile file;
  ASSERT_TRUE(file.Create(target));
  ASSERT_TRUE(file.Write("neu"));
  EXPECT_FALSE(file.Commit());
  EXPECT_NE(file.error(), 0);
  EXPECT_TRUE(fs::is_directory(target / "inhalt"));
}

// --- Working directory ----------------------------------------------------------

TEST(WorkingDirectoryTest, ReturningToTheDirectoryBefore) {
  TempDir dir;
  const fs::path original = fs::current_path();
  const fs::path inner = fs::canonical(dir.path());
  marabu::EnterWorkingDirectory(inner.string());
  EXPECT_TRUE(marabu::IsCurrentDirectory(inner.string()));
  EXPECT_FALSE(marabu::IsCurrentDirectory((inner / "fehlt").string()));
  EXPECT_FALSE(marabu::IsCurrentDirectory(""));
  EXPECT_TRUE(marabu::ReturnTo(original.string()));
  EXPECT_EQ(fs::current_path(), original);
  EXPECT_FALSE(marabu::ReturnTo(""));
}

// --- Line search ------------------------------------------------------------------

TEST(LineSearchTest, ExtractBetweenOnOneLineAndAcrossLines) {
  const std::vector<std::string> text = {
      "kein Anker hier", "<td class=a>  Wert eins  </td><td class=a>zwei</td>",
      "<td class=b>",    "drei</td>",
      "<td class=c>ab",  "xy</td>",
  };
  const marabu::Lines lines(text);

  auto one = marabu::ExtractBetween(lines, {0, 0}, "class=a", ">", "<");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->text, "Wert eins");
  EXPECT_EQ(one->end.line, 1u);
  auto two = marabu::ExtractBetween(lines, one->end, "class=a", ">", "<");
  ASSERT_TRUE(two);
  EXPECT_EQ(two->text, "zwei");

  // Closing text on the next line: the value starting that line is taken
  // whole, and a rest on the opening line is joined to it with a blank.
  auto three = marabu::ExtractBetween(lines, two->end, "class=b", ">", "</td>");
  ASSERT_TRUE(three);
  EXPECT_EQ(three->text, "drei");
  EXPECT_EQ(three->end.line, 3u);
  auto four = marabu::ExtractBetween(lines, {4, 0}, "class=c", ">", "</td>");
  ASSERT_TRUE(four);
  EXPECT_EQ(four->text, "ab xy");

  // Nothing past the last line.
  EXPECT_FALSE(marabu::ExtractBetween(lines, {0, 0}, "fehlt", ">", "<"));
  EXPECT_FALSE(marabu::ExtractBetween(lines, {5, 0}, "xy", "<", "nie"));
  EXPECT_FALSE(marabu::ExtractBetween(lines, {99, 0}, "x", "", ""));
  EXPECT_FALSE(lines.Find({1, 9999}, "zwei"));
}

TEST(TextTest, CutsStayInsideTheText) {
  EXPECT_EQ(marabu::Slice("abc", 1, 99), "bc");
  EXPECT_EQ(marabu::Slice("abc", 5, 9), "");
  EXPECT_EQ(marabu::Slice("abc", 2, 1), "");
  EXPECT_EQ(marabu::UpTo("a<b", 0, "<"), "a");
  EXPECT_EQ(marabu::UpTo("ab", 1, "<"), "b");
  EXPECT_EQ(marabu::UpTo("ab", 7, "<"), "");
  // Characters, not bytes: "ä" is two bytes.
  EXPECT_EQ(marabu::LastCharacters("Datum: 07.03.2003", 10), "07.03.2003");
  EXPECT_EQ(marabu::LastCharacters("xäöü", 3), "äöü");
  EXPECT_EQ(marabu::LastCharacters("ab", 10), "ab");
  EXPECT_EQ(marabu::TrimTrailingBlanks("  a  "), "  a");
  EXPECT_EQ(marabu::TrimTrailingBlanks("   "), "");
}

TEST(RatioTest, FourDecimalsTruncatedAndAGuardForZero) {
  EXPECT_EQ(marabu::RatioText("105,30", "100,00"), "1,0530");
  EXPECT_EQ(marabu::RatioText("97,62", "102,50"), "0,9523");
  EXPECT_EQ(marabu::RatioText("1", "3"), "0,3333");
  EXPECT_EQ(marabu::RatioText("5", "0"), "1,0000");
  EXPECT_EQ(marabu::RatioText("5", "kein Wert"), "1,0000");
}

}  // namespace
