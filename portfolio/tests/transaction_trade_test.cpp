// Buying and selling shares on real store files, with the user's part of the
// dialogs scripted against the session.  The expected numbers are worked out
// by hand in the comments.

#include <gtest/gtest.h>

#include "portfolio/tests/TransactionFixture.h"

namespace tellurio::testing {
namespace {

using Rows = std::vector<std::string>;

const FundMaster kAlpha{"Alpha Aktien", "111111", "1,0500", "Euro"};
const FundMaster kBeta{"Beta Renten", "222222", "1,0000", "Euro"};
const FundMaster kDollar{"Dollar Fonds", "333333", "1,0500", "USD"};
// 05.03.2003, the default today of the fixture, is a Wednesday.
const Rows kAlphaPrices = {"04.03.2003", "49,00", "05.03.2003", "50,00"};

TEST(Buy, StoresThePurchaseAndAppendsThenReplacesTheHoldingRow) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.prompter.Script({Answer::Yes, Answer::Yes});
  f.txDialogs.trade.push_back([](TradeSession& s) {
    EXPECT_EQ(s.DateText(), "05.03.2003");
    EXPECT_EQ(s.UnitPriceText(), "52,50");  // 50,00 × 1,0500
    EXPECT_EQ(s.FundCurrency(), "Euro");
    EXPECT_EQ(s.AmountCurrency(), "Euro");
    EXPECT_TRUE(s.AmountEnabled());
    EXPECT_EQ(s.OldHolding(), "0");
    s.AmountChanged("1000");
    EXPECT_EQ(s.NewHolding(), "19,0476");  // 1000 / 52,5 = 19,047619…
    EXPECT_EQ(s.Ok("1000", s.DateText()).step, DialogStep::Accept);
  });
  f.tx.Buy();
  EXPECT_EQ(f.Stored(section::kPurchases, kAlpha.name), (Rows{"05.03.2003", "52,50", "19,0476", "1000,00"}));
  EXPECT_EQ(f.Stored(section::kHolding, kAlpha.name), (Rows{"05.03.2003", "19,0476"}));
  EXPECT_EQ(f.prompter.Last().text, "Wollen Sie die Eingabe übernehmen?");
  EXPECT_EQ(f.prompter.Last().title, "Frage");
  EXPECT_EQ(f.events.calls, (Rows{"stat:depot", "update"}));

  // A second purchase on a typed date: issue price 49,00 × 1,05 = 51,45,
  // 525 / 51,45 = 10,204081…; new holding 19,0476 + 10,2040816 = 29,2516816.
  f.txDialogs.trade.push_back([](TradeSession& s) {
    EXPECT_EQ(s.OldHolding(), "19,0476");
    EXPECT_EQ(s.DateTyped("04.03.2003").focus, TradeField::None);
    EXPECT_EQ(s.UnitPriceText(), "51,45");
    s.AmountChanged("525");
    EXPECT_EQ(s.NewHolding(), "29,2516");
    EXPECT_EQ(s.Ok("525", "04.03.2003").step, DialogStep::Accept);
  });
  f.tx.Buy();
  EXPECT_EQ(f.Stored(section::kPurchases, kAlpha.name),
            (Rows{"05.03.2003", "52,50", "19,0476", "1000,00", "04.03.2003", "51,45", "10,2040", "525,00"}));
  EXPECT_EQ(f.Stored(section::kHolding, kAlpha.name), (Rows{"04.03.2003", "29,2516"}));
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

TEST(Sell, ConvertsTheAmountWithTheCurrencyFactorAndAllowsANegativeHolding) {
  TransactionFixture f;
  f.AddFund(kDollar, {"05.03.2003", "20,00"});
  f.SetHolding(kDollar.name, "01.03.2003", "60,0000");
  f.state.currencyFactors = {"Euro", "1,00000", "USD", "0,90000"};
  f.prompter.Script({Answer::Yes, Answer::Yes});
  f.txDialogs.trade.push_back([](TradeSession& s) {
    EXPECT_EQ(s.UnitPriceText(), "20,00");  // the stored price, no surcharge
    EXPECT_EQ(s.FundCurrency(), "USD");
    EXPECT_EQ(s.AmountCurrency(), "Euro");
    EXPECT_EQ(s.Factor(), "0,90000");
    // 900 Euro = 1000 USD = 50 shares at 20 USD.
    s.AmountChanged("900");
    EXPECT_EQ(s.NewHolding(), "10,0000");
    EXPECT_EQ(s.Ok("900", "05.03.2003").step, DialogStep::Accept);
  });
  f.tx.Sell();
  EXPECT_EQ(f.Stored(section::kSales, kDollar.name), (Rows{"05.03.2003", "20,00", "50,0000", "1000,00"}));
  EXPECT_EQ(f.Stored(section::kHolding, kDollar.name), (Rows{"05.03.2003", "10,0000"}));

  // Selling 20 shares (360 Euro) of the 10 held leaves −10.
  f.txDialogs.trade.push_back([](TradeSession& s) {
    s.AmountChanged("360");
    EXPECT_EQ(s.NewHolding(), "-10,0000");
    s.Ok("360", "05.03.2003");
  });
  f.tx.Sell();
  EXPECT_EQ(f.Stored(section::kHolding, kDollar.name), (Rows{"05.03.2003", "-10,0000"}));
  EXPECT_EQ(f.Stored(section::kSales, kDollar.name).size(), 8u);
}

TEST(Buy, AFundSwitchWithAPendingAmountBooksOnTheFundShownBefore) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.AddFund(kBeta, {"05.03.2003", "10,00"});
  f.prompter.Script({Answer::Yes, Answer::No});
  f.txDialogs.trade.push_back([](TradeSession& s) {
    ASSERT_EQ(s.Funds(), (Rows{"Alpha Aktien", "Beta Renten"}));
    s.AmountChanged("1050");
    const TradeOutcome o = s.SwitchFund(1, "1050");  // Yes: books 20 Alpha shares
    EXPECT_TRUE(o.clearAmount);
    EXPECT_EQ(o.focus, TradeField::Date);
    EXPECT_EQ(s.FundIndex(), 1u);
    EXPECT_EQ(s.UnitPriceText(), "10,00");
    EXPECT_FALSE(s.InputComplete());
    s.AmountChanged("300");
    s.SwitchFund(0, "300");                                      // No: nothing for Beta
    EXPECT_EQ(s.OldHolding(), "20,0000");                        // Alpha shows its new holding
    EXPECT_EQ(s.Ok("", "05.03.2003").step, DialogStep::Accept);  // nothing pending: closes
    EXPECT_EQ(s.Stored(), 1);
  });
  f.tx.Buy();
  EXPECT_EQ(f.Stored(section::kPurchases, kAlpha.name), (Rows{"05.03.2003", "52,50", "20,0000", "1050,00"}));
  EXPECT_TRUE(f.Stored(section::kPurchases, kBeta.name).empty());
  EXPECT_TRUE(f.Stored(section::kHolding, kBeta.name).empty());
  EXPECT_EQ(f.prompter.Texts(), (Rows{"Wollen Sie die Eingabe übernehmen?", "Wollen Sie die Eingabe übernehmen?"}));
}

TEST(Buy, WithoutAPriceTheAmountStaysClosedAndATypedWeekendIsNotMoved) {
  TransactionFixture f{CivilDate{2003, 3, 10}};  // Monday
  f.AddFund(kAlpha, {"07.03.2003", "10,00"});    // Friday only
  std::optional<TradeSession> s;
  s.emplace(TradeKind::Buy, f.state, f.calendar, f.prompter);
  EXPECT_EQ(f.prompter.Last(),
            (Message{"Fehler",
                     "Für den 10.03.2003 sind keine Kursdaten des Fonds Alpha Aktien verfügbar.\nGeben Sie bitte "
                     "erst ein Datum ein für das ein aktuellen Kurs vorliegt.",
                     MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_TRUE(s->DateText().empty());
  EXPECT_TRUE(s->UnitPriceText().empty());
  EXPECT_FALSE(s->AmountEnabled());
  // ZIEL without a price names today's date.
  EXPECT_FALSE(s->TargetUnitPrice().has_value());
  EXPECT_NE(f.prompter.Last().text.find("Für den 10.03.2003 sind"), std::string::npos);

  // Saturday: the exact look-up fails, no move to Friday.
  EXPECT_EQ(s->DateTyped("08.03.2003").focus, TradeField::Date);
  EXPECT_EQ(f.prompter.Last().text.rfind("Für den 08.03.2003 sind keine Kursdaten", 0), 0u);
  EXPECT_FALSE(s->AmountEnabled());

  EXPECT_EQ(s->DateTyped("07.03.2003").focus, TradeField::None);
  EXPECT_EQ(s->DateText(), "07.03.2003");
  EXPECT_EQ(s->UnitPriceText(), "10,50");
  EXPECT_TRUE(s->AmountEnabled());
  ASSERT_TRUE(s->TargetUnitPrice().has_value());
  EXPECT_DOUBLE_EQ(*s->TargetUnitPrice(), 10.5);
  // OK before any amount closes without storing and without a question.
  const size_t shown = f.prompter.Messages().size();
  EXPECT_EQ(s->Ok("", "07.03.2003").step, DialogStep::Accept);
  EXPECT_EQ(f.prompter.Messages().size(), shown);
  EXPECT_TRUE(f.Stored(section::kPurchases, kAlpha.name).empty());
}

TEST(Sell, OkAsksForTheMissingFieldAndNoKeepsTheDialog) {
  TransactionFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  TradeSession s(TradeKind::Sell, f.state, f.calendar, f.prompter);
  s.AmountChanged("");
  f.prompter.Script({Answer::Yes});  // the answer is not used
  TradeOutcome o = s.Ok("", "05.03.2003");
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(o.focus, TradeField::Date);
  EXPECT_EQ(f.prompter.Last().text, "Geben Sie bitte erst eine Verkaufsumme ein !");
  EXPECT_EQ(f.prompter.Last().buttons, MessageButtons::YesNo);

  f.prompter.Script({Answer::Yes});
  o = s.Ok("100", "");
  EXPECT_EQ(o.focus, TradeField::Amount);
  EXPECT_EQ(f.prompter.Last().text, "Geben Sie bitte erst eingültiges Datum ein !");

  f.prompter.Script({Answer::No});
  EXPECT_EQ(s.Ok("100", "05.03.2003").step, DialogStep::Stay);
  EXPECT_EQ(s.Stored(), 0);
  EXPECT_TRUE(f.Stored(section::kSales, kAlpha.name).empty());

  TransactionFixture g;
  g.AddFund(kAlpha, kAlphaPrices);
  TradeSession buy(TradeKind::Buy, g.state, g.calendar, g.prompter);
  buy.AmountChanged("");
  buy.Ok("", "05.03.2003");
  EXPECT_EQ(g.prompter.Last().text, "Geben Sie bitte erst eine Kaufsumme ein !");
}

TEST(Trade, ABookingWithoutFactorOrPriceIsRefusedAndNothingIsStored) {
  // A cancelled factor dialog leaves "0,00000" in the currency list.
  TransactionFixture f;
  f.AddFund(kDollar, {"05.03.2003", "20,00"});
  f.state.currencyFactors = {"USD", "0,00000"};
  f.prompter.Script({Answer::Yes});
  TradeSession s(TradeKind::Buy, f.state, f.calendar, f.prompter);
  s.AmountChanged("100");
  EXPECT_TRUE(s.NewHolding().empty()) << "no share count from a division by 0";
  EXPECT_EQ(s.Ok("100", "05.03.2003").step, DialogStep::Stay);
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_EQ(f.prompter.Last().text, MissingFactorText("USD", "Euro"));
  EXPECT_NE(f.prompter.Last().text.find("Währung USD"), std::string::npos);
  EXPECT_TRUE(f.Stored(section::kPurchases, kDollar.name).empty());
  EXPECT_TRUE(f.Stored(section::kHolding, kDollar.name).empty());

  // A surcharge factor of 0 makes the issue price 0.
  TransactionFixture g;
  g.AddFund({"Null", "1", "0,0000", "Euro"}, {"05.03.2003", "20,00"});
  g.prompter.Script({Answer::Yes});
  TradeSession t(TradeKind::Buy, g.state, g.calendar, g.prompter);
  t.AmountChanged("100");
  EXPECT_EQ(t.Ok("100", "05.03.2003").step, DialogStep::Stay);
  EXPECT_EQ(g.prompter.Last().text, MissingPriceText("Null", "05.03.2003"));
  EXPECT_TRUE(g.Stored(section::kPurchases, "Null").empty());
  // A pending booking refused on a fund switch is not stored either.
  g.AddFund({"Zweiter", "2", "1,0000", "Euro"}, {"05.03.2003", "20,00"});
  g.prompter.Script({Answer::Yes});
  TradeSession u(TradeKind::Buy, g.state, g.calendar, g.prompter);
  u.AmountChanged("100");
  u.SwitchFund(1, "100");
  EXPECT_EQ(u.Stored(), 0);
  EXPECT_TRUE(g.Stored(section::kPurchases, "Null").empty());
}

TEST(Trade, WithoutFundsTheCommandsOnlyTellTheUser) {
  TransactionFixture f;
  f.tx.Buy();
  f.tx.Sell();
  EXPECT_EQ(f.prompter.Texts(), (Rows{"Sie müssen erst Fonds eingeben, bevor Sie Anteile kaufen können.",
                                      "Sie müssen erst Fonds eingeben, bevor Sie Anteile verkaufen können."}));
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_EQ(f.prompter.Last().beep, BeepKind::Stop);
  EXPECT_TRUE(f.events.calls.empty());
}

TEST(Target, TheAmountIsSharesTimesTheUnitPriceInTheAmountCurrency) {
  EXPECT_EQ(TargetAmountText(52.5, "10"), "525,00");
  EXPECT_EQ(TargetAmountText(10.5, "3,5"), "36,75");
  EXPECT_EQ(TargetAmountText(10.5, ""), "0,00");
  // Buy in Euro of a USD fund: 20,00 × 1,0500 × 0,90000 = 18,90 a share.
  TransactionFixture f;
  f.AddFund(kDollar, {"05.03.2003", "20,00"});
  f.state.currencyFactors = {"USD", "0,90000"};
  TradeSession buy(TradeKind::Buy, f.state, f.calendar, f.prompter);
  ASSERT_TRUE(buy.TargetUnitPrice().has_value());
  EXPECT_DOUBLE_EQ(*buy.TargetUnitPrice(), 18.9);
  TradeSession sell(TradeKind::Sell, f.state, f.calendar, f.prompter);
  EXPECT_DOUBLE_EQ(*sell.TargetUnitPrice(), 18.0);
}

}  // namespace
}  // namespace tellurio::testing
