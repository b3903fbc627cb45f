#include "app/demo/DemoData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "Funds.h"
#include "calendar/NumberText.h"
#include "platform/Prompter.h"
#include "portfolio/DepotStores.h"
#include "portfolio/Funds.h"
#include "portfolio/TransactionTrade.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio::demo {

namespace fs = std::filesystem;

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

Status First(Status a, const Status& b) { return a.ok() ? b : a; }

}  // namespace

const std::vector<DemoDepot>& DemoDepots() {
  static const std::vector<DemoDepot> depots = {
      {"Altersvorsorge", "Deka Bank", "Deka"},
      {"Sparplan Kinder", "Deka Bank", "Deka"},
      {"Weltweit", "DWS Fonds", "DWS"},
  };
  return depots;
}

namespace {

// The Euro funds of the demo publisher's provider with that key, from the
// first'th on (held funds need no conversion factor at start).
std::vector<const ::demo::Fund*> EuroFunds(const std::string& key) {
  std::vector<const ::demo::Fund*> out;
  if (const ::demo::Provider* p = ::demo::FindProviderByKey(key))
    for (const ::demo::Fund& f : p->funds)
      if (f.currency == "Euro") out.push_back(&f);
  return out;
}

DemoFund FromPublisher(const ::demo::Fund& f, bool archived) {
  return DemoFund{f.name, f.wkn, ::demo::SurchargeFactorText(f), f.currency, archived, &f};
}

}  // namespace

std::vector<DemoFund> DemoFunds(const std::string& depot) {
  // The depots hold funds that the demo publisher lists, so a download
  // brings their newest prices; a few more wait in the fund archive.
  struct Pick {
    const char* depot;
    const char* key;
    size_t first, held, archived;
  };
  static const Pick picks[] = {
      {"Altersvorsorge", "Deka", 0, 4, 2}, {"Sparplan Kinder", "Deka", 6, 2, 1}, {"Weltweit", "DWS", 0, 3, 1}};
  std::vector<DemoFund> out;
  for (const Pick& p : picks) {
    if (depot != p.depot) continue;
    const std::vector<const ::demo::Fund*> funds = EuroFunds(p.key);
    for (size_t i = p.first; i < p.first + p.held + p.archived && i < funds.size(); ++i)
      out.push_back(FromPublisher(*funds[i], i >= p.first + p.held));
  }
  return out;
}

std::vector<std::string> DemoPrices(const Calendar& calendar, const DemoFund& fund, int days) {
  std::vector<PackedDate> dates;
  PackedDate d = PreviousBusinessDay(calendar, calendar.Today());
  while (static_cast<int>(dates.size()) < days) {
    if (IsBusinessDay(calendar, d)) dates.push_back(d);
    d = Calendar::Normalise(MakePackedDate(PackedYear(d), PackedMonth(d), PackedDay(d) - 1));
  }
  std::reverse(dates.begin(), dates.end());
  std::vector<std::string> rows;
  rows.reserve(2 * dates.size());
  for (PackedDate day : dates) {
    const ::demo::Date date{PackedYear(day), PackedMonth(day), PackedDay(day)};
    if (fund.source && ::demo::DayNumber(date) < ::demo::DayNumber(fund.source->launch)) continue;
    rows.push_back(Calendar::FormatDate(day));
    rows.push_back(fund.source ? FormatNumber(::demo::Price(*fund.source, date) + 1e-9, 2) : "0");
  }
  return rows;
}

namespace {

// Answers every question with Yes and shows nothing: the demo bookings go
// through the buy dialog's own rules.
class AgreeingPrompter : public Prompter {
 public:
  void Beep(BeepKind) override {}
  Answer Show(const Message& m) override {
    return m.buttons == MessageButtons::YesNo || m.buttons == MessageButtons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }
};

// Purchases of the new funds of a depot: a savings plan of a few amounts
// spread over the last years, booked as the buy dialog books them.
void BuyShares(DepotState& state, const Calendar& calendar, const std::vector<std::string>& funds) {
  if (funds.empty()) return;
  AgreeingPrompter agree;
  TradeSession session(TradeKind::Buy, state, calendar, agree);
  const std::vector<std::string> all = session.Funds();
  static const int kMonthsBack[] = {40, 28, 16, 7};
  static const char* const kAmounts[] = {"2500", "1000", "1500", "750"};
  for (const std::string& fund : funds) {
    const auto it = std::find(all.begin(), all.end(), fund);
    if (it == all.end()) continue;
    session.SwitchFund(static_cast<size_t>(it - all.begin()), "");
    const std::vector<std::string> prices = PriceRows(state.depotStore, fund);
    for (size_t k = 0; k < std::size(kMonthsBack); ++k) {
      // About that many months before the newest price (21 price days a month).
      const size_t back = static_cast<size_t>(kMonthsBack[k]) * 21;
      if (prices.size() / 2 <= back) continue;
      const std::string date = prices[prices.size() - 2 - 2 * back];
      if (session.DateTyped(date).focus == TradeField::Date) continue;
      session.AmountChanged(kAmounts[k]);
      session.Ok(kAmounts[k], date);
    }
  }
}

}  // namespace

// Keeps what the opening of the stores reports, for the demo tool's result.
class CollectingPrompter : public Prompter {
 public:
  void Beep(BeepKind) override {}
  Answer Show(const Message& m) override {
    shown.push_back(m);
    return Answer::Ok;
  }
  std::vector<Message> shown;
};

Status WriteDemoDataDirectory(const fs::path& dir, const Calendar& calendar) {
  const int year = PackedYear(calendar.Today());
  const std::string monthName = calendar.TodayMonthName();
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) return Status::FromErrno(ec.value(), dir.string());

  CollectingPrompter reports;
  DepotStores stores(reports, calendar);
  Status result;
  std::vector<std::string> pairs;
  // A list that cannot be read is not written back (it would lose its lines).
  const Status pairsRead = ReadListFile(dir / fileset::kProviderAssignments, pairs);
  result = First(result, pairsRead);
  std::vector<std::string> providers;
  for (const DemoDepot& d : DemoDepots()) {
    if (!Contains(providers, d.provider)) providers.push_back(d.provider);
    bool assigned = false;
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) assigned = assigned || pairs[i] == d.provider;
    if (!assigned) {
      pairs.push_back(d.provider);
      pairs.push_back(d.webProvider);
    }
    std::vector<std::string> list;
    const Status listRead = ReadListFile(fileset::ProviderList(dir, d.provider), list);
    result = First(result, listRead);
    if (listRead.ok() && !Contains(list, d.depot)) {
      list.push_back(d.depot);
      result = First(result, WriteListFile(fileset::ProviderList(dir, d.provider), list));
    }
    DepotState state;
    state.workingDirectory = dir;
    state.currentDepot = d.depot;
    RecordStore& depot = state.depotStore;
    RecordStore& archive = state.auxiliaryStore;
    // A depot whose files cannot be read is left as it is.
    if (!stores.OpenBoth(dir, d.depot, depot, archive)) continue;
    bool depotChanged = false, archiveChanged = false;
    std::vector<std::string> bought;
    for (const DemoFund& f : DemoFunds(d.depot)) {
      RecordStore& store = f.archived ? archive : depot;
      if (store.FindKey(f.name) >= 0 && store.FindKey(f.name) < store.RecordCount()) continue;
      store.AddRecord({f.name, f.wkn, f.surchargeFactor, f.currency});
      const std::vector<std::string> prices = DemoPrices(calendar, f, 1300);
      store.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
      (f.archived ? archiveChanged : depotChanged) = true;
      if (!f.archived) bought.push_back(f.name);
    }
    std::vector<RecordStore*> changed;
    if (depotChanged) changed.push_back(&depot);
    if (archiveChanged) changed.push_back(&archive);
    if (!changed.empty()) result = First(result, RecordStore::SaveTogether(changed));
    BuyShares(state, calendar, bought);
  }
  if (pairsRead.ok()) result = First(result, WriteListFile(dir / fileset::kProviderAssignments, pairs));
  result = First(result, fileset::EnsurePriceDirectories(dir, providers, year, monthName));
  // What the opening of a store reported (a damaged or unreadable depot).
  if (result.ok() && !reports.shown.empty())
    result = Status::Error(Status::Code::IoError, dir.string(), reports.shown.front().text);
  return result;
}

}  // namespace tellurio::demo
