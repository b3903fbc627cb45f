#pragma once
// The program's main window together with the command objects its commands
// drive, all bound in one place (BindProgram).  main() makes one after the
// depot session has started; the main-window test makes one on a prepared
// document, so that it checks the program's own wiring.

#include "analysis/ReturnCalculation.h"
#include "analysis/qt/SavingsDialogsQt.h"
#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "portfolio/FundCommands.h"
#include "portfolio/TransactionCommands.h"
#include "portfolio/dialogs/FundDialogsQt.h"
#include "portfolio/dialogs/TransactionDialogsQt.h"
#include "views/CTellurioView.h"

namespace tellurio {

class CTellurioDoc;
class PriceAcquisition;
class DocumentBackup;

class ProgramWindow {
 public:
  // doc, acquisition, prompter and backup (when given) must outlive this
  // object.  The window is attached to the document (its view host) and the
  // panes' actions are installed until this object is destroyed.  Without
  // backup its two commands stay unavailable.
  ProgramWindow(CTellurioDoc& doc, PriceAcquisition& acquisition, Prompter& prompter, DocumentBackup* backup = nullptr);
  ~ProgramWindow();
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  CMainFrame& frame() { return frame_; }
  AppFlags& flags() { return flags_; }
  CommandTable& commands() { return commands_; }

 private:
  CTellurioDoc& doc_;
  AppFlags flags_;
  CommandTable commands_;
  CMainFrame frame_;
  FundDialogsQt fundDialogs_;
  FundCommands funds_;
  TransactionDialogsQt transactionDialogs_;
  TransactionCommands transactions_;
  SavingsDialogsQt savingsDialogs_;
  SavingsPlans savings_;
  ViewActions actions_;
};

}  // namespace tellurio
