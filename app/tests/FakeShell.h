#pragma once
// Test doubles for the document's surroundings: scripted shell dialogs, a
// web library without network, recording hooks and panes.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/CTellurioDoc.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "weblib/testing/FakeWebLibrary.h"

namespace tellurio::testing {

class ScriptedShellDialogs : public ShellDialogs {
 public:
  std::deque<std::optional<std::string>> depotChoices, webProviderChoices, deleteChoices, currencyChoices, rateEntries,
      factorEntries;
  std::deque<std::optional<NewDepotChoice>> newDepots;
  std::vector<std::string> log;                      // which dialogs opened, in order
  std::vector<std::string> lastDepotList;            // the list the last dialog showed
  std::vector<std::optional<NameRefusal>> refusals;  // what the new-depot check said

  std::optional<std::string> ChooseDepot(const std::vector<std::string>& depots) override;
  std::optional<NewDepotChoice> NewDepot(
      const std::vector<std::string>& depots, const std::vector<std::string>& providers,
      const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>& check) override;
  std::optional<std::string> AssignWebProvider(const std::vector<std::string>& webProviders) override;
  std::optional<std::string> ChooseDepotToDelete(const std::vector<std::string>& depots) override;
  std::optional<std::string> ChooseCurrency(const std::string& current) override;
  std::optional<std::string> EnterMoneyMarketRate(const std::string& current) override;
  std::optional<std::string> EnterConversionFactor(const std::string& currency,
                                                   const std::string& displayCurrency) override;
};

class RecordingHooks : public SubsystemHooks {
 public:
  std::vector<std::string> calls;
  bool restoreResult = false;
  void RefreshPortraits() override { calls.push_back("portraits"); }
  void ReconcileArchives() override { calls.push_back("reconcile"); }
  void BuildPortraitIndex() override { calls.push_back("portraitIndex"); }
  bool RestoreBackup() override {
    calls.push_back("restore");
    return restoreResult;
  }
};

class RecordingViews : public ViewHost {
 public:
  int updates = 0;
  std::vector<bool> chartResets;
  std::string status[4];
  void UpdateAllViews() override { ++updates; }
  void SetStatusText(int pane, const std::string& text) override { status[pane] = text; }
  void ResetChartView(bool on) override { chartResets.push_back(on); }
};

// The document, recording into `calls` (in one line with the hooks) when
// it recomputes the statistics or the risk figures.
class RecordingDoc : public CTellurioDoc {
 public:
  RecordingDoc(DocumentServices services, std::vector<std::string>& calls)
      : CTellurioDoc(std::move(services)), calls_(calls) {}
  void RecomputeStatistics(Scope s) override {
    CTellurioDoc::RecomputeStatistics(s);
    calls_.push_back(s == Scope::DepotFunds ? "stat:depot" : "stat:all");
  }
  void ComputeRiskFigures(Scope s) override {
    CTellurioDoc::ComputeRiskFigures(s);
    calls_.push_back(s == Scope::DepotFunds ? "risk:depot" : "risk:all");
  }

 private:
  std::vector<std::string>& calls_;
};

// A document on a temporary working directory with all doubles wired in.
struct DocFixture {
  TempDir dir;
  RecordingPrompter prompter;
  MemorySettings settings;
  FixedClock clock{CivilDate{2003, 3, 5}};
  marabu::testing::FakeWebLibrary web;
  ScriptedShellDialogs dialogs;
  RecordingHooks hooks;
  RecordingViews views;
  RecordingDoc doc{DocumentServices{prompter, settings, clock, web, dialogs, {&hooks}}, hooks.calls};

  DocFixture() {
    web.today = "05.03.2003";
    web.daxValue = "4.123,45";
    web.providers = {"Deka", "DWS", "Union-Investment Frankfurt"};
    doc.SetViewHost(&views);
  }
  int WebCalls(const std::string& exportName) const;
  const std::filesystem::path& wd() const { return dir.path(); }
  std::vector<std::string> List(const std::string& file) const;
  void WriteList(const std::string& file, const std::vector<std::string>& lines) const;
  bool Exists(const std::string& file) const { return std::filesystem::exists(dir / file); }
};

}  // namespace tellurio::testing
