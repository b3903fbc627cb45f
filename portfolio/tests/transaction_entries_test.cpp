// Distributions, costs and opening holdings: the dialogs' rules and the
// application of their entries to the depots' files.  The expected share
// counts are worked out by hand in the comments.

#include <gtest/gtest.h>

#include "portfolio/tests/TransactionFixture.h"

namespace tellurio::testing {
namespace {

using Rows = std::vector<std::string>;

const FundMaster kAlpha{"Alpha Aktien", "111111", "1,0000", "Euro"};
const FundMaster kBeta{"Beta Renten", "222222", "1,0500", "Euro"};
const Rows kAlphaPrices = {"03.03.2003", "50,00", "04.03.2003", "0,00"};

// The user types the amount, presses EDIT and then OK.
std::function<bool(AdjustmentSession&)> EnterOne(std::string date, std::string amount) {
  return [date, amount](AdjustmentSession& s) {
    s.FieldEdited();
    if (s.AmountChanged(date, amount) == DialogStep::Cancel) return false;
    EXPECT_TRUE(s.Edit(date, amount).clearFields);
    return s.Ok("", "").step == DialogStep::Accept;
  };
}

TEST(Distribution, ReinvestsAtTheIssuePriceInEveryDepotHoldingTheFund) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.SetHolding(kAlpha.name, "01.01.2003", "100,0000");
  // A second depot with its own copy of the fund at another price, a third
  // without the fund, a fourth whose copy has no price on that day.
  OtherDepot second(f.dir.path(), "Zweitdepot");
  second.AddFund({"Alpha Aktien", "111111", "1,0000", "Euro"}, {"03.03.2003", "40,00"}, "100,0000");
  OtherDepot without(f.dir.path(), "Ohne");
  without.AddFund(kBeta, {"03.03.2003", "10,00"}, "5,0000");
  OtherDepot noPrice(f.dir.path(), "Lücke");
  noPrice.AddFund(kAlpha, {"28.02.2003", "40,00"}, "7,0000");
  f.state.depotNames = {"Zweitdepot", "Depot", "Ohne", "Lücke"};

  f.txDialogs.adjust.push_back([](AdjustmentSession& s) {
    EXPECT_EQ(s.Shares(), "100,0000");
    EXPECT_EQ(s.Currency(), "Euro");
    EXPECT_EQ(s.AmountChanged("03.03.2003", "1,00"), DialogStep::Stay);
    EXPECT_EQ(s.NewShares(), "102,0000");  // 100 + 1 × 100 / 50
    s.Edit("03.03.2003", "1,00");
    return s.Ok("", "").step == DialogStep::Accept;
  });
  f.tx.EnterDistributions();

  EXPECT_EQ(f.Stored(section::kHolding, kAlpha.name), (Rows{"03.03.2003", "102,0000"}));
  EXPECT_EQ(second.Read(section::kHolding, kAlpha.name), (Rows{"03.03.2003", "102,5000"}));  // 100 + 100 / 40
  EXPECT_EQ(without.Read(section::kHolding, kBeta.name), (Rows{"01.01.2003", "5,0000"}));
  EXPECT_EQ(noPrice.Read(section::kHolding, kAlpha.name), (Rows{"01.01.2003", "7,0000"}));
  // The user learns which depot was left out.
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_NE(f.prompter.Last().text.find("Lücke: Alpha Aktien am 03.03.2003"), std::string::npos);
  EXPECT_EQ(f.prompter.Last().text.find("Zweitdepot"), std::string::npos);
  EXPECT_EQ(f.events.calls, (Rows{"stat:all", "stat:depot", "update"}));
}

TEST(Distribution, UsesTheSurchargeFactorAndTreatsTwoEntriesOneAfterTheOther) {
  TransactionFixture f;
  f.AddFund(kBeta, {"03.03.2003", "20,00", "04.03.2003", "21,00"});
  f.SetHolding(kBeta.name, "01.01.2003", "100,0000");
  // 100 + 2,10 × 100 / (20 × 1,05) = 110; then 110 + 1,05 × 110 / (21 × 1,05) = 115,2380952…
  f.tx.ApplyAdjustments(AdjustmentKind::Distribution,
                        {{kBeta.name, "03.03.2003", "2,10"}, {kBeta.name, "04.03.2003", "1,05"}});
  EXPECT_EQ(f.Stored(section::kHolding, kBeta.name), (Rows{"04.03.2003", "115,2380"}));
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST(Costs, GiveUpSharesAtThePriceOfTheDay) {
  TransactionFixture f;
  f.AddFund(kBeta, kAlphaPrices);
  f.SetHolding(kBeta.name, "01.01.2003", "100,0000");
  f.txDialogs.adjust.push_back([](AdjustmentSession& s) {
    EXPECT_EQ(s.AmountChanged("03.03.2003", "25"), DialogStep::Stay);
    EXPECT_EQ(s.NewShares(), "99,5000");  // 100 − 25 / 50, no surcharge
    return EnterOne("03.03.2003", "25")(s);
  });
  f.tx.EnterCosts();
  EXPECT_EQ(f.Stored(section::kHolding, kBeta.name), (Rows{"03.03.2003", "99,5000"}));

  // A fund without a holding row starts from 0 shares and gets a row.
  TransactionFixture g;
  g.AddFund(kBeta, kAlphaPrices);
  g.tx.ApplyAdjustments(AdjustmentKind::Costs, {{kBeta.name, "03.03.2003", "25"}});
  EXPECT_EQ(g.Stored(section::kHolding, kBeta.name), (Rows{"03.03.2003", "-0,5000"}));
}

TEST(Adjustments, AMissingDateOrPriceIsReportedAndAMissingPriceCancelsTheDialog) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  AdjustmentSession costs(AdjustmentKind::Costs, f.state.depotStore, f.prompter);
  EXPECT_EQ(costs.Shares(), "0,000");
  EXPECT_EQ(costs.AmountChanged("", "5"), DialogStep::Stay);
  EXPECT_EQ(f.prompter.Last(), (Message{"Hinweis",
                                        "Sie müssen erst das Datum des Kostenanfalls angeben,\nsonst kann der neue "
                                        "Anteilsbestand nicht ausgerechnet werden.",
                                        MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  // Recorded entries go when a price is missing.
  costs.Edit("03.03.2003", "5");
  ASSERT_EQ(costs.Entries().size(), 1u);
  EXPECT_EQ(costs.AmountChanged("04.03.2003", "5"), DialogStep::Cancel);  // a row with price 0
  EXPECT_EQ(f.prompter.Last().text,
            "Für das angegebene Datum ist kein Kurswert verfügbar.\nGeben Sie bitte erst den Kurse für das Datum "
            "ein.\nDer Dialog wird jetzt abgebrochen !!");
  EXPECT_TRUE(costs.Entries().empty());
  EXPECT_EQ(costs.AmountChanged("05.03.2003", "5"), DialogStep::Cancel);  // no row at all
  EXPECT_EQ(f.prompter.Last().text,
            "Für das angegebene Datum ist kein Kurswert verfügbar.\nGeben Sie bitte erst die Kurse für das "
            "Ausschüttungsdatum ein.\nDer Dialog wird jetzt abgebrochen !!");

  AdjustmentSession dist(AdjustmentKind::Distribution, f.state.depotStore, f.prompter);
  dist.AmountChanged("", "1");
  EXPECT_EQ(f.prompter.Last().text.rfind("Sie müssen erst das Datum der Ertragsausschüttung angeben,\n", 0), 0u);
  EXPECT_EQ(dist.AmountChanged("04.03.2003", "1"), DialogStep::Cancel);
  EXPECT_NE(f.prompter.Last().text.find("für das Ausschüttungsdatum"), std::string::npos);

  // The command applies nothing after a cancelled dialog.
  f.txDialogs.adjust.push_back(EnterOne("04.03.2003", "1"));
  f.tx.EnterDistributions();
  EXPECT_TRUE(f.Stored(section::kHolding, kAlpha.name).empty());
  EXPECT_TRUE(f.events.calls.empty());
}

TEST(Adjustments, EditRecordsOnlyWithAnAmountAndSwitchOrOkAskAboutPendingInput) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.AddFund(kBeta, kAlphaPrices);
  AdjustmentSession s(AdjustmentKind::Distribution, f.state.depotStore, f.prompter);
  EXPECT_FALSE(s.Edit("03.03.2003", "").clearFields);  // empty amount: nothing happens
  EXPECT_TRUE(s.Entries().empty());
  EXPECT_FALSE(s.Edit("", "1,00").clearFields);  // an entry without a date could not be applied
  EXPECT_TRUE(s.Entries().empty());

  s.FieldEdited();
  f.prompter.Script({Answer::Yes});
  EXPECT_TRUE(s.SwitchFund(1, "03.03.2003", "0,50").clearFields);
  EXPECT_EQ(f.prompter.Last().text, "Wollen Sie die bisherigen Einnahmen übernehmen?");
  EXPECT_EQ(s.FundIndex(), 1u);
  EXPECT_FALSE(s.Pending());

  s.FieldEdited();
  f.prompter.Script({Answer::No});
  s.SwitchFund(0, "03.03.2003", "0,70");
  s.FieldEdited();
  f.prompter.Script({Answer::Yes});
  EXPECT_EQ(s.Ok("03.03.2003", "0,80").step, DialogStep::Accept);
  EXPECT_EQ(s.Entries(), (std::vector<AdjustmentEntry>{{"Alpha Aktien", "03.03.2003", "0,50"},
                                                       {"Alpha Aktien", "03.03.2003", "0,80"}}));
  // OK without pending input closes with OK and asks nothing.
  AdjustmentSession t(AdjustmentKind::Costs, f.state.depotStore, f.prompter);
  const size_t shown = f.prompter.Messages().size();
  EXPECT_EQ(t.Ok("", "").step, DialogStep::Accept);
  EXPECT_EQ(f.prompter.Messages().size(), shown);
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

TEST(OpeningHoldings, TheFirstEntryAppendsTheRowsASecondAsksAndAddsTheGrowth) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.txDialogs.opening.push_back([](OpeningSession& s) {
    s.FieldEdited();
    EXPECT_TRUE(s.Edit({"", "01.01.2003", "10", "500", ""}).clearFields);
    return s.Ok({}).step == DialogStep::Accept;
  });
  f.tx.EnterOpeningHoldings();
  EXPECT_EQ(f.Stored(section::kHolding, kAlpha.name), (Rows{"01.01.2003", "10"}));  // as typed
  EXPECT_EQ(f.Stored(section::kOpening, kAlpha.name), (Rows{"500,00", "10"}));
  EXPECT_EQ(f.events.calls, (Rows{"stat:depot", "stat:all", "update"}));

  // Purchases since then: 15 held, 5 of them growth since the opening.
  f.SetHolding(kAlpha.name, "03.03.2003", "15,0000");
  f.prompter.Script({Answer::Yes});
  f.txDialogs.opening.push_back([](OpeningSession& s) {
    s.Edit({"", "01.02.2003", "20", "800", "Euro"});
    return s.Ok({}).step == DialogStep::Accept;
  });
  f.tx.EnterOpeningHoldings();
  EXPECT_EQ(f.prompter.Last().text,
            "Für den Fond Alpha Aktien sind schon Anfangsbestände vorhanden.\nWollen Sie trotzdem die Eingabe "
            "übernehmen?");
  EXPECT_EQ(f.Stored(section::kHolding, kAlpha.name), (Rows{"01.02.2003", "25,00000"}));
  EXPECT_EQ(f.Stored(section::kOpening, kAlpha.name), (Rows{"800,00", "20"}));

  // No skips the entry; with nothing recorded the dialog is cancelled.
  f.prompter.Script({Answer::No});
  OpeningSession s(f.state.depotStore, f.prompter);
  EXPECT_TRUE(s.Edit({"", "01.02.2003", "30", "1", ""}).clearFields);
  EXPECT_TRUE(s.Entries().empty());
  EXPECT_EQ(s.Ok({}).step, DialogStep::Cancel);
  EXPECT_FALSE(s.Edit({"", "01.02.2003", "", "1", ""}).clearFields);  // no shares: nothing
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

TEST(OpeningHoldings, TheCapitalIsConvertedIntoTheFundCurrencyAndAZeroFactorIsRefused) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.AddFund(kBeta, kAlphaPrices);
  f.state.currencyFactors = {"Euro", "1,00000"};
  f.factors.answers = {std::string("0,80000"), std::nullopt};
  // 1000 USD × 0,8 ÷ 1 = 800 Euro.  The second currency's factor dialog is
  // cancelled: the factor is 0 and the entry is refused.
  f.tx.ApplyOpeningHoldings(
      {{kAlpha.name, "01.01.2003", "4", "1000", "USD"}, {kBeta.name, "01.01.2003", "3", "1000", "CHF"}});
  EXPECT_EQ(f.factors.asked, (Rows{"USD in Euro", "CHF in Euro"}));
  EXPECT_EQ(f.Stored(section::kOpening, kAlpha.name), (Rows{"800,00", "4"}));
  EXPECT_TRUE(f.Stored(section::kOpening, kBeta.name).empty());
  EXPECT_TRUE(f.Stored(section::kHolding, kBeta.name).empty());
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_NE(f.prompter.Last().text.find("Währung CHF"), std::string::npos);
  EXPECT_NE(f.prompter.Last().text.find("Beta Renten"), std::string::npos);

  // An empty currency field means the fund currency.
  OpeningSession s(f.state.depotStore, f.prompter);
  s.SwitchFund(1, {});
  s.Edit({"", "01.01.2003", "3", "100", ""});
  ASSERT_EQ(s.Entries().size(), 1u);
  EXPECT_EQ(s.Entries()[0], (OpeningEntry{"Beta Renten", "01.01.2003", "3", "100", "Euro"}));
}

}  // namespace
}  // namespace tellurio::testing
