// Benchmark of the savings-plan return calculation on the large data
// directory: a monthly plan with a yearly increase for every fund of the
// depot (50 funds of 5,000 prices) over the whole price history, as BERR of
// "Renditeberechnung" runs it (the walk over every fund's rows, the totals),
// against the Open of the same depot store in the same run; and the first
// BERR after the depot was chosen, which also reads and indexes the rows.
//
//   savings_bench [--dir DIR]

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "analysis/ReturnCalculation.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "platform/Clock.h"
#include "storage/FileSet.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

// Shows nothing: a message in the benchmark would be a fault of the set-up.
class CountingPrompter : public Prompter {
 public:
  int shown = 0;
  void Beep(BeepKind) override {}
  Answer Show(const Message&) override {
    ++shown;
    return Answer::Ok;
  }
};

// The amounts of every fund: 100 a month (and 1000 at the start).
class Amounts : public SavingsDialogs {
 public:
  bool ReturnCalculation(ReturnCalculationRules&) override { return false; }
  bool FundAmounts(FundAmountsRules& rules) override {
    std::vector<tellurio::FundAmounts> fields(rules.Funds().size(), tellurio::FundAmounts{"100", "1000", "15.06."});
    return rules.Ok(fields).step == DialogStep::Accept;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = BenchDirectory(argc, argv, "savings");
  LargeData data;
  data.archiveFunds = 0;  // the calculation reads the depot store only
  GenerateLargeDataDirectory(dir, data);

  RecordStore store;
  auto open = [&] {
    store = RecordStore();
    Require(store.Create(fileset::DepotBase(dir, data.depot), 6, fileset::kDepotRowWidths));
    Require(store.Open());
  };
  open();  // warm the page cache

  DepotState state;
  state.workingDirectory = dir;
  state.depotNames = {data.depot};
  state.currency = "Euro";
  state.currencyFactors = {"Euro", "1,00000", "DM", "0,51129"};
  FixedClock clock(CivilDate{2026, 12, 1});
  Calendar calendar(clock);
  CountingPrompter prompter;
  Amounts amounts;
  ReturnCalculationRules rules(state, calendar, prompter, amounts);  // opens the depot store
  rules.SetMode(SavingsMode::Monthly);
  ReturnInputs in;
  // From before the first price (the start moves to it) to the newest one.
  in.purchaseDate = in.start = "01.01.1900";
  in.end = "01.12.2026";
  in.debitDay = 15;
  in.increaseOn = true;
  in.increase = "2";
  in.distributionDay = "15.06.";
  // The machine is shared: the two are measured in turns, so that a busy
  // moment weighs on both, and the medians are compared.
  std::vector<double> openRuns, planRuns;
  for (int run = 0; run < 15; ++run) {
    openRuns.push_back(MedianMs(1, open));
    planRuns.push_back(MedianMs(1, [&] { rules.Calculate(in); }));
  }
  std::sort(openRuns.begin(), openRuns.end());
  std::sort(planRuns.begin(), planRuns.end());
  const double openMs = openRuns[openRuns.size() / 2];
  const double planMs = planRuns[planRuns.size() / 2];
  if (!rules.Calculation() || prompter.shown != 0) {
    std::printf("the calculation gave no result (%d messages)\n", prompter.shown);
    return 1;
  }
  // The first calculation after the depot was chosen reads and indexes the
  // rows of every fund; later ones (other amounts, another period) walk the
  // indexed rows.
  std::vector<double> coldRuns;
  for (int run = 0; run < 7; ++run) {
    ReturnCalculationRules fresh(state, calendar, prompter, amounts);
    fresh.SetMode(SavingsMode::Monthly);
    coldRuns.push_back(MedianMs(1, [&] { fresh.Calculate(in); }));
  }
  std::sort(coldRuns.begin(), coldRuns.end());
  const double coldMs = coldRuns[coldRuns.size() / 2];
  const SavingsTotals& t = rules.Calculation()->totals;
  std::printf("%zu funds, paid in %s, final value %s, return %s %%, %s\n\n", rules.Calculation()->inputs.size(),
              t.paidIn.c_str(), t.finalValue.c_str(), t.returnPercent.c_str(), t.period.c_str());

  Report("Monthly savings plan, whole depot and history", planMs, "Open of the depot store", openMs, 0.5);
  std::printf("%-48s %9.1f ms   (%.2f x the Open; indexes every fund's rows)\n",
              "  the first one after choosing the depot", coldMs, coldMs / openMs);
  if (!std::getenv("TELLURIO_BENCH_KEEP")) fs::remove_all(dir);
  return AllTargetsMet() ? 0 : 1;
}
