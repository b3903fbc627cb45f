#pragma once
// The binding of every command of the command table, and of what the panes
// ask for, to the operation that carries it out: one function, used by the
// program and by its tests, so that a test sees the program's own wiring.

#include "views/CTellurioView.h"

namespace tellurio {

class CommandTable;
class CTellurioDoc;
class CMainFrame;
class FundCommands;
class TransactionCommands;
class PriceAcquisition;
class SavingsPlans;
class DocumentBackup;
struct AppFlags;

// What the commands work on.  Everything must outlive the bindings: the
// command table and the panes hold references to it.
struct ProgramParts {
  CTellurioDoc& doc;
  CMainFrame& frame;
  AppFlags& flags;
  FundCommands& funds;
  TransactionCommands& transactions;
  PriceAcquisition& acquisition;
  SavingsPlans& savings;
  // Backup and restore; null leaves their commands unavailable.
  DocumentBackup* backup;
};

// Binds every command of the table (commands of subsystems that are not part
// of this build tell the user so) and fills actions with what the panes ask
// for: a chosen fund becomes the selected fund and its long-term chart is
// drawn; the fund list opens the fund data window and takes funds over into
// the depot.  The caller hands actions to CTellurioView::SetActions.
void BindProgram(CommandTable& table, const ProgramParts& parts, ViewActions& actions);

}  // namespace tellurio
