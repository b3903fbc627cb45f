#pragma once
// Binds the commands of the command table to what they do in the program.
// Commands of subsystems that are not part of this build tell the user so.

#include <functional>

#include "views/chart/ChartCore.h"

namespace tellurio {

class CommandTable;
class CTellurioDoc;
class CMainFrame;
class FundCommands;
class TransactionCommands;
class PriceAcquisition;
class Prompter;
struct AppFlags;

void BindShellCommands(CommandTable& table, CTellurioDoc& doc, CMainFrame& frame);
// The fund commands: new, delete, edit, manual price entry.
void BindFundCommands(CommandTable& table, FundCommands& funds);
// The transaction commands: buy, sell, distribution, costs, opening
// holdings, transaction list.
void BindTransactionCommands(CommandTable& table, TransactionCommands& transactions);
// Price acquisition: internet download, text-file import, fund portrait.
void BindAcquisitionCommands(CommandTable& table, PriceAcquisition& acquisition);

// The chart commands: long-term and daily chart, the derived charts
// (monthly and yearly averages and performance, comparison of two funds),
// zoom, value display, end of the chart view.  Returns what draws a price
// chart (long-term or daily) for the selected fund, for the panes that
// select funds.
std::function<void(chart::ChartKind)> BindChartCommands(CommandTable& table, CTellurioDoc& doc, CMainFrame& frame,
                                                        AppFlags& flags);

}  // namespace tellurio
