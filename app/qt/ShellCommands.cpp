#include "app/qt/ShellCommands.h"

#include <QTimer>

#include "acquisition/PriceAcquisition.h"
#include "analysis/ReturnCalculation.h"
#include "app/core/CTellurioDoc.h"
#include "app/core/CommandTable.h"
#include "app/core/DocumentBackup.h"
#include "app/qt/AboutDialog.h"
#include "app/qt/CMainFrame.h"
#include "portfolio/FundCommands.h"
#include "portfolio/Funds.h"
#include "portfolio/TransactionCommands.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/chart/DerivedChartCommands.h"
#include "views/chart/qt/CompareFundDialogQt.h"

namespace tellurio {

namespace {

// The chart pane and the flags of the main window, as the derived chart
// commands see them.
class PaneChartHost : public chart::ChartHost {
 public:
  PaneChartHost(CMainFrame& frame, AppFlags& flags) : frame_(frame), flags_(flags) {}
  chart::ChartPane* FindChartPane() override {
    CChildFrame* pane = frame_.FindPane(QStringLiteral("Fenster1"));
    return pane ? pane->View() : nullptr;
  }
  void SetZoomEnabled(bool on) override {
    flags_.zoomEnabled = on ? 1 : 0;
    frame_.RefreshCommandStates();
  }
  void ChartShown() override {
    flags_.printEnabled = 1;
    frame_.SetChartToolbar(true);
    frame_.RefreshCommandStates();
  }

 private:
  CMainFrame& frame_;
  AppFlags& flags_;
};

// What the derived chart commands keep for the life of the bindings.
struct DerivedCharts {
  DerivedCharts(CTellurioDoc& doc, CMainFrame& frame, AppFlags& flags)
      : host(frame, flags), dialog(&frame), commands(doc.State(), doc.statistics(), doc.prompter(), host, dialog) {}
  PaneChartHost host;
  chart::CompareFundDialogRunner dialog;
  chart::DerivedChartCommands commands;
};

// The depot session, currency, money-market rate, About, exit, help and the
// table toggle.
void BindShellCommands(CommandTable& table, CTellurioDoc& doc, CMainFrame& frame) {
  for (const CommandInfo& c : Commands()) table.Bind(c.id, [&doc] { doc.NotAvailableYet(); });
  table.Bind(cmd::kNewDepot, [&doc] { doc.NewDepot(); });
  table.Bind(cmd::kSwitchDepot, [&doc] { doc.SwitchDepot(); });
  table.Bind(cmd::kDeleteDepot, [&doc] { doc.DeleteDepot(); });
  table.Bind(cmd::kSwitchCurrency, [&doc] { doc.SwitchCurrency(); });
  table.Bind(cmd::kMoneyMarketRate, [&doc] { doc.EnterMoneyMarketRate(); });
  table.Bind(cmd::kAbout, [&frame] { ShowAboutDialog(&frame); });
  table.Bind(cmd::kExit, [&frame] { frame.close(); });
  table.Bind(cmd::kHelp, [&doc] {
    doc.prompter().Notice("Hinweis", "Die Hilfethemen werden mit dieser Version nicht ausgeliefert.",
                          MessageIcon::Information, BeepKind::Information);
  });
  table.Bind(cmd::kContextHelp, [&doc] {
    doc.prompter().Notice("Hinweis", "Die Hilfethemen werden mit dieser Version nicht ausgeliefert.",
                          MessageIcon::Information, BeepKind::Information);
  });
  // The table pane alone; TableCommands adds its tables, printing and export.
  table.SetTableViewRequest([&frame](bool on) { frame.ShowTableView(on); });
}

// The fund commands: new, delete, edit, manual price entry.
void BindFundCommands(CommandTable& table, FundCommands& funds) {
  table.Bind(cmd::kNewFund, [&funds] { funds.NewFund(); });
  table.Bind(cmd::kDeleteFund, [&funds] { funds.DeleteFund(); });
  table.Bind(cmd::kEditFund, [&funds] { funds.EditFund(); });
  table.Bind(cmd::kManualPrices, [&funds] { funds.EnterPrices(); });
}

// Buy, sell, distribution, costs, opening holdings, transaction list.
void BindTransactionCommands(CommandTable& table, TransactionCommands& transactions) {
  table.Bind(cmd::kBuy, [&transactions] { transactions.Buy(); });
  table.Bind(cmd::kSell, [&transactions] { transactions.Sell(); });
  table.Bind(cmd::kDistribution, [&transactions] { transactions.EnterDistributions(); });
  table.Bind(cmd::kCosts, [&transactions] { transactions.EnterCosts(); });
  table.Bind(cmd::kOpeningHoldings, [&transactions] { transactions.EnterOpeningHoldings(); });
  table.Bind(cmd::kTransactions, [&transactions] { transactions.ShowTransactions(); });
}

// Internet download, text-file import, fund portrait.
void BindAcquisitionCommands(CommandTable& table, PriceAcquisition& acquisition) {
  table.Bind(cmd::kDownloadPrices, [&acquisition] { acquisition.DownloadPrices(); });
  table.Bind(cmd::kImportPrices, [&acquisition] { acquisition.ImportPriceFiles(); });
  table.Bind(cmd::kPortrait, [&acquisition] { acquisition.ShowPortrait(); });
}

// "&Sparpläne": the return calculation of savings plans.
void BindSavingsCommands(CommandTable& table, SavingsPlans& savings) {
  table.Bind(cmd::kSavingsPlans, [&savings] { savings.Run(); });
}

// "Depotdaten &sichern" and "Depotdaten &rücksichern".
void BindBackupCommands(CommandTable& table, DocumentBackup& backup) {
  table.Bind(cmd::kBackup, [&backup] { backup.Backup(); });
  table.Bind(cmd::kRestore, [&backup] { backup.Restore(); });
}

// Long-term and daily chart, the derived charts (monthly and yearly
// averages and performance, comparison of two funds), zoom, value display,
// end of the chart view.  Returns what draws a price chart (long-term or
// daily) for the selected fund.
std::function<void(chart::ChartKind)> BindChartCommands(CommandTable& table, CTellurioDoc& doc, CMainFrame& frame,
                                                        AppFlags& flags) {
  auto chartView = [&doc, &frame]() -> CTellurioView* {
    CChildFrame* pane = frame.FindPane(QStringLiteral("Fenster1"));
    CTellurioView* view = pane ? pane->View() : nullptr;
    if (!view)
      doc.prompter().Notice("Hinweis", "Das Chartfenster wurde nicht gefunden.\nOffensichtlich liegt ein Fehler vor!",
                            MessageIcon::Stop, BeepKind::Stop);
    return view;
  };
  auto draw = [&doc, &frame, &flags, chartView](chart::ChartKind kind) {
    CTellurioView* view = chartView();
    if (!view) return;
    flags.zoomEnabled = 0;
    view->ResetChart(true);
    const DepotState& s = doc.State();
    if (s.selectedFund.empty()) {
      doc.prompter().Notice("Hinweis", "Sie müssen erst einen Fond auswählen, bevor Sie den Chart anzeigen können!",
                            MessageIcon::Stop, BeepKind::Stop);
      return;
    }
    if (kind == chart::ChartKind::Daily) flags.zoomEnabled = 1;
    // A fund chosen from the list of all funds has its prices in the fund
    // archive.
    std::vector<std::string> rows = PriceRows(s.depotStore, s.selectedFund);
    if (rows.empty()) rows = PriceRows(s.auxiliaryStore, s.selectedFund);
    view->ShowChart(kind, s.selectedFund, {}, std::move(rows));
    flags.printEnabled = 1;
    frame.SetChartToolbar(true);
    frame.RefreshCommandStates();
  };
  table.Bind(cmd::kLongTermChart, [draw] { draw(chart::ChartKind::LongTerm); });
  table.Bind(cmd::kDailyChart, [draw] { draw(chart::ChartKind::Daily); });
  auto derived = std::make_shared<DerivedCharts>(doc, frame, flags);
  table.Bind(cmd::kMonthlyAverages,
             [derived] { derived->commands.ShowDerivedChart(chart::ChartKind::MonthlyAverages); });
  table.Bind(cmd::kYearlyAverages, [derived] { derived->commands.ShowDerivedChart(chart::ChartKind::YearlyAverages); });
  table.Bind(cmd::kMonthlyPerformance,
             [derived] { derived->commands.ShowDerivedChart(chart::ChartKind::MonthlyChanges); });
  table.Bind(cmd::kYearlyPerformance,
             [derived] { derived->commands.ShowDerivedChart(chart::ChartKind::YearlyChanges); });
  table.Bind(cmd::kCompareFunds, [derived] { derived->commands.ShowComparison(); });
  table.Bind(cmd::kZoomIn, [chartView] {
    if (CTellurioView* v = chartView()) v->Zoom(1);
  });
  table.Bind(cmd::kZoomOut, [chartView, &doc] {
    CTellurioView* v = chartView();
    if (v && !v->Zoom(-1))
      doc.prompter().Notice("Hinweis", "Sie sind beim kleinsten Zoom angekommen!", MessageIcon::Stop, BeepKind::Stop);
  });
  table.Bind(cmd::kValueDisplay, [chartView] {
    if (CTellurioView* v = chartView()) v->ToggleValueDisplay();
  });
  table.Bind(cmd::kEndChart, [chartView, &doc, &frame, &flags] {
    CTellurioView* v = chartView();
    if (!v) return;
    v->ResetChart(false);
    frame.SetChartToolbar(false);
    flags.zoomEnabled = 0;
    flags.printEnabled = 0;
    doc.SelectFund("");
    frame.UpdateAllViews();
  });
  return draw;
}

// What the panes ask for.  Each runs after the event that asked for it,
// since it rebuilds the pane that sent it.
void BindPaneActions(const ProgramParts& p, const std::function<void(chart::ChartKind)>& drawChart,
                     ViewActions& actions) {
  CTellurioDoc& doc = p.doc;
  CMainFrame& frame = p.frame;
  AppFlags& flags = p.flags;
  FundCommands& funds = p.funds;
  actions.fundChosen = [&doc, &frame, &flags, drawChart](const std::string& fund, Scope) {
    QTimer::singleShot(0, &frame, [&doc, &frame, &flags, drawChart, fund] {
      if (flags.tableViewOn) return;
      doc.SelectFund(fund);
      drawChart(chart::ChartKind::LongTerm);
      frame.UpdateAllViews();
    });
  };
  actions.showFundData = [&doc, &frame, &funds](const std::string& line) {
    QTimer::singleShot(0, &frame, [&doc, &frame, &funds, line] {
      if (funds.ShowFundData(line)) {
        doc.RecomputeStatistics(Scope::AllFunds);
        frame.UpdateAllViews();
      }
    });
  };
  actions.takeOverFund = [&frame, &funds](const std::string& line) {
    QTimer::singleShot(0, &frame, [&funds, line] { funds.TakeOverFund(line); });
  };
}

}  // namespace

void BindProgram(CommandTable& table, const ProgramParts& parts, ViewActions& actions) {
  BindShellCommands(table, parts.doc, parts.frame);
  BindFundCommands(table, parts.funds);
  BindTransactionCommands(table, parts.transactions);
  BindAcquisitionCommands(table, parts.acquisition);
  BindSavingsCommands(table, parts.savings);
  if (parts.backup) BindBackupCommands(table, *parts.backup);
  const std::function<void(chart::ChartKind)> drawChart = BindChartCommands(table, parts.doc, parts.frame, parts.flags);
  BindPaneActions(parts, drawChart, actions);
}

}  // namespace tellurio
