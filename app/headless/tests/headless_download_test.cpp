// The back-fill of the download run through the real web library against
// the demo publisher on 127.0.0.1 with a fixed clock, and the program
// itself without a display (tellurio --kurse-laden): its output and exit
// status, and the lock of the data directory.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "Documents.h"
#include "Funds.h"
#include "Publisher.h"
#include "app/tests/acquisition/AcquisitionFixture.h"
#include "marabu/MarabuLibrary.h"
#include "platform/DirectoryLock.h"
#include "platform/testing/UnusedPort.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

extern char** environ;

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

const demo::Provider& Deka() { return *demo::FindProviderByKey("Deka"); }

// A Deka fund the publisher quotes from long before 2003 on.
const demo::Fund& OldFund(size_t skip = 0) {
  for (const demo::Fund& f : Deka().funds)
    if (demo::DayNumber(f.launch) < demo::DayNumber({2002, 1, 1}) && skip-- == 0) return f;
  ADD_FAILURE() << "no old fund";
  return Deka().funds.front();
}

// The fund's price in the publisher's own file of that day (independent of
// the merge under test).
std::string PublishedPrice(const demo::Fund& fund, demo::Date day) {
  const std::vector<std::string> lines = demo::PriceFileLines(Deka(), day);
  for (size_t i = 0; i + 5 < lines.size(); i += 6)
    if (lines[i + 1] == fund.wkn) return lines[i + 5];
  ADD_FAILURE() << "no price of " << fund.wkn;
  return {};
}

// A data directory with provider "Sparkasse" (web provider Deka) and one
// depot that holds `held` and has one archived fund, both last priced on
// `last`.
void WriteDataDirectory(const fs::path& wd, const std::string& last) {
  ASSERT_TRUE(WriteListFile(fileset::ProviderList(wd, "Sparkasse"), {"Depot"}).ok());
  ASSERT_TRUE(WriteListFile(wd / fileset::kProviderAssignments, {"Sparkasse", "Deka"}).ok());
  RecordStore depot, archive;
  ASSERT_TRUE(depot.Create(fileset::DepotBase(wd, "Depot"), 6, fileset::kDepotRowWidths).ok());
  ASSERT_TRUE(depot.Open().ok());
  const demo::Fund& held = OldFund();
  depot.AddRecord({held.name, held.wkn, "1,0500", held.currency});
  depot.ReplaceRows(section::kPrices, {last, "10,00"});
  ASSERT_TRUE(depot.Save().ok());
  ASSERT_TRUE(archive.Create(fileset::ArchiveBase(wd, "Depot"), 2, fileset::kArchiveRowWidths).ok());
  ASSERT_TRUE(archive.Open().ok());
  const demo::Fund& other = OldFund(1);
  archive.AddRecord({other.name, other.wkn, "1,0500", other.currency});
  archive.ReplaceRows(section::kPrices, {last, "20,00"});
  ASSERT_TRUE(archive.Save().ok());
}

// The publisher on a free port with its day; the library pointed at it.
struct Publisher {
  explicit Publisher(demo::Date today) : server(Options(today)) {
    std::string error;
    EXPECT_TRUE(server.Start(error)) << error;
    address = "127.0.0.1:" + std::to_string(server.port());
    for (const char* v : {"MARABU_PUBLISHER", "MARABU_INDEX_SERVER", "MARABU_COMPARISON_SERVER"})
      setenv(v, address.c_str(), 1);
  }
  ~Publisher() {
    for (const char* v : {"MARABU_PUBLISHER", "MARABU_INDEX_SERVER", "MARABU_COMPARISON_SERVER"}) unsetenv(v);
  }
  static demo::PublisherOptions Options(demo::Date today) {
    demo::PublisherOptions o;
    o.port = 0;
    o.today = today;
    return o;
  }
  demo::PublisherServer server;
  std::string address;
};

// The real library, counting the days asked for; when stopAt is reached the
// process is killed before that day's request (a run cut off between two
// days).
struct CountingWeb : marabu::WebLibrary {
  marabu::MarabuLibrary real;
  std::vector<std::string> days;
  int stopAt = -1;
  void ArbeitsverzeichnisEinstellen(const std::string& p) override { real.ArbeitsverzeichnisEinstellen(p); }
  marabu::DownloadResult FileAusInternetLaden(std::vector<std::string>& out, const std::string& w, const std::string& d,
                                              const std::string& wd) override {
    return real.FileAusInternetLaden(out, w, d, wd);
  }
  marabu::DownloadResult FileVomTagAusInternetLaden(std::vector<std::string>& out, const std::string& w,
                                                    const std::string& d, const std::string& wd,
                                                    const std::string& date) override {
    if (static_cast<int>(days.size()) == stopAt) ::raise(SIGKILL);
    days.push_back(date);
    return real.FileVomTagAusInternetLaden(out, w, d, wd, date);
  }
  marabu::DownloadResult FondportraitHolen(const std::string& k, std::vector<std::string>& out,
                                           const std::string& wd) override {
    return real.FondportraitHolen(k, out, wd);
  }
  marabu::DownloadResult DAXLaden(std::vector<std::string>& out, const std::string& wd) override {
    return real.DAXLaden(out, wd);
  }
  marabu::DownloadResult BankenHolen(std::vector<std::string>& out) override { return real.BankenHolen(out); }
  marabu::DownloadResult LeerzeichenLoeschen(const std::string& t, std::string& out) override {
    return real.LeerzeichenLoeschen(t, out);
  }
  marabu::DownloadResult HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out,
                                    std::string& r) override {
    return real.HtmlToText(in, out, r);
  }
  marabu::DownloadResult KonkurrenzHolen(const std::string& k, std::vector<std::string>& out, const std::string& wd,
                                         std::int32_t m) override {
    return real.KonkurrenzHolen(k, out, wd, m);
  }
};

// A document on a data directory with the real library and a fixed day.
struct RealRun {
  explicit RealRun(const fs::path& wd, CivilDate today) : clock(today) {
    setenv("XDG_CONFIG_HOME", (wd / ".config").c_str(), 1);
    acquisition.SetSession(&doc);
    DepotState& s = doc.State();
    s.workingDirectory = wd;
    s.currency = "Euro";
    s.depotNames = doc.ListDataFiles(".dat");
    s.providerNames = doc.ListDataFiles(".pls");
    s.currentDepot = "Depot";
    doc.LoadDepot();
  }
  RecordingPrompter prompter;
  MemorySettings settings;
  FixedClock clock;
  CountingWeb web;
  ScriptedShellDialogs shell;
  ScriptedAcquisitionDialogs dialogs;
  PriceAcquisition acquisition{dialogs, web};
  CTellurioDoc doc{DocumentServices{prompter, settings, clock, web, shell, {&acquisition}}};

  Rows Days() const {
    Rows out;
    for (const std::string& l : dialogs.log)
      if (l.rfind("day ", 0) == 0) out.push_back(l.substr(4));
    return out;
  }
};

Rows StoredPrices(const fs::path& wd, bool archive = false) {
  RecordStore s;
  if (archive)
    EXPECT_TRUE(s.Create(fileset::ArchiveBase(wd, "Depot"), 2, fileset::kArchiveRowWidths).ok());
  else
    EXPECT_TRUE(s.Create(fileset::DepotBase(wd, "Depot"), 6, fileset::kDepotRowWidths).ok());
  EXPECT_TRUE(s.Open().ok());
  return PriceRows(s, archive ? OldFund(1).name : OldFund().name);
}

// ---- back-fill -------------------------------------------------------------------

TEST(Backfill, FromTheThursdayBeforeEasterTheNextPriceDaysComeInOrder) {
  // Easter 2003: Karfreitag 18.04., Ostermontag 21.04.  Last prices on
  // Thursday 17.04., today Thursday 24.04.: Tuesday to Thursday are missing.
  TempDir dir;
  WriteDataDirectory(dir.path(), "17.04.2003");
  Publisher publisher({2003, 4, 24});
  RealRun run(dir.path(), {2003, 4, 24});
  EXPECT_TRUE(run.acquisition.DownloadPrices());
  for (const Message& m : run.prompter.Messages()) ADD_FAILURE() << m.title << ": " << m.text;

  const Rows days = {"22.04.2003", "23.04.2003", "24.04.2003"};
  EXPECT_EQ(run.web.days, days);
  EXPECT_EQ(run.Days(), days);
  const demo::Fund& held = OldFund();
  EXPECT_EQ(StoredPrices(dir.path()),
            (Rows{"17.04.2003", "10,00", "22.04.2003", PublishedPrice(held, {2003, 4, 22}), "23.04.2003",
                  PublishedPrice(held, {2003, 4, 23}), "24.04.2003", PublishedPrice(held, {2003, 4, 24})}));
  EXPECT_EQ(StoredPrices(dir.path(), true).size(), 8u);
  for (const char* file : {"22042003.txt", "23042003.txt", "24042003.txt"})
    EXPECT_TRUE(fs::exists(dir.path() / "Fondpreise/Sparkasse/2003/April" / file)) << file;
}

TEST(Backfill, ADayThePublisherLacksIsNamedOnceAndTheOthersAreMerged) {
  // The publisher has no prices on Christmas Eve; 25. and 26.12. are no
  // price days, 29.12. is.
  TempDir dir;
  WriteDataDirectory(dir.path(), "23.12.2003");
  Publisher publisher({2003, 12, 29});
  RealRun run(dir.path(), {2003, 12, 29});
  EXPECT_TRUE(run.acquisition.DownloadPrices());
  EXPECT_EQ(run.web.days, (Rows{"24.12.2003", "29.12.2003"}));
  const Rows prices = StoredPrices(dir.path());
  EXPECT_EQ(prices, (Rows{"23.12.2003", "10,00", "29.12.2003", PublishedPrice(OldFund(), {2003, 12, 29})}));
  ASSERT_EQ(run.prompter.Messages().size(), 1u);
  const Message m = run.prompter.Last();
  EXPECT_EQ(m.title, "Hinweis");
  EXPECT_NE(m.text.find("keine Kursdatei"), std::string::npos) << m.text;
  EXPECT_NE(m.text.find("Sparkasse (Deka) bei " + publisher.address + ": 24.12.2003"), std::string::npos) << m.text;
  EXPECT_EQ(m.text.find("keine einzige"), std::string::npos) << m.text;
  EXPECT_EQ(m.text.find("29.12.2003"), std::string::npos) << m.text;
}

TEST(Backfill, AStoredFileIsReadInsteadOfFetched) {
  TempDir dir;
  WriteDataDirectory(dir.path(), "17.04.2003");
  // Wednesday's file is there already, with a price of its own.
  const demo::Fund& held = OldFund();
  const fs::path april = dir.path() / "Fondpreise/Sparkasse/2003/April";
  fs::create_directories(april);
  WriteAll(april / "23042003.txt", held.name + "\r\n" + held.wkn + "\r\n1,0500\r\nEuro\r\n23.04.2003\r\n77,77\r\n");
  Publisher publisher({2003, 4, 24});
  RealRun run(dir.path(), {2003, 4, 24});
  EXPECT_TRUE(run.acquisition.DownloadPrices());
  EXPECT_EQ(run.web.days, (Rows{"22.04.2003", "24.04.2003"}));
  const Rows prices = StoredPrices(dir.path());
  ASSERT_EQ(prices.size(), 8u);
  EXPECT_EQ(prices[4], "23.04.2003");
  EXPECT_EQ(prices[5], "77,77");
}

TEST(Backfill, ARunKilledBetweenTwoDaysContinuesAtTheNextRun) {
  TempDir dir;
  WriteDataDirectory(dir.path(), "17.04.2003");
  const pid_t child = ::fork();
  if (child == 0) {
    // The first run: killed before it asks for the third day.
    Publisher publisher({2003, 4, 24});
    RealRun run(dir.path(), {2003, 4, 24});
    run.web.stopAt = 2;
    run.acquisition.DownloadPrices();
    ::_exit(0);
  }
  ASSERT_GT(child, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  // Two whole days are in both stores; no temporary file is left that a
  // start would not clear.
  const Rows cut = StoredPrices(dir.path());
  EXPECT_EQ(cut.size(), 6u);
  EXPECT_EQ(cut[4], "23.04.2003");
  EXPECT_EQ(StoredPrices(dir.path(), true).size(), 6u);

  Publisher publisher({2003, 4, 24});
  RealRun run(dir.path(), {2003, 4, 24});
  EXPECT_TRUE(run.acquisition.DownloadPrices());
  EXPECT_EQ(run.web.days, Rows{"24.04.2003"});
  EXPECT_EQ(StoredPrices(dir.path()).size(), 8u);
  EXPECT_EQ(StoredPrices(dir.path(), true).size(), 8u);
}

TEST(Backfill, AHeldFundMissingFromTheFilesIsNamedAsStale) {
  TempDir dir;
  WriteDataDirectory(dir.path(), "22.04.2003");
  {
    RecordStore depot;
    ASSERT_TRUE(depot.Create(fileset::DepotBase(dir.path(), "Depot"), 6, fileset::kDepotRowWidths).ok());
    ASSERT_TRUE(depot.Open().ok());
    depot.AddRecord({"Eingestellter Fonds", "000001", "1,0000", "Euro"});
    depot.ReplaceRows(section::kPrices, {"17.04.2003", "5,00"});
    ASSERT_TRUE(depot.Save().ok());
  }
  Publisher publisher({2003, 4, 24});
  RealRun run(dir.path(), {2003, 4, 24});
  EXPECT_TRUE(run.acquisition.DownloadPrices());
  ASSERT_EQ(run.prompter.Messages().size(), 1u);
  const std::string text = run.prompter.Last().text;
  EXPECT_NE(text.find("keinen aktuellen Kurs"), std::string::npos) << text;
  EXPECT_NE(text.find("Depot Depot: Eingestellter Fonds (WKN 000001, letzter Kurs vom 17.04.2003)"), std::string::npos)
      << text;
  EXPECT_EQ(text.find(OldFund().name), std::string::npos) << text;
}

// ---- the program without a display ------------------------------------------------

struct Outcome {
  int status = -1;
  std::string out, err;
};

// Runs the program with the arguments in cwd, with the environment of the
// test (the library's servers) but without any display.
Outcome RunProgram(const std::vector<std::string>& arguments, const fs::path& cwd, const fs::path& scratch,
                   const std::string& today) {
  const fs::path outFile = scratch / "out.txt", errFile = scratch / "err.txt";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    if (v.rfind("DISPLAY=", 0) == 0 || v.rfind("WAYLAND_DISPLAY=", 0) == 0 || v.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
        v.rfind("TELLURIO_TODAY=", 0) == 0 || v.rfind("XDG_CONFIG_HOME=", 0) == 0)
      continue;
    env.push_back(v);
  }
  env.push_back("TELLURIO_TODAY=" + today);
  env.push_back("XDG_CONFIG_HOME=" + (scratch / "config").string());
  std::vector<char*> argv{const_cast<char*>(TELLURIO_PROGRAM)};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::chdir(cwd.c_str()) != 0)
      ::_exit(127);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  Outcome o;
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) o.status = WEXITSTATUS(status);
  o.out = ReadAll(outFile);
  o.err = ReadAll(errFile);
  return o;
}

struct ProgramFixture : ::testing::Test {
  TempDir data, scratch;
  void SetUp() override { WriteDataDirectory(data.path(), "17.04.2003"); }
  Outcome Run(const std::vector<std::string>& arguments) {
    return RunProgram(arguments, scratch.path(), scratch.path(), "24.04.2003");
  }
};

TEST_F(ProgramFixture, TheHeadlessRunLoadsTheMissingDaysAndSaysSo) {
  Publisher publisher({2003, 4, 24});
  const Outcome o = Run({"--kurse-laden", "--verzeichnis", data.path().string()});
  EXPECT_EQ(o.status, 0) << o.out << o.err;
  EXPECT_EQ(o.err, "");
  for (const char* line :
       {"Kursdownload für das Datenverzeichnis ", "Depot Depot:\n", "  Kursdatei vom 22.04.2003\n",
        "  Kursdatei vom 23.04.2003\n", "  Kursdatei vom 24.04.2003\n", "Der Kursdownload ist beendet.\n"})
    EXPECT_NE(o.out.find(line), std::string::npos) << line << "\n" << o.out;
  EXPECT_EQ(StoredPrices(data.path()).size(), 8u);

  // Run in the data directory itself, nothing is missing any more.
  const Outcome again = RunProgram({"--kurse-laden"}, data.path(), scratch.path(), "24.04.2003");
  EXPECT_EQ(again.status, 0) << again.out << again.err;
  EXPECT_EQ(again.out.find("Kursdatei vom"), std::string::npos) << again.out;
}

TEST_F(ProgramFixture, ADeadServerIsAFailureWithItsReason) {
  // Nothing listens there (the publisher of the other tests is gone).
  const int port = tellurio::testing::UnusedPort();
  ASSERT_GT(port, 0) << "no free port";
  setenv("MARABU_PUBLISHER", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
  setenv("MARABU_CONNECT_TIMEOUT", "3", 1);
  const std::string before = ReadAll(data.path() / "Depot.dat");
  const Outcome o = Run({"--kurse-laden", "--verzeichnis", data.path().string()});
  unsetenv("MARABU_PUBLISHER");
  unsetenv("MARABU_CONNECT_TIMEOUT");
  EXPECT_EQ(o.status, 1) << o.out << o.err;
  EXPECT_NE(o.err.find("Fehler: Die Kurse des Fondanbieters Sparkasse (Deka) konnten nicht geladen werden."),
            std::string::npos)
      << o.err;
  EXPECT_NE(o.err.find("127.0.0.1:" + std::to_string(port)), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("keine Verbindung"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("Der Kursdownload ist mit Fehlern beendet"), std::string::npos) << o.err;
  EXPECT_EQ(ReadAll(data.path() / "Depot.dat"), before);
}

TEST_F(ProgramFixture, AnUnreadableStoreIsAFailureThatNamesTheFile) {
  Publisher publisher({2003, 4, 24});
  fs::remove(data.path() / "Depot.dat");
  fs::create_directory(data.path() / "Depot.dat");
  const std::string archive = ReadAll(data.path() / "n_Depot.dat");
  const Outcome o = Run({"--kurse-laden", "--verzeichnis", data.path().string()});
  EXPECT_EQ(o.status, 1) << o.out << o.err;
  EXPECT_NE(o.err.find("Fehler:"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find((data.path() / "Depot.dat").string()), std::string::npos) << o.err;
  EXPECT_EQ(ReadAll(data.path() / "n_Depot.dat"), archive);
}

TEST_F(ProgramFixture, ASecondProgramOnTheDirectoryIsRefusedAndChangesNothing) {
  Publisher publisher({2003, 4, 24});
  const std::string before = ReadAll(data.path() / "Depot.dat");
  {
    const DirectoryLock first(data.path());
    ASSERT_EQ(first.state(), DirectoryLock::State::Held);
    const Outcome o = Run({"--kurse-laden", "--verzeichnis", data.path().string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Tellurio läuft bereits mit diesem Datenverzeichnis."), std::string::npos) << o.err;
    EXPECT_EQ(ReadAll(data.path() / "Depot.dat"), before);
    EXPECT_FALSE(fs::exists(data.path() / "Fondpreise"));
  }
  // Once the first one is gone, the directory is free.
  EXPECT_EQ(Run({"--kurse-laden", "--verzeichnis", data.path().string()}).status, 0);
}

TEST_F(ProgramFixture, WrongArgumentsAndAMissingDirectory) {
  const Outcome wrong = Run({"--kurse-laden", "--schnell"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("Unbekannte Angabe \"--schnell\""), std::string::npos) << wrong.err;
  const Outcome missing = Run({"--kurse-laden", "--verzeichnis", (data.path() / "fehlt").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("gibt es nicht"), std::string::npos) << missing.err;
}

// The units of the release bundle, as systemd reads them for a Tellurio
// installed in a directory (the instance), and their ExecStart line run by
// hand as systemd would run it.
TEST_F(ProgramFixture, TheBundlesSystemdUnitsAreValidAndTheirCommandLoads) {
  Publisher publisher({2003, 4, 24});
  const fs::path installed = data.path();
  fs::copy_file(TELLURIO_PROGRAM, installed / "tellurio");
  std::string escaped;  // systemd-escape --path: "/" becomes "-", "-" becomes "\x2d"
  for (char c : installed.relative_path().string())
    escaped += c == '/' ? std::string("-") : c == '-' ? "\\x2d" : std::string(1, c);
  const fs::path units = scratch.path() / "units";
  fs::create_directories(units);
  for (const char* kind : {"service", "timer"})
    fs::copy_file(fs::path(TELLURIO_UNITS) / ("tellurio-kurse@." + std::string(kind)),
                  units / ("tellurio-kurse@" + escaped + "." + kind));
  if (fs::exists("/usr/bin/systemd-analyze")) {
    fs::create_directories(scratch.path() / "runtime");
    fs::permissions(scratch.path() / "runtime", fs::perms::owner_all);
    const std::string command =
        "cd '" + units.string() + "' && XDG_RUNTIME_DIR='" + (scratch.path() / "runtime").string() +
        "' /usr/bin/systemd-analyze verify --user './tellurio-kurse@" + escaped + ".service' './tellurio-kurse@" +
        escaped + ".timer' > '" + (scratch.path() / "verify.txt").string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadAll(scratch.path() / "verify.txt");
  }
  // ExecStart=%f/tellurio --kurse-laden --verzeichnis %f, with %f the
  // installed directory.
  const std::string unit = ReadAll(fs::path(TELLURIO_UNITS) / "tellurio-kurse@.service");
  ASSERT_NE(unit.find("ExecStart=%f/tellurio --kurse-laden --verzeichnis %f\n"), std::string::npos) << unit;
  const Outcome o =
      RunProgram({"--kurse-laden", "--verzeichnis", installed.string()}, "/", scratch.path(), "24.04.2003");
  EXPECT_EQ(o.status, 0) << o.out << o.err;
  EXPECT_EQ(StoredPrices(data.path()).size(), 8u);
}

}  // namespace
}  // namespace tellurio::testing
