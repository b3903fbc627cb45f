#include "app/qt/ProgramWindow.h"

#include "app/core/CTellurioDoc.h"
#include "app/qt/ShellCommands.h"

namespace tellurio {

ProgramWindow::ProgramWindow(CTellurioDoc& doc, PriceAcquisition& acquisition, Prompter& prompter,
                             DocumentBackup* backup)
    : doc_(doc),
      commands_(flags_, prompter),
      frame_(flags_, commands_),
      fundDialogs_(prompter, &frame_),
      funds_(doc.State(), doc.calendar(), prompter, doc, doc, fundDialogs_),
      transactionDialogs_(prompter, doc.calendar().clock(), &frame_),
      transactions_(doc.State(), doc.calendar(), prompter, doc, doc, transactionDialogs_, doc.Stores()),
      savingsDialogs_(prompter, doc.calendar().clock(), &frame_),
      savings_(doc.State(), doc.calendar(), prompter, savingsDialogs_) {
  frame_.AttachDocument(&doc);
  // The report of DRUCKEN, until the table pane shows it.
  savings_.SetReportSink([this](const SavingsReport& report) { ShowSavingsReport(report, &frame_); });
  BindProgram(commands_, ProgramParts{doc, frame_, flags_, funds_, transactions_, acquisition, savings_, backup},
              actions_);
  CTellurioView::SetActions(&actions_);
}

ProgramWindow::~ProgramWindow() {
  CTellurioView::SetActions(nullptr);
  doc_.SetViewHost(nullptr);
}

}  // namespace tellurio
