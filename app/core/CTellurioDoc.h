#pragma once
// CTellurioDoc: the one document of the program.  It owns the depot state,
// runs the start of the depot session and every document operation of the
// shell (create, switch and delete depots, currency, money-market rate), and
// is the DepotSession the other subsystems work on.

#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "app/core/Hooks.h"
#include "app/core/ShellDialogs.h"
#include "calendar/Calendar.h"
#include "marabu/MarabuClient.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "portfolio/CurrencyList.h"
#include "portfolio/DepotState.h"

namespace tellurio {

// Everything the document uses and does not own.  All must outlive it.
struct DocumentServices {
  Prompter& prompter;
  Settings& settings;
  const Clock& clock;
  marabu::WebLibrary& web;
  ShellDialogs& dialogs;
  // The start-up steps of other subsystems, called in this order (none may
  // be null).
  std::vector<SubsystemHooks*> hooks;
};

class CTellurioDoc : public DepotSession, public DocumentEvents, public ConversionFactorSource {
 public:
  enum class StartResult { Ready, Exit };

  explicit CTellurioDoc(DocumentServices services);
  ~CTellurioDoc() override;

  // The start of the depot session in workingDirectory.  Exit: the user
  // refused to choose or create a depot; the program ends with status 0.
  StartResult StartUp(const std::filesystem::path& workingDirectory);

  // The panes; may be null while there are none (during start-up, in tests).
  void SetViewHost(ViewHost* views) { views_ = views; }
  // The restore offered at the first start; when null, the hooks' restore
  // runs.  Set before StartUp; must outlive the start.
  void SetRestoreOffer(RestoreOffer* restore) { restore_ = restore; }

  // Depot session.
  bool NewDepot();
  void SwitchDepot();
  void DeleteDepot();
  void LoadDepot();
  // Opens the depot's two stores as the current ones (DepotStores::OpenBoth).
  void OpenDepotStores(const std::string& depot);
  std::vector<std::string> ListDataFiles(const std::string& extension);
  // After a restore replaced files of the working directory: the depot and
  // provider lists are read again, the first depot becomes current with its
  // provider, web provider and currencies, the display currency is read
  // again, and the statistics, the chart, the ticker and the views follow.
  void ReloadAfterRestore();

  // Currency and money-market rate.
  void SwitchCurrency();
  void EnterMoneyMarketRate();
  void RegisterCurrency(const std::string& currency);

  // Shows that a command exists but is not available in this version.
  void NotAvailableYet();

  // DepotSession
  DepotState& State() override { return state_; }
  DepotStores& Stores() override { return stores_; }
  DocumentEvents& Events() override { return *this; }
  void MakeCurrent(const std::string& depot) override;
  void ReloadCurrentDepot() override;
  Calendar& calendar() override { return calendar_; }
  Prompter& prompter() override { return services_.prompter; }
  Settings& settings() override { return services_.settings; }

  const DepotState& State() const { return state_; }
  marabu::WebLibrary& web() { return services_.web; }
  // The two statistics tables, rebuilt by RecomputeStatistics.
  const Statistics& statistics() const { return statistics_; }

  // A fund chosen in the views becomes the selected fund of the chart
  // commands.
  void SelectFund(const std::string& fund);

  // The ticker line: "*** " and, for every fund, name, date and price of its
  // newest price row and its currency.  Safe to call from any thread.
  std::string TickerText() const;

  // DocumentEvents
  void RecomputeStatistics(Scope scope) override;
  void ComputeRiskFigures(Scope scope) override;
  void RebuildTicker() override;
  void ResetChartView(bool chartOn) override;
  void UpdateAllViews() override;
  void ShowDepotStatus() override;
  void ShowCurrencyStatus() override;

  // ConversionFactorSource
  std::optional<std::string> AskFactor(const std::string& currency, const std::string& displayCurrency) override;

  // Shows a "Fehler" box for a failed file operation; true when status is ok.
  bool Report(const Status& status);

 private:
  void LoadDaxHistory();
  void CheckPortraits();
  std::string ReadSetting(const char* key, const char* fallback);
  void LookUpWebProvider();
  void RegisterFundCurrencies();
  void AfterDepotChange();
  std::optional<NameRefusal> CheckNewDepot(const NewDepotChoice& choice) const;

  DocumentServices services_;
  Calendar calendar_;
  DepotState state_;
  DepotStores stores_{services_.prompter, calendar_};
  Statistics statistics_{state_, calendar_};
  ViewHost* views_ = nullptr;
  RestoreOffer* restore_ = nullptr;
  mutable std::mutex tickerMutex_;
  std::string tickerText_;
  // Data files whose names are not UTF-8, named once each.
  std::set<std::string> namesNotUtf8Reported_;
};

}  // namespace tellurio
