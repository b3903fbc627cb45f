#include "views/table/ReportTable.h"

namespace tellurio {

TextTable SavingsReportTable(const SavingsReport& report) {
  TextTable t;
  t.kind = printkind::kReport;
  t.title = report.title;
  t.serif = true;
  // The column headers stand inside the report, below "Ausgangswerte", not
  // at the top of every page.
  t.columns = {{"", CellAlign::Left},  {"", CellAlign::Center}, {"", CellAlign::Right}, {"", CellAlign::Right},
               {"", CellAlign::Right}, {"", CellAlign::Center}, {"", CellAlign::Center}};
  for (const ReportLine& l : report.lines) {
    switch (l.kind) {
      case ReportLineKind::Title:
        break;  // the title heads every page
      case ReportLineKind::Heading:
        if (!t.lines.empty()) t.lines.push_back(TableLine::Blank());
        t.lines.push_back(TableLine::Heading(l.text));
        break;
      case ReportLineKind::ColumnHeader:
        t.lines.push_back(TableLine::Header({"Fondname", "Kaufdatum", "Anfangsbetrag", "monatliche Rate",
                                             "Dynamisierung", "Ausschüttung", "Anlagezeitraum"}));
        break;
      case ReportLineKind::Fund:
        t.lines.push_back(TableLine::Row(l.cells));
        break;
      case ReportLineKind::Text:
        t.lines.push_back(TableLine::Text(l.text));
        break;
    }
  }
  return t;
}

}  // namespace tellurio
