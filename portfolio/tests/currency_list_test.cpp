#include <gtest/gtest.h>

#include "portfolio/CurrencyList.h"

namespace tellurio {
namespace {

struct ScriptedFactors : ConversionFactorSource {
  std::vector<std::optional<std::string>> answers;
  std::vector<std::string> asked;
  std::optional<std::string> AskFactor(const std::string& currency, const std::string& display) override {
    asked.push_back(currency + " in " + display);
    auto a = answers.empty() ? std::nullopt : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return a;
  }
};

TEST(CurrencyList, FactorsIntoTheDisplayCurrency) {
  std::vector<std::string> pairs;
  CurrencyList list(pairs);
  ScriptedFactors ask;
  ask.answers = {std::string("1,1234"), std::nullopt};
  list.Register("Euro", "DM", ask);
  list.Register("DM", "DM", ask);
  list.Register("Euro", "DM", ask);  // already there
  list.Register("USD", "DM", ask);
  list.Register("CHF", "DM", ask);  // cancelled
  EXPECT_EQ(pairs, (std::vector<std::string>{"Euro", "1,95583", "DM", "1,00000", "USD", "1,1234", "CHF", "0,00000"}));
  EXPECT_EQ(ask.asked, (std::vector<std::string>{"USD in DM", "CHF in DM"}));
  EXPECT_DOUBLE_EQ(list.Factor("USD", 9), 1.1234);
  EXPECT_DOUBLE_EQ(list.Factor("YEN", 9), 9);
}

// 1,95583 x (1 / 1,95583) must come out as 1,00000, not as 0,99999 from a
// truncated binary product.
TEST(CurrencyList, SwitchingTheDisplayCurrencyRescalesEveryFactor) {
  std::vector<std::string> pairs = {"Euro", "1,95583", "DM", "1,00000", "USD", "2,00000"};
  CurrencyList list(pairs);
  list.SwitchDisplayCurrency("DM", "Euro");
  EXPECT_EQ(pairs, (std::vector<std::string>{"Euro", "1,00000", "DM", "0,51129", "USD", "1,02258"}));
  list.SwitchDisplayCurrency("Euro", "Euro");
  EXPECT_EQ(pairs[1], "1,00000");
  ScriptedFactors ask;
  std::vector<std::string> fresh;
  CurrencyList(fresh).Register("DM", "Euro", ask);
  EXPECT_EQ(fresh, (std::vector<std::string>{"DM", "0,51129"}));
}

}  // namespace
}  // namespace tellurio
