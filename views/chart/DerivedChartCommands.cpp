#include "views/chart/DerivedChartCommands.h"

#include "analysis/Statistics.h"
#include "portfolio/DepotState.h"
#include "portfolio/Funds.h"
#include "views/chart/DerivedSeries.h"

namespace tellurio::chart {

namespace {

// The kind of DerivedSeriesList for a chart kind.
int SeriesKind(ChartKind kind) { return KindNumber(kind) - KindNumber(ChartKind::MonthlyAverages); }

}  // namespace

void CompareFundRules::DoubleClicked(int index) {
  if (index < 0 || static_cast<size_t>(index) >= funds_.size()) return;
  choice_ = funds_[static_cast<size_t>(index)];
}

DialogStep CompareFundRules::Ok() {
  if (!choice_.empty()) return DialogStep::Accept;
  return prompter_.AskYesNo("Frage", "Sie haben keinen Fond ausgewählt! Wollen\n Sie den Dialog trotzdem beenden?",
                            MessageIcon::Question, BeepKind::Question)
             ? DialogStep::Cancel
             : DialogStep::Stay;
}

std::vector<std::string> DerivedChartCommands::Series(ChartKind kind, const std::string& fund) const {
  if (kind < ChartKind::MonthlyAverages || kind > ChartKind::YearlyChanges) return {};
  const int inDepot = state_.depotStore.FindKey(fund);
  if (inDepot >= 0 && inDepot < state_.depotStore.RecordCount())
    return statistics_.DerivedSeriesList(inDepot, Scope::DepotFunds, SeriesKind(kind));
  const int inArchive = state_.auxiliaryStore.FindKey(fund);
  if (inArchive >= 0 && inArchive < state_.auxiliaryStore.RecordCount())
    return statistics_.DerivedSeriesList(inArchive, Scope::AllFunds, SeriesKind(kind));
  return {};
}

ChartPane* DerivedChartCommands::PrepareChartPane() {
  ChartPane* pane = host_.FindChartPane();
  if (!pane) {
    prompter_.Notice("Hinweis", "Das Chartfenster wurde nicht gefunden.\nOffensichtlich liegt ein Fehler vor!",
                     MessageIcon::Stop, BeepKind::Stop);
    return nullptr;
  }
  host_.SetZoomEnabled(true);
  pane->ResetChart(true);
  return pane;
}

bool DerivedChartCommands::RequireSelectedFund() {
  if (!state_.selectedFund.empty()) return true;
  prompter_.Notice("Hinweis", "Sie müssen erst einen Fond auswählen, bevor Sie den Chart anzeigen können!",
                   MessageIcon::Stop, BeepKind::Stop);
  return false;
}

void DerivedChartCommands::ShowDerivedChart(ChartKind kind) {
  if (kind < ChartKind::MonthlyAverages || kind > ChartKind::YearlyChanges) return;
  ChartPane* pane = PrepareChartPane();
  if (!pane || !RequireSelectedFund()) return;
  std::vector<std::string> series = Series(kind, state_.selectedFund);
  if (series.size() / 2 < 2) return;
  pane->ShowChart(kind, state_.selectedFund, {}, std::move(series));
  host_.ChartShown();
}

void DerivedChartCommands::ShowComparison() {
  const std::vector<std::string> funds = FundNames(state_.depotStore);
  if (funds.size() < 2) {
    prompter_.Notice("Hinweis", "Sie haben keinen Vergleichsfond zur Verfügung.", MessageIcon::Stop, BeepKind::Stop);
    return;
  }
  CompareFundRules rules(prompter_, funds);
  const std::optional<std::string> other = dialog_.ChooseFund(rules);
  if (!other) return;
  ChartPane* pane = PrepareChartPane();
  if (!pane || !RequireSelectedFund()) return;
  std::vector<std::string> series = ComparisonSeries(Series(ChartKind::MonthlyAverages, state_.selectedFund),
                                                     Series(ChartKind::MonthlyAverages, *other));
  if (series.size() / 2 < 2) return;
  pane->ShowChart(ChartKind::Comparison, state_.selectedFund, *other, std::move(series));
  host_.ChartShown();
}

}  // namespace tellurio::chart
