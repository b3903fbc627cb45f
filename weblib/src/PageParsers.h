#pragma once
// HTML pages to flat field lists.  The parsers do not parse HTML: they find
// fixed marker texts (compared byte for byte, case-sensitively) and take the
// text around them.  Every search ends cleanly at the last line; what was
// gathered until then stays in the output.  The parsers keep no state.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marabu {

enum class PageKind {
  None,
  VendorPriceTable,
  ProviderPriceTableA,
  ProviderPriceTableB,
  IndexValue,
  FundPortrait,
  PerformanceData,
  CompetitorData,
};

struct ParseContext {
  // Host-name prefix of the price data vendor; empty switches the vendor
  // price table off (an empty marker would match every line).
  std::string vendorMarker;
  std::string today;  // "TT.MM.JJJJ"
  int year = 0;       // the current four-digit year
};

// The nine field labels of the fund portrait page, in output order.
extern const std::array<std::string_view, 9> kPortraitLabels;

struct Recognition {
  PageKind kind = PageKind::None;
  size_t line = 0;  // the first line that holds a marker
};

// In the first line that holds any marker, the first marker of the list
// (vendor marker, "FrankenInvest", "Deka", "DAX", "Fondportrait",
// "Wertentwicklung", "Konkurenz") that occurs decides the kind.
Recognition RecognisePage(const std::vector<std::string>& lines, std::string_view vendorMarker);

// Clears out and fills it with the fields of the recognised page kind.
// Returns the index value line for the index kind, the fifth output entry
// when there are at least five, today's date for a vendor price table with
// fewer, and an empty text otherwise.  Price tables deliver whole records of
// six entries only.  in and out must be different vectors.
std::string HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out, const ParseContext& context);

// The DAX value of an index page: the line after the first line holding
// "ak_dax_stand", cut before its first "<" (empty without "<").  Nothing
// when the marker is missing or on the last line.
std::optional<std::string> DaxValue(const std::vector<std::string>& lines);

// issue / redemption with 4 decimals (truncated); a divisor that reads as 0
// gives "1,0000", a factor without surcharge.
std::string RatioText(std::string_view dividend, std::string_view divisor);

}  // namespace marabu
