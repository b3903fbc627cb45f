#pragma once
// The currency list: for every fund currency in use, the factor that turns
// one unit of it into the display currency ("DM" or "Euro").  Kept as pairs of
// lines (currency, factor text) in the document's currencyFactors.

#include <optional>
#include <string>
#include <vector>

#include "platform/Prompter.h"

namespace tellurio {

// Asks the user for the factor of a currency that is neither the display
// currency nor DM/Euro ("Währungsumrechnung").  Returns the text typed, or
// nothing when the dialog was cancelled.
class ConversionFactorSource {
 public:
  virtual ~ConversionFactorSource() = default;
  virtual std::optional<std::string> AskFactor(const std::string& currency, const std::string& displayCurrency) = 0;
};

class CurrencyList {
 public:
  explicit CurrencyList(std::vector<std::string>& pairs) : pairs_(pairs) {}

  // Adds the currency when it has no entry yet: "1,00000" for the display
  // currency, 1,95583 for Euro shown in DM, 0,51129 for DM shown in Euro,
  // otherwise the factor the user types ("0,00000" when cancelled).
  void Register(const std::string& currency, const std::string& displayCurrency, ConversionFactorSource& source);

  // The factor text of the currency, or nothing without an entry.
  std::optional<std::string> FactorText(const std::string& currency) const;
  // The parsed factor, or fallback without an entry.
  double Factor(const std::string& currency, double fallback) const;

  // Rescales every factor for a change of the display currency from `from`
  // to `to` (both "DM" or "Euro"); nothing changes when they are equal.
  void SwitchDisplayCurrency(const std::string& from, const std::string& to);

 private:
  std::vector<std::string>& pairs_;
};

}  // namespace tellurio
