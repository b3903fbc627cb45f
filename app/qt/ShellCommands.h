#pragma once
// Binds the commands of the command table to what they do in the program.
// Commands of subsystems that are not part of this build tell the user so.

namespace tellurio {

class CommandTable;
class CTellurioDoc;
class CMainFrame;
class FundCommands;

void BindShellCommands(CommandTable& table, CTellurioDoc& doc, CMainFrame& frame);
// The fund commands: new, delete, edit, manual price entry.
void BindFundCommands(CommandTable& table, FundCommands& funds);

}  // namespace tellurio
