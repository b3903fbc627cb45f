#pragma once
// The Qt dialogs of the table view, the print command and the CSV export:
// "Auswahl der Tabellenansicht", "Druckausgabe", the choice of what to
// export and the file dialog.  Each forwards its events to its rules and
// shows what they say.

#include <QPointer>
#include <QWidget>

#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "views/table/TableViewController.h"

namespace tellurio {

class TableViewDialogsQt : public TableViewDialogs {
 public:
  // prompter and clock must outlive the dialogs; parent may be null.
  TableViewDialogsQt(Prompter& prompter, const Clock& clock, QWidget* parent);
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<TableSelection> ChooseTable(TableSelectionRules& rules) override;
  std::optional<PrintChoice> ChoosePrintItems(PrintChoiceRules& rules) override;
  std::optional<ExportItem> ChooseExportItem(const std::string& fund) override;
  std::optional<std::filesystem::path> AskCsvPath(const std::filesystem::path& dir,
                                                  const std::string& suggestedName) override;

 private:
  Prompter& prompter_;
  const Clock& clock_;
  QPointer<QWidget> parent_;
};

}  // namespace tellurio
