#pragma once
// The depot state of the open document: which depot is current, which depots
// and fund providers exist, the two open stores of the current depot, the
// display currency with the currency list, and the money-market rate.
//
// One DepotState lives in the document for the life of the program; document
// operations of every subsystem read and change it.

#include <filesystem>
#include <string>
#include <vector>

#include "storage/RecordStore.h"

namespace tellurio {

inline constexpr double kEuroRate = 1.95583;  // DM per Euro

// The two statistics tables: the funds of the current depot, and all funds
// (the fund archive).
enum class Scope { DepotFunds, AllFunds };

struct DepotState {
  std::filesystem::path workingDirectory;
  std::string currentDepot;  // empty: no depot is current
  std::string currency;      // display currency, "DM" or "Euro"
  std::string currentProvider;
  std::vector<std::string> depotNames;
  std::vector<std::string> providerNames;
  std::vector<std::string> providerDepots;  // depots of currentProvider
  RecordStore depotStore;                   // main store of the current depot (6 sections)
  RecordStore auxiliaryStore;               // fund archive store "n_" + depot (2 sections)
  int fundCount = 0;
  double euroRate = kEuroRate;
  std::string webProvider;  // web-library provider of currentProvider
  std::string selectedFund;
  int fundSelected = 0;
  std::vector<std::string> daxSeries;  // pairs: date, value
  double moneyMarketRate = 0;
  // Pairs of lines: fund currency, factor into the display currency.
  std::vector<std::string> currencyFactors;
};

// What a document operation asks of the rest of the program when it has
// changed data.  The document implements it; tests record the calls.
class DocumentEvents {
 public:
  virtual ~DocumentEvents() = default;
  virtual void RecomputeStatistics(Scope scope) = 0;
  virtual void ComputeRiskFigures(Scope scope) = 0;
  virtual void RebuildTicker() = 0;
  virtual void ResetChartView(bool chartOn) = 0;
  virtual void UpdateAllViews() = 0;
  // Status bar pane 1 ("aktuelles Depot: ...") and 2 ("aktuelle Währung: ...").
  virtual void ShowDepotStatus() = 0;
  virtual void ShowCurrencyStatus() = 0;
};

}  // namespace tellurio
