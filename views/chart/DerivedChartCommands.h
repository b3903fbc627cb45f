#pragma once
// The commands of the derived charts: monthly and yearly averages, monthly
// and yearly "Performance" of the selected fund, and the comparison of the
// selected fund with a second fund of the depot (dialog "Fond für den
// Vergleichschart wählen").  Plain C++: the chart pane, the program's
// flags and the dialog are reached through the interfaces below, every
// message through the Prompter.

#include <optional>
#include <string>
#include <vector>

#include "platform/DialogStep.h"
#include "platform/Prompter.h"
#include "views/chart/ChartCore.h"

namespace tellurio {

struct DepotState;
class Statistics;

namespace chart {

// The chart pane "Fenster1" as the chart commands see it.
class ChartPane {
 public:
  virtual ~ChartPane() = default;
  // Empties the pane for a new chart (chartOn) or ends the chart view.
  virtual void ResetChart(bool chartOn) = 0;
  // Shows the chart of a label/value series.
  virtual void ShowChart(ChartKind kind, const std::string& fund, const std::string& otherFund,
                         std::vector<std::string> series) = 0;
};

// What the chart commands need of the program around them.
class ChartHost {
 public:
  virtual ~ChartHost() = default;
  // The chart pane, or null when there is none (the commands say so).
  virtual ChartPane* FindChartPane() = 0;
  virtual void SetZoomEnabled(bool on) = 0;
  // A chart is on screen: the chart toolbar and printing become available.
  virtual void ChartShown() = 0;
};

// The rules of dialog "Fond für den Vergleichschart wählen": a double
// click on a fund chooses it; OK without a choice asks whether to leave
// the dialog anyway.
class CompareFundRules {
 public:
  CompareFundRules(Prompter& prompter, std::vector<std::string> funds)
      : prompter_(prompter), funds_(std::move(funds)) {}
  // The funds of the depot, in the list's order.
  const std::vector<std::string>& Funds() const { return funds_; }
  // A double click on the fund at that place of the list; out of range
  // changes nothing.
  void DoubleClicked(int index);
  // The chosen fund, shown in the one-line list; empty until a double click.
  const std::string& Choice() const { return choice_; }
  // OK: Accept with a chosen fund; otherwise the question, Cancel for Yes
  // (the dialog closes as cancelled), Stay for No.
  DialogStep Ok();

 private:
  Prompter& prompter_;
  std::vector<std::string> funds_;
  std::string choice_;
};

// Dialog "Fond für den Vergleichschart wählen".
class CompareFundDialog {
 public:
  virtual ~CompareFundDialog() = default;
  // Runs the dialog with its rules; the chosen fund when it was confirmed.
  virtual std::optional<std::string> ChooseFund(CompareFundRules& rules) = 0;
};

class DerivedChartCommands {
 public:
  // All references must outlive the commands.
  DerivedChartCommands(const DepotState& state, const Statistics& statistics, Prompter& prompter, ChartHost& host,
                       CompareFundDialog& dialog)
      : state_(state), statistics_(statistics), prompter_(prompter), host_(host), dialog_(dialog) {}

  // Monthly averages, yearly averages, monthly changes or yearly changes of
  // the selected fund (kinds 2 to 5; any other kind does nothing).  A series
  // of one point or none leaves the pane empty.
  void ShowDerivedChart(ChartKind kind);
  // The comparison chart of the selected fund with a fund the user chooses.
  void ShowComparison();

  // The series of a derived chart kind (2 to 5) of a fund: from the depot's
  // statistics, or from those of the fund archive for a fund that is not in
  // the depot; empty when the fund is in neither.
  std::vector<std::string> Series(ChartKind kind, const std::string& fund) const;

 private:
  // Finds the pane (telling the user when there is none), enables zoom and
  // resets the pane; null when there is no pane.
  ChartPane* PrepareChartPane();
  bool RequireSelectedFund();

  const DepotState& state_;
  const Statistics& statistics_;
  Prompter& prompter_;
  ChartHost& host_;
  CompareFundDialog& dialog_;
};

}  // namespace chart
}  // namespace tellurio
