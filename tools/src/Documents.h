#pragma once
// The documents of the demo publisher, as lines of UTF-8 text: price files,
// the portrait file and its blocks, the fund portrait page, the index page
// and the two comparison pages.  ToCp1252Lines gives the bytes on the wire.

#include <string>
#include <string_view>
#include <vector>

#include "Dates.h"
#include "Funds.h"

namespace demo {

using Lines = std::vector<std::string>;

// UTF-8 to code page 1252 for the characters the demo texts use (ASCII,
// U+00A0..U+00FF, the euro sign and the en dash); anything else becomes "?".
std::string ToCp1252(std::string_view utf8);

// The lines in code page 1252, each followed by CR LF.
std::string ToCp1252Lines(const Lines& lines);

// The price file of a provider for a day: six lines per fund launched on or
// before the day (name, WKN, surcharge factor, currency, date, price), in
// the provider's order.  The date lines hold `date`.
Lines PriceFileLines(const Provider& provider, Date date);

// The names of the seven performance periods, in order.
extern const std::vector<std::string> kPeriodNames;

// The chart data of a fund: thirteen month points ending at asOf (the first
// one a year earlier), each moved back to a price day; the series hold, for
// points 1 to 12, the change since point 0 in percent.  Empty series when
// the fund is younger than the year.
struct ChartData {
  std::vector<Date> points;         // 13 days, oldest first
  std::vector<double> fund;         // 12 values
  std::vector<double> reference;    // the comparison group
  std::vector<double> best, worst;  // best and worst of the group, the fund included
};
ChartData Chart(const Fund& fund, Date asOf);

// The block of one fund in the portrait file, as of a price day; see
// tools/README.md for its entries.
Lines PortraitBlock(const Fund& fund, Date asOf);

// All funds launched on or before asOf, provider after provider.
Lines PortraitFileLines(Date asOf);

// The fund portrait page (page kind "Fondportrait" of HtmlToText).
Lines PortraitPageLines(const Fund& fund, Date asOf);

// The index page with the DAX after the line holding "ak_dax_stand".
Lines IndexPageLines(Date asOf);

// The comparison pages: one data line "chart(<WKN>,<A>;<B>)" with the
// fund's and the group's performance, or "chart(<WKN>,<A>;<B>;<C>)" with
// the fund's, the best and the worst performance; values with a decimal
// point.  Without chart data the page holds no data line.
Lines PerformancePageLines(const Fund& fund, Date asOf);
Lines CompetitorPageLines(const Fund& fund, Date asOf);

}  // namespace demo
