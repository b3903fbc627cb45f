#pragma once
// The fund commands of a depot: new fund, delete fund, edit fund, the fund
// data window, taking over an available fund from the fund archive, and
// manual price entry.  They work on the depot state of the document and tell
// it through DocumentEvents what has to be recomputed and redrawn.

#include <string>

#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "portfolio/CurrencyList.h"
#include "portfolio/DepotState.h"
#include "portfolio/FundDialogs.h"

namespace tellurio {

class FundCommands {
 public:
  // Everything must outlive the commands.
  FundCommands(DepotState& state, const Calendar& calendar, Prompter& prompter, DocumentEvents& events,
               ConversionFactorSource& factors, FundDialogs& dialogs);

  void NewFund();
  void DeleteFund();
  void EditFund();
  // The fund data window for the marked line of the fund list (empty: none
  // marked).  Returns true when the window was shown (the caller rebuilds
  // the fund ranking afterwards).
  bool ShowFundData(const std::string& markedLine);
  // Double click on a line of the fund list: the fund moves from the fund
  // archive into the depot.  False when no fund matches the line.
  bool TakeOverFund(const std::string& line);
  void EnterPrices();

  // What the fund data window shows for a fund of the fund archive store.
  static FundDataView DataOf(const RecordStore& archive, const std::string& fund);

 private:
  bool Report(const Status& s);
  void RegisterCurrency(const std::string& currency);
  void Stop(const std::string& text);

  DepotState& state_;
  const Calendar& calendar_;
  Prompter& prompter_;
  DocumentEvents& events_;
  ConversionFactorSource& factors_;
  FundDialogs& dialogs_;
};

// Shows a "Fehler" box for a failed file operation; true when status is ok.
bool ReportFailure(Prompter& prompter, const Status& status);

}  // namespace tellurio
