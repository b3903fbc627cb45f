#pragma once
// The savings-plan report as a TextTable of print kind 0: the title, the
// heading "Ausgangswerte", the column headers and one row per fund, the debit
// day, the heading "Ergebis" and the result lines; portrait, in the serif
// font of the report.

#include "analysis/SavingsPlan.h"
#include "views/table/TextTable.h"

namespace tellurio {

TextTable SavingsReportTable(const SavingsReport& report);

}  // namespace tellurio
