#pragma once
// The four downloads of the library, on C++ types.  Each reads the
// configuration for the working directory, fetches one document into its
// file under the working directory (replaced only on success) and reads it
// back.  File paths are built from the working directory alone; none of
// these functions reads or changes the process current directory.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "HttpFetch.h"
#include "PageParsers.h"
#include "calendar/Calendar.h"

namespace marabu {

// Today's price file of the web provider into
// wd/Fondpreise/priceDirectory/JJJJ/<month>/TTMMJJJJ.txt; lines receives its
// lines (UTF-8).  On failure lines is empty and nothing was stored.
FetchError DownloadPriceFile(const std::string& webProvider, const std::string& priceDirectory,
                             const std::filesystem::path& wd, std::vector<std::string>& lines);

// The price file of the given day ("TT.MM.JJJJ", a valid date from 1900 on)
// into wd/Fondpreise/priceDirectory/JJJJ/<month of that day>/TTMMJJJJ.txt;
// otherwise as DownloadPriceFile.  A date that is no valid date is an
// argument failure and sends no request.
FetchError DownloadPriceFileOf(const std::string& webProvider, const std::string& priceDirectory,
                               const std::filesystem::path& wd, const std::string& date,
                               std::vector<std::string>& lines);

// A day text "TT.MM.JJJJ" with two-digit day and month, four-digit year from
// 1900 on, and a day that exists in its month.
std::optional<tellurio::PackedDate> ParseDayText(const std::string& text);

// The portrait file into wd/portrait.txt.
FetchError DownloadPortraits(const std::filesystem::path& wd);

// The index page into wd/dax1.html; appended receives today's date and the
// DAX value when the page has one, and stays empty otherwise.
FetchError DownloadDax(const std::filesystem::path& wd, std::vector<std::string>& appended);

// The comparison page (mode 0 performance, otherwise competitors) into
// wd/testi.txt.  When the answer is not empty, converted receives the
// HtmlToText fields, received is set and testi.txt is deleted.
FetchError DownloadComparison(const std::string& wkn, int mode, const std::filesystem::path& wd,
                              std::vector<std::string>& converted, bool& received);

// The parse context (vendor marker, today) for HtmlToText with the
// configuration of the working directory.
ParseContext MakeParseContext(const std::filesystem::path& wd);

}  // namespace marabu
