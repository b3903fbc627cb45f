#include "app/core/CommandTable.h"

namespace tellurio {

using namespace cmd;

const std::vector<CommandInfo>& Commands() {
  static const std::vector<CommandInfo> table = {
      {kNewDepot, "&neues Depot einrichten", "Depot anlegen", "depot_new", true},
      {kSwitchDepot, "Depot &wechseln", "Depot wechseln", "depot_switch", true},
      {kDeleteDepot, "Depot &löschen", "Depot löschen", "depot_delete", true},
      {kBackup, "Depotdaten &sichern", "Daten sichern", "backup", true},
      {kRestore, "Depotdaten &rücksichern", " Daten Rücksichern", "restore", true},
      {kPrint, "&Drucken ...", "Fonddaten drucken", "print", false},
      {kExportCsv, "&Exportieren (CSV) ...", "Daten für die Tabellenkalkulation exportieren", "", false},
      {kNewFund, "&neuen Fond in das Depot übernehmen", "neuer Fond", "fund_new", true},
      {kDeleteFund, "Fond &löschen", "Fond löschen", "fund_delete", true},
      {kEditFund, "Fonddaten &editieren", "Fond editieren", "fund_edit", true},
      {kTransactions, "&Umsatzanzeige", "Umsatzanzeige", "", true},
      {kDistribution, "Ertrags&ausschüttung eingeben", "Ertragsausschüttung", "", true},
      {kCosts, "&Kosten des Fonds", "Fondkosten", "", true},
      {kBuy, "Fondanteile &kaufen", "Anteile kaufen", "buy", true},
      {kSell, "Fondanteile &verkaufen", "Anteile verkaufen", "sell", true},
      {kOpeningHoldings, "&Anfangsbestände", "Anfangsbestände", "", true},
      {kManualPrices, "Kursdaten per &Hand eingeben", "Kurse manuell eingeben", "prices_manual", true},
      {kImportPrices, "Kurse aus &Text-File importieren", "Kurse aus Textfile laden", "prices_import", true},
      {kDownloadPrices, "Kurse aus dem &Internet laden", "Daten aus Internet laden", "prices_download", true},
      {kMoneyMarketRate, "&Geldmarktzins eingeben", "Geldmarktzins eingeben", "", true},
      {kSavingsPlans, "&Sparpläne", "Gewinn ermitteln", "savings", true},
      {kSwitchCurrency, "", "Währung wechseln", "currency", true},
      {kPortrait, "", "Fondportrait", "portrait", true},
      {kLongTermChart, "", "Langfristchart zeichnen", "chart_longterm", true},
      {kDailyChart, "", "Tageschart zeichnen", "chart_daily", true},
      {kMonthlyAverages, "", "Monatliche Mittelwerte", "avg_monthly", true},
      {kYearlyAverages, "", "jährliche Mittelwerte", "avg_yearly", true},
      {kMonthlyPerformance, "", "Monatliche Performance", "perf_monthly", true},
      {kYearlyPerformance, "", "Jährliche Performance", "perf_yearly", true},
      {kCompareFunds, "", "Fondvergleich", "compare", true},
      {kZoomIn, "", "Zoom +", "zoom_in", true},
      {kZoomOut, "", "Zoom -", "zoom_out", true},
      {kEndChart, "", "Chartansicht beenden", "chart_end", true},
      {kValueDisplay, "", "Werteanzeige", "value_display", true},
      {kTableToggle, "", "Tabellenansicht ein- und ausschalten", "table_toggle", false},
      {kAbout, "Inf&o über Tellurio...", "", "about", false},
      {kExit, "&Ende", "Programm beenden", "exit", false},
      {kHelp, "Hilfethemen", "", "", false},
      {kContextHelp, "", "Hilfe zum angeklickten Element", "context_help", false},
  };
  return table;
}

const CommandInfo* FindCommand(int id) {
  for (const CommandInfo& c : Commands())
    if (c.id == id) return &c;
  return nullptr;
}

const std::vector<MenuDefinition>& DepotMenu() {
  static const std::vector<MenuDefinition> menu = {
      {"&Depots",
       {kNewDepot, kSwitchDepot, kDeleteDepot, kSeparator, kBackup, kRestore, kSeparator, kPrint, kExportCsv}},
      {"&Fonds", {kNewFund, kDeleteFund, kEditFund, kSeparator, kTransactions, kSeparator, kDistribution, kCosts}},
      {"&Anteile", {kBuy, kSell, kSeparator, kOpeningHoldings}},
      {"&Werteeingabe", {kManualPrices, kImportPrices, kDownloadPrices, kSeparator, kMoneyMarketRate}},
      {"", {kSavingsPlans}},
      {"", {kExit}},
      {"&?", {kAbout, kHelp}},
  };
  return menu;
}

const std::vector<int>& StandardToolbar() {
  static const std::vector<int> bar = {
      kBackup,      kRestore,        kPrint,        kSeparator,    kNewDepot,     kSwitchDepot,
      kDeleteDepot, kSeparator,      kNewFund,      kEditFund,     kDeleteFund,   kSeparator,
      kBuy,         kSell,           kSeparator,    kManualPrices, kImportPrices, kDownloadPrices,
      kSeparator,   kSwitchCurrency, kSavingsPlans, kValueDisplay, kPortrait,     kTableToggle,
      kSeparator,   kExit,           kAbout,        kContextHelp};
  return bar;
}

const std::vector<int>& ChartToolbar() {
  static const std::vector<int> bar = [] {
    std::vector<int> b = StandardToolbar();
    for (int id : {kSeparator, kLongTermChart, kDailyChart, kSeparator, kMonthlyAverages, kYearlyAverages, kSeparator,
                   kMonthlyPerformance, kYearlyPerformance, kCompareFunds, kSeparator, kZoomIn, kZoomOut, kEndChart})
      b.push_back(id);
    return b;
  }();
  return bar;
}

CommandTable::CommandTable(AppFlags& flags, Prompter& prompter) : flags_(flags), prompter_(prompter) {}

void CommandTable::Bind(int id, std::function<void()> action) { actions_[id] = std::move(action); }

bool CommandTable::IsEnabled(int id) const {
  switch (id) {
    case kZoomIn:
    case kZoomOut:
      return flags_.zoomEnabled != 0;
    case kValueDisplay:
      return flags_.valueDisplayEnabled != 0;
    case kPrint:
    case kExportCsv:
      return flags_.printEnabled != 0;
    default:
      return true;
  }
}

void CommandTable::ToggleTableView() {
  if (!flags_.tableViewOn) {
    if (showTable_) showTable_(true);
    flags_.tableViewOn = 1;
    flags_.savedPrintEnabled = flags_.printEnabled;
    flags_.printEnabled = 1;
  } else {
    if (showTable_) showTable_(false);
    flags_.tableViewOn = 0;
    flags_.printEnabled = flags_.savedPrintEnabled;
  }
}

void CommandTable::Execute(int id) {
  const CommandInfo* info = FindCommand(id);
  if (info && info->guarded && flags_.tableViewOn) {
    prompter_.Notice("Hinweis", "Sie können diese Option nur in der Chartansicht nutzen!", MessageIcon::Information,
                     BeepKind::None);
    return;
  }
  if (!IsEnabled(id)) return;
  if (id == kTableToggle) {
    ToggleTableView();
    return;
  }
  auto it = actions_.find(id);
  if (it != actions_.end() && it->second) it->second();
}

}  // namespace tellurio
