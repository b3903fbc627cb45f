#include "app/tests/FakeShell.h"

#include <gtest/gtest.h>

#include "calendar/Calendar.h"
#include "storage/ListFile.h"

namespace tellurio::testing {

namespace {
template <typename T>
T Next(std::deque<T>& q) {
  if (q.empty()) return T{};
  T v = q.front();
  q.pop_front();
  return v;
}
}  // namespace

std::optional<std::string> ScriptedShellDialogs::ChooseDepot(const std::vector<std::string>& depots) {
  log.push_back("Depotauswahl");
  lastDepotList = depots;
  return Next(depotChoices);
}

std::optional<NewDepotChoice> ScriptedShellDialogs::NewDepot(
    const std::vector<std::string>& depots, const std::vector<std::string>&,
    const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>& check) {
  log.push_back("neues Depot anlegen");
  lastDepotList = depots;
  // Like the real dialog: a refused choice keeps it open, and the script's
  // next entry is what the user types then.
  for (;;) {
    std::optional<NewDepotChoice> c = Next(newDepots);
    if (!c) return c;
    std::optional<NameRefusal> r = check ? check(*c) : std::nullopt;
    refusals.push_back(r);
    if (!r) return c;
  }
}

std::optional<std::string> ScriptedShellDialogs::AssignWebProvider(const std::vector<std::string>&) {
  log.push_back("Fondanbieter zuordnen");
  return Next(webProviderChoices);
}

std::optional<std::string> ScriptedShellDialogs::ChooseDepotToDelete(const std::vector<std::string>& depots) {
  log.push_back("Depot löschen");
  lastDepotList = depots;
  return Next(deleteChoices);
}

std::optional<std::string> ScriptedShellDialogs::ChooseCurrency(const std::string&) {
  log.push_back("Währung festlegen");
  return Next(currencyChoices);
}

std::optional<std::string> ScriptedShellDialogs::EnterMoneyMarketRate(const std::string& current) {
  log.push_back("Eingabe des Geldmarkzinses " + current);
  return Next(rateEntries);
}

std::optional<std::string> ScriptedShellDialogs::EnterConversionFactor(const std::string& currency,
                                                                       const std::string& display) {
  log.push_back("Währungsumrechnung " + currency + " in " + display);
  return Next(factorEntries);
}

int DocFixture::WebCalls(const std::string& exportName) const {
  int n = 0;
  for (const std::string& c : web.calls) n += c.rfind(exportName + " ", 0) == 0 || c == exportName;
  return n;
}

std::vector<std::string> DocFixture::List(const std::string& file) const {
  std::vector<std::string> lines;
  std::string bytes;
  if (ReadFileBytes(dir / file, bytes).ok()) lines = DecodeListBytes(bytes);
  return lines;
}

void DocFixture::WriteList(const std::string& file, const std::vector<std::string>& lines) const {
  EXPECT_TRUE(WriteListFile(dir / file, lines).ok()) << file;
}

}  // namespace tellurio::testing
