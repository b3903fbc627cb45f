#include "views/table/FundTableBuilder.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "analysis/Statistics.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"

namespace tellurio {

namespace {

// The store of one depot that a table reads, with the statistics of its
// funds (in record order).
struct DepotFigures {
  const RecordStore* store = nullptr;
  const std::vector<FundStatistics>* table = nullptr;
  // Set when the depot is not the current one: its own state and statistics.
  std::unique_ptr<DepotState> state;
  std::unique_ptr<Statistics> statistics;
};

enum class LoadResult { Loaded, Missing, Unreadable };

LoadResult LoadFigures(const std::string& depot, Scope scope, const DepotState& doc, const Statistics& docStats,
                       const Calendar& calendar, DepotStores& stores, DepotFigures& out) {
  if (!depot.empty() && depot == doc.currentDepot) {
    out.store = scope == Scope::DepotFunds ? &doc.depotStore : &doc.auxiliaryStore;
    out.table = &docStats.Table(scope);
    return LoadResult::Loaded;
  }
  const bool depotScope = scope == Scope::DepotFunds;
  out.state = std::make_unique<DepotState>();
  DepotState& s = *out.state;
  s.workingDirectory = doc.workingDirectory;
  s.currentDepot = depot;
  s.currency = doc.currency;
  s.currencyFactors = doc.currencyFactors;
  s.daxSeries = doc.daxSeries;
  s.moneyMarketRate = doc.moneyMarketRate;
  RecordStore& store = depotScope ? s.depotStore : s.auxiliaryStore;
  switch (stores.Open(doc.workingDirectory, depot, depotScope ? StoreKind::Depot : StoreKind::Archive, store,
                      /*createMissing=*/false)) {
    case StoreOpened::Read:
    case StoreOpened::Repaired:  // reported by stores; the table shows what could be read
      break;
    case StoreOpened::Missing: {
      // A depot without its store file cannot be shown; a depot without a
      // fund archive simply has no archived funds, unless the depot has no
      // files at all: then the provider's archive is not there to be read,
      // and the table must say so rather than leave the provider out.
      if (depotScope) return LoadResult::Unreadable;
      std::error_code ec;
      const bool depotThere = std::filesystem::exists(
          std::filesystem::path(fileset::DepotBase(doc.workingDirectory, depot)).concat(".dat"), ec);
      return depotThere ? LoadResult::Missing : LoadResult::Unreadable;
    }
    case StoreOpened::Unreadable:
      return LoadResult::Unreadable;
  }
  out.statistics = std::make_unique<Statistics>(s, calendar);
  // The tables show no weekly figure.
  out.statistics->RecomputeWithoutWeekly(scope);
  out.store = &store;
  out.table = &out.statistics->Table(scope);
  return LoadResult::Loaded;
}

// Master values, newest nonzero price and holding of record r.
FundFacts FactsOf(const RecordStore& store, int r, bool withHolding) {
  FundFacts f;
  const RecordView master = store.Values(section::kMaster, r);
  if (master.size() > 0) f.name = std::string(master[0]);
  if (master.size() > 1) f.wkn = std::string(master[1]);
  if (master.size() > 3) f.currency = std::string(master[3]);
  const RecordView prices = store.Values(section::kPrices, r);
  for (size_t i = prices.size() / 2; i-- > 0;) {
    const double p = ReadPrice(prices[2 * i + 1]);
    if (p != 0) {
      f.newestPrice = p;
      break;
    }
  }
  if (withHolding) {
    const RecordView holding = store.Values(section::kHolding, r);
    if (holding.size() >= 2) f.holding = std::string(holding[holding.size() - 1]);
  }
  return f;
}

// The rows of one depot's store.
void AppendRows(const DepotFigures& fig, int kind, const std::string& depot, const std::string& company,
                std::vector<FundRow>& rows) {
  static const FundStatistics kNone;
  const int n = fig.store->RecordCount();
  for (int r = 0; r < n; ++r) {
    const size_t i = static_cast<size_t>(r);
    const FundStatistics& st = i < fig.table->size() ? (*fig.table)[i] : kNone;
    if (kind == printkind::kAllFunds)
      rows.push_back(AllFundsRow(company, FactsOf(*fig.store, r, false), st));
    else
      rows.push_back(DepotFundsRow(depot, company, FactsOf(*fig.store, r, true), st));
  }
}

struct ProviderDepots {
  std::string provider;
  std::vector<std::string> depots;
};

std::vector<ProviderDepots> ReadProviders(const DepotState& state, DepotStores& stores) {
  std::vector<ProviderDepots> out;
  for (const std::string& p : state.providerNames) {
    ProviderDepots pd;
    pd.provider = p;
    // A list that cannot be read, and names in it that are no depot names,
    // are reported by stores; such a provider counts as one without those
    // depots, which are still listed, under no company.
    pd.depots = stores.DepotsOfProvider(state.workingDirectory, p);
    out.push_back(std::move(pd));
  }
  return out;
}

std::string CompanyOf(const std::vector<ProviderDepots>& providers, const std::string& depot) {
  for (const ProviderDepots& p : providers)
    if (std::find(p.depots.begin(), p.depots.end(), depot) != p.depots.end()) return p.provider;
  return std::string();
}

void Finish(std::vector<std::vector<FundRow>>& blocks, int kind, const TableSelection& sel, bool merge,
            TextTable& table) {
  for (std::vector<FundRow>& block : blocks) {
    if (merge) MergeSameFunds(block);
    SortFundRows(block, kind, sel.sort);
    for (FundRow& r : block) table.lines.push_back(std::move(r.line));
  }
}

}  // namespace

FundTableResult BuildFundTable(const TableSelection& sel, const DepotState& state, const Statistics& statistics,
                               const Calendar& calendar, DepotStores& stores) {
  FundTableResult result;
  const int kind = sel.allFunds ? printkind::kAllFunds : printkind::kDepotFunds;
  // The return sort has no column in the table of all funds.
  const SortKind sort = sel.allFunds && sel.sort == SortKind::Return ? SortKind::GainLowRisk : sel.sort;
  TableSelection s = sel;
  s.sort = sort;
  result.table = EmptyFundTable(kind, sort);
  const std::vector<ProviderDepots> providers = ReadProviders(state, stores);

  std::vector<std::vector<FundRow>> blocks;
  if (sel.allFunds) {
    // One block per provider: the archive of its first depot.
    for (const ProviderDepots& p : providers) {
      if (p.depots.empty()) continue;
      DepotFigures fig;
      const LoadResult r = LoadFigures(p.depots.front(), Scope::AllFunds, state, statistics, calendar, stores, fig);
      if (r == LoadResult::Unreadable) result.skippedDepots.push_back(p.depots.front());
      if (r != LoadResult::Loaded) continue;
      blocks.emplace_back();
      AppendRows(fig, kind, p.depots.front(), p.provider, blocks.back());
    }
    if (!s.byCompany) {
      std::vector<FundRow> all;
      for (std::vector<FundRow>& b : blocks)
        for (FundRow& r : b) all.push_back(std::move(r));
      blocks.assign(1, std::move(all));
    }
    Finish(blocks, kind, s, false, result.table);
    if (s.byCompany) {
      BlankRepeats(result.table.lines, allcol::kCompany);
      result.table.groupColumn = static_cast<int>(allcol::kCompany);
    }
    return result;
  }

  // Depot table: the depots in the order of the depot list.
  struct DepotRows {
    std::string depot, company;
    std::vector<FundRow> rows;
  };
  std::vector<DepotRows> perDepot;
  for (const std::string& d : state.depotNames) {
    if (std::find(sel.excludedDepots.begin(), sel.excludedDepots.end(), d) != sel.excludedDepots.end()) continue;
    DepotFigures fig;
    if (LoadFigures(d, Scope::DepotFunds, state, statistics, calendar, stores, fig) != LoadResult::Loaded) {
      result.skippedDepots.push_back(d);
      continue;
    }
    DepotRows dr{d, CompanyOf(providers, d), {}};
    AppendRows(fig, kind, d, dr.company, dr.rows);
    perDepot.push_back(std::move(dr));
  }
  if (s.byCompany) {
    // Provider blocks in the order of the provider list; depots of no
    // provider last.
    std::vector<std::string> order;
    for (const ProviderDepots& p : providers) order.push_back(p.provider);
    order.emplace_back();
    for (const std::string& company : order) {
      std::vector<FundRow> block;
      for (DepotRows& dr : perDepot)
        if (dr.company == company)
          for (FundRow& r : dr.rows) block.push_back(std::move(r));
      if (!block.empty()) blocks.push_back(std::move(block));
    }
    Finish(blocks, kind, s, true, result.table);
    BlankRepeats(result.table.lines, depotcol::kCompany);
    result.table.groupColumn = static_cast<int>(depotcol::kCompany);
  } else if (s.separateDepots) {
    for (DepotRows& dr : perDepot) blocks.push_back(std::move(dr.rows));
    Finish(blocks, kind, s, false, result.table);
    BlankRepeats(result.table.lines, depotcol::kDepot);
    result.table.groupColumn = static_cast<int>(depotcol::kDepot);
  } else {
    std::vector<FundRow> all;
    for (DepotRows& dr : perDepot)
      for (FundRow& r : dr.rows) all.push_back(std::move(r));
    blocks.push_back(std::move(all));
    Finish(blocks, kind, s, false, result.table);
  }
  return result;
}

std::string SkippedDepotsText(const std::vector<std::string>& depots) {
  if (depots.size() == 1)
    return "Die Daten des Depots " + depots.front() +
           " konnten nicht gelesen werden.\nDas Depot fehlt deshalb in der Tabelle.";
  std::string names;
  for (size_t i = 0; i < depots.size(); ++i)
    names += (i == 0 ? "" : i + 1 == depots.size() ? " und " : ", ") + depots[i];
  return "Die Daten der Depots " + names +
         " konnten nicht gelesen werden.\nDiese Depots fehlen deshalb in der Tabelle.";
}

}  // namespace tellurio
