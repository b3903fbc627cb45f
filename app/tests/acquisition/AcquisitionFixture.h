#pragma once
// A document on a temporary working directory with price acquisition as its
// hooks (and the document as its session), scripted acquisition dialogs and
// the fake web library.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/PriceAcquisition.h"
#include "app/tests/FakeShell.h"
#include "portfolio/Funds.h"

namespace tellurio::testing {

// Records what the windows were asked to show, one line per event:
//   "status <title>", "subject <text>", "remaining <n>", "current <text>",
//   "text only", "depot lines", "status closed",
//   "archive <depot> <total>", "import <directory>".
struct ScriptedAcquisitionDialogs : AcquisitionDialogs {
  std::vector<std::string> log;
  // The user's part of each import dialog; an empty script cancels.
  std::deque<std::function<std::optional<ImportChoice>(ImportPanelRules&)>> imports;
  std::vector<PortraitIndex> portraitsShown;
  // Steps the archive work reported, over all archive dialogs.
  std::vector<std::pair<int, std::string>> archiveSteps;
  // When false, RunArchiveProgress returns without running the work (a
  // dialog closed before its timer fired).
  bool runArchiveWork = true;
  // Runs before the work of each archive dialog (to change files while a
  // merge is under way).
  std::function<void(const std::string& depot)> beforeArchiveWork;

  std::unique_ptr<StatusWindow> OpenStatusWindow(const std::string& title) override;
  void RunArchiveProgress(const std::string& depot, int total, const ArchiveWork& work) override;
  std::optional<ImportChoice> ChooseImportFiles(const std::filesystem::path& initialDirectory,
                                                ImportPanelRules& rules) override;
  void ShowPortrait(const PortraitIndex& index, const std::filesystem::path& file) override;

  // How many log lines start with `prefix`.
  int Count(const std::string& prefix) const;
};

// The six lines of a price record.
struct Group {
  std::string name, wkn, factor = "1,0500", currency = "Euro", date, price;
};
std::vector<std::string> PriceLines(const std::vector<Group>& groups);

// The fake web library, failing the price download of chosen web providers.
struct FailingWeb : marabu::WebLibrary {
  explicit FailingWeb(marabu::testing::FakeWebLibrary& fake) : fake(fake) {}
  marabu::testing::FakeWebLibrary& fake;
  std::map<std::string, marabu::DownloadResult> failFor;
  // Runs before every dated fetch (to stop a run between two days).
  std::function<void(const std::string& webProvider, const std::string& date)> beforeFetch;

  void ArbeitsverzeichnisEinstellen(const std::string& path) override { fake.ArbeitsverzeichnisEinstellen(path); }
  marabu::DownloadResult FileAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                              const std::string& priceDirectory,
                                              const std::string& workingDirectory) override;
  marabu::DownloadResult FileVomTagAusInternetLaden(std::vector<std::string>& out, const std::string& webProvider,
                                                    const std::string& priceDirectory,
                                                    const std::string& workingDirectory,
                                                    const std::string& date) override;
  marabu::DownloadResult FondportraitHolen(const std::string& wkn, std::vector<std::string>& out,
                                           const std::string& workingDirectory) override {
    return fake.FondportraitHolen(wkn, out, workingDirectory);
  }
  marabu::DownloadResult DAXLaden(std::vector<std::string>& out, const std::string& workingDirectory) override {
    return fake.DAXLaden(out, workingDirectory);
  }
  marabu::DownloadResult BankenHolen(std::vector<std::string>& out) override { return fake.BankenHolen(out); }
  marabu::DownloadResult LeerzeichenLoeschen(const std::string& text, std::string& out) override {
    return fake.LeerzeichenLoeschen(text, out);
  }
  marabu::DownloadResult HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out,
                                    std::string& result) override {
    return fake.HtmlToText(in, out, result);
  }
  marabu::DownloadResult KonkurrenzHolen(const std::string& wkn, std::vector<std::string>& out,
                                         const std::string& workingDirectory, std::int32_t mode) override {
    return fake.KonkurrenzHolen(wkn, out, workingDirectory, mode);
  }
};

struct AcquisitionFixture {
  TempDir dir;
  RecordingPrompter prompter;
  MemorySettings settings;
  FixedClock clock{CivilDate{2003, 3, 5}};
  marabu::testing::FakeWebLibrary web;
  FailingWeb failing{web};
  ScriptedShellDialogs shell;
  ScriptedAcquisitionDialogs dialogs;
  PriceAcquisition acquisition{dialogs, failing};
  RecordingViews views;
  CTellurioDoc doc{DocumentServices{prompter, settings, clock, failing, shell, {&acquisition}}};

  AcquisitionFixture();
  const std::filesystem::path& wd() const { return dir.path(); }
  DepotState& state() { return doc.State(); }
  // Calls of one export, and the arguments of each ("a|b|c").
  int WebCalls(const std::string& exportName) const { return static_cast<int>(WebCallsOf(exportName).size()); }
  std::vector<std::string> WebCallsOf(const std::string& exportName) const;

  // A provider with its depots (list file and, with a web provider, its
  // pair in anb.dbk); the depots get empty stores.
  void AddProvider(const std::string& provider, const std::string& webProvider, const std::vector<std::string>& depots);
  // A fund with price rows in the depot store or the fund archive of depot.
  void AddFund(const std::string& depot, const FundMaster& m, const std::vector<std::string>& prices,
               bool archive = false);
  // Makes the depot current as the start does: lists read, depot loaded.
  void Open(const std::string& depot);

  // Read back from disk.
  std::vector<std::string> Prices(const std::string& depot, const std::string& fund, bool archive = false) const;
  std::vector<std::string> Funds(const std::string& depot, bool archive = false) const;
  std::optional<FundMaster> Master(const std::string& depot, const std::string& fund, bool archive = false) const;
};

// n rows of prices on consecutive days from 01.01.2001 on ("TT.MM.JJJJ", price).
std::vector<std::string> DailyRows(int n, int firstDay = 0);

}  // namespace tellurio::testing
