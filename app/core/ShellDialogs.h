#pragma once
// The dialogs of the application shell as the document sees them: each runs
// modally and returns what the user chose, or nothing when cancelled.  The
// Qt dialogs implement it; tests script it.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tellurio {

struct NewDepotChoice {
  std::string depot;
  std::string provider;
};

// Checks a depot and provider name before the new-depot dialog closes; the
// reason (a German text) when they cannot be used, naming which field.
struct NameRefusal {
  std::string message;
  bool depotField = true;  // false: the provider field
};

class ShellDialogs {
 public:
  virtual ~ShellDialogs() = default;
  // "Depotauswahl"
  virtual std::optional<std::string> ChooseDepot(const std::vector<std::string>& depots) = 0;
  // "neues Depot anlegen"; check is asked on OK and may keep the dialog open.
  virtual std::optional<NewDepotChoice> NewDepot(
      const std::vector<std::string>& depots, const std::vector<std::string>& providers,
      const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>& check) = 0;
  // "Fondanbieter zuordnen"
  virtual std::optional<std::string> AssignWebProvider(const std::vector<std::string>& webProviders) = 0;
  // "Depot löschen"
  virtual std::optional<std::string> ChooseDepotToDelete(const std::vector<std::string>& depots) = 0;
  // "Währung festlegen": "DM" or "Euro".
  virtual std::optional<std::string> ChooseCurrency(const std::string& current) = 0;
  // "Eingabe des Geldmarkzinses": the rate text as typed.
  virtual std::optional<std::string> EnterMoneyMarketRate(const std::string& current) = 0;
  // "Währungsumrechnung": the factor text as typed.
  virtual std::optional<std::string> EnterConversionFactor(const std::string& currency,
                                                           const std::string& displayCurrency) = 0;
};

}  // namespace tellurio
