#include "portfolio/CurrencyList.h"

#include "calendar/NumberText.h"
#include "portfolio/DepotState.h"

namespace tellurio {

void CurrencyList::Register(const std::string& currency, const std::string& display, ConversionFactorSource& source) {
  if (FactorText(currency)) return;
  if (currency == display) {
    pairs_.push_back(currency);
    pairs_.push_back("1,00000");
    return;
  }
  std::string factor;
  if (currency == "Euro" && display == "DM") {
    factor = FormatNumber(kEuroRate, 5);
  } else if (currency == "DM" && display == "Euro") {
    factor = FormatNumber(1.0 / kEuroRate, 5);
  } else {
    std::optional<std::string> typed = source.AskFactor(currency, display);
    factor = typed ? *typed : "0,00000";
  }
  pairs_.push_back(currency);
  pairs_.push_back(factor);
}

std::optional<std::string> CurrencyList::FactorText(const std::string& currency) const {
  for (size_t i = 0; i + 1 < pairs_.size(); i += 2)
    if (pairs_[i] == currency) return pairs_[i + 1];
  return std::nullopt;
}

double CurrencyList::Factor(const std::string& currency, double fallback) const {
  std::optional<std::string> t = FactorText(currency);
  return t ? ParseNumber(*t) : fallback;
}

void CurrencyList::SwitchDisplayCurrency(const std::string& from, const std::string& to) {
  if (from == to) return;
  const double m = to == "Euro" ? 1.0 / kEuroRate : kEuroRate;
  for (size_t i = 0; i + 1 < pairs_.size(); i += 2) pairs_[i + 1] = FormatNumber(ParseNumber(pairs_[i + 1]) * m, 5);
}

}  // namespace tellurio
