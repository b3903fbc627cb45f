#pragma once
// CSV files of a TextTable in the form German spreadsheet programs open
// without asking: UTF-8 with a byte-order mark, semicolons between fields,
// CR LF after every record, one header row, numbers with a decimal comma and
// dates "TT.MM.JJJJ" as the table shows them.
//
// A number shown with a unit ("12,34 %", "-3,50 Euro", "3,00 Monate") in a
// column of figures (not left-aligned: names stay whole) is written as the
// bare number: when a column has one unit throughout, the unit goes into its
// header ("3 Jahre (%)"); otherwise a column "Einheit" follows it.  Rows are
// written under the header; text lines "label: value" follow after an empty
// record as label, value and unit; captions and headings are not data.
// A text that a spreadsheet would take for a formula (starting with "=",
// "+", "-" or "@" and not a number) gets a leading apostrophe.

#include <filesystem>
#include <string>

#include "storage/Status.h"
#include "views/table/TextTable.h"

namespace tellurio {

std::string CsvText(const TextTable& table);

// Writes CsvText to path, replacing the file atomically.
Status WriteCsvFile(const std::filesystem::path& path, const TextTable& table);

// A file name from a title: characters that a file name cannot hold (on
// this system or on a shared Windows drive) become "_", cut to whole
// characters so that the name with the extension (with its dot) has at most
// 200 bytes (room for the temporary file of an atomic write), then the
// extension.
std::string FileNameFor(const std::string& title, const std::string& extension);
// FileNameFor(table.title, ".csv").
std::string CsvFileName(const TextTable& table);

}  // namespace tellurio
