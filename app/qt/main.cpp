// Tellurio: starts in its working directory (the process current
// directory), runs the start of the depot session and shows the main window.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "acquisition/PriceAcquisition.h"
#include "acquisition/dialogs/AcquisitionDialogsQt.h"
#include "app/core/CTellurioDoc.h"
#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ShellCommands.h"
#include "app/qt/dialogs/ShellDialogsQt.h"
#include "calendar/Calendar.h"
#include "marabu/MarabuLibrary.h"
#include "platform/Clock.h"
#include "platform/qt/QtPrompter.h"
#include "platform/qt/QtSettings.h"
#include "portfolio/FundCommands.h"
#include "portfolio/TransactionCommands.h"
#include "portfolio/dialogs/FundDialogsQt.h"
#include "portfolio/dialogs/TransactionDialogsQt.h"
#include "views/CTellurioView.h"

namespace {

// TELLURIO_TODAY=TT.MM.JJJJ fixes "today", for demonstrations and tests.
std::unique_ptr<tellurio::Clock> MakeClock() {
  if (const char* t = std::getenv("TELLURIO_TODAY")) {
    const tellurio::PackedDate d = tellurio::Calendar::ParseDate(t);
    if (tellurio::PackedYear(d) > 1900)
      return std::make_unique<tellurio::FixedClock>(
          tellurio::CivilDate{tellurio::PackedYear(d), tellurio::PackedMonth(d), tellurio::PackedDay(d)});
  }
  return std::make_unique<tellurio::SystemClock>();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vaskor"));
  QApplication::setApplicationName(QStringLiteral("Tellurio"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

  using namespace tellurio;
  const std::filesystem::path workingDirectory = std::filesystem::current_path();
  std::unique_ptr<Clock> clock = MakeClock();
  QtPrompter prompter;
  QtSettings settings;
  marabu::MarabuLibrary web;
  ShellDialogsQt dialogs(prompter, nullptr);
  // Price acquisition is the document's hooks for the portrait refresh, the
  // fund archive reconciliation and the portrait index at start.
  AcquisitionDialogsQt acquisitionDialogs(nullptr);
  PriceAcquisition acquisition(acquisitionDialogs, web);
  AppFlags flags;
  CommandTable commands(flags, prompter);

  CTellurioDoc doc(DocumentServices{prompter, settings, *clock, web, dialogs, {&acquisition}});
  acquisition.SetSession(&doc);
  if (doc.StartUp(workingDirectory) == CTellurioDoc::StartResult::Exit) return 0;

  // Made after the document and so destroyed before it: the panes (and the
  // ticker thread of the depot pane) use the document until they are gone.
  CMainFrame frame(flags, commands);

  frame.AttachDocument(&doc);
  FundDialogsQt fundDialogs(prompter, &frame);
  FundCommands funds(doc.State(), doc.calendar(), prompter, doc, doc, fundDialogs);
  TransactionDialogsQt transactionDialogs(prompter, doc.calendar().clock(), &frame);
  TransactionCommands transactions(doc.State(), doc.calendar(), prompter, doc, doc, transactionDialogs, doc.Stores());
  BindShellCommands(commands, doc, frame);
  BindFundCommands(commands, funds);
  BindTransactionCommands(commands, transactions);
  BindAcquisitionCommands(commands, acquisition);
  const std::function<void(int)> drawChart = BindChartCommands(commands, doc, frame, flags);

  // What the panes ask for: a chosen fund becomes the selected fund and its
  // long-term chart is drawn; the fund list opens the fund data window and
  // takes funds over into the depot.  Each runs after the event that asked
  // for it, since it rebuilds the list that sent it.
  ViewActions actions;
  actions.fundChosen = [&](const std::string& fund, Scope) {
    QTimer::singleShot(0, &frame, [&, fund] {
      if (flags.tableViewOn) return;
      doc.SelectFund(fund);
      drawChart(kLongTermKind);
      frame.UpdateAllViews();
    });
  };
  actions.showFundData = [&](const std::string& line) {
    QTimer::singleShot(0, &frame, [&, line] {
      if (funds.ShowFundData(line)) {
        doc.RecomputeStatistics(Scope::AllFunds);
        frame.UpdateAllViews();
      }
    });
  };
  actions.takeOverFund = [&](const std::string& line) {
    QTimer::singleShot(0, &frame, [&, line] { funds.TakeOverFund(line); });
  };
  CTellurioView::SetActions(&actions);
  prompter.SetParent(&frame);
  dialogs.SetParent(&frame);
  acquisitionDialogs.SetParent(&frame);
  frame.show();
  const int status = QApplication::exec();
  CTellurioView::SetActions(nullptr);
  doc.SetViewHost(nullptr);
  return status;
}
