#include "app/qt/ShellCommands.h"

#include "app/core/CTellurioDoc.h"
#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/dialogs/AboutDialog.h"
#include "portfolio/FundCommands.h"

namespace tellurio {

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
  table.SetTableViewRequest([&frame, &doc](bool on) {
    frame.ShowTableView(on);
    if (on) doc.NotAvailableYet();  // the tables themselves are not part of this build
  });
}

void BindFundCommands(CommandTable& table, FundCommands& funds) {
  table.Bind(cmd::kNewFund, [&funds] { funds.NewFund(); });
  table.Bind(cmd::kDeleteFund, [&funds] { funds.DeleteFund(); });
  table.Bind(cmd::kEditFund, [&funds] { funds.EditFund(); });
  table.Bind(cmd::kManualPrices, [&funds] { funds.EnterPrices(); });
}

}  // namespace tellurio
