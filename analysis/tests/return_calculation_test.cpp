// The rules of "Renditeberechnung" and "Werteeingabe für die Fonds" on
// depots stored in a temporary directory: enabling, the order of the checks
// and their messages, the depot scope with funds that fail, and DRUCKEN.

#include <gtest/gtest.h>

#include <random>

#include "analysis/ReturnCalculation.h"
#include "analysis/tests/SavingsFixture.h"
#include "storage/FileSet.h"

namespace tellurio::testing {
namespace {

using Texts = std::vector<std::string>;

// A year of prices: 100,00 on 02.01.2001, 110,00 on 02.01.2002.
const Texts kYear = {"02.01.2001", "100,00", "02.07.2001", "95,00", "02.01.2002", "110,00"};

ReturnInputs OneOff(const char* amount = "1000") {
  ReturnInputs in;
  in.purchaseDate = "02.01.2001";
  in.start = "02.01.2001";
  in.end = "02.01.2002";
  in.initialAmount = amount;
  return in;
}

Message Hinweis(const std::string& text) {
  return Message{"Hinweis", text, MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop};
}

TEST(ReturnCalculationRules, OpensOnTheFirstDepotAndSwitchesFieldsByModeAndScope) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear), PlainFund("Beta", kYear)});
  f.AddDepot("Kinder", {PlainFund("Gamma", kYear)});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  EXPECT_EQ(rules.Depots(), (Texts{"Rente", "Kinder"}));
  EXPECT_EQ(rules.DepotIndex(), 0u);
  EXPECT_EQ(rules.Funds(), (Texts{"Alpha", "Beta"}));
  EXPECT_EQ(rules.Currency(), "Euro");
  const Texts days = ReturnCalculationRules::DebitDayTexts();
  ASSERT_EQ(days.size(), 31u);
  EXPECT_EQ(days.front(), "01.");
  EXPECT_EQ(days.back(), "31.");

  // At the start: one-off, whole depot.
  EXPECT_EQ(rules.Mode(), SavingsMode::OneOff);
  EXPECT_EQ(rules.Scope(), SavingsScope::Depot);
  for (ReturnField off : {ReturnField::Funds, ReturnField::InitialAmount, ReturnField::MonthlyRate,
                          ReturnField::DebitDay, ReturnField::IncreaseBox, ReturnField::Increase})
    EXPECT_FALSE(rules.Enabled(off)) << static_cast<int>(off);
  for (ReturnField on : {ReturnField::PurchaseDate, ReturnField::Start, ReturnField::End, ReturnField::DistributionDay})
    EXPECT_TRUE(rules.Enabled(on));

  rules.SetMode(SavingsMode::Monthly);
  for (ReturnField on :
       {ReturnField::MonthlyRate, ReturnField::DebitDay, ReturnField::IncreaseBox, ReturnField::Increase})
    EXPECT_TRUE(rules.Enabled(on));
  rules.SetScope(SavingsScope::Fund);
  EXPECT_TRUE(rules.Enabled(ReturnField::Funds));
  EXPECT_TRUE(rules.Enabled(ReturnField::InitialAmount));
  rules.SelectFund(1);
  EXPECT_EQ(rules.FundIndex(), 1u);
  // Either scope button clears the fund choice.
  rules.SetScope(SavingsScope::Fund);
  EXPECT_FALSE(rules.FundIndex());

  // Another depot: its own funds, none chosen.
  rules.SelectFund(0);
  rules.SelectDepot(1);
  EXPECT_EQ(rules.Funds(), (Texts{"Gamma"}));
  EXPECT_FALSE(rules.FundIndex());
  EXPECT_TRUE(f.prompter.Events().empty());
}

TEST(ReturnCalculationRules, ReopensADepotForReadingOnly) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear)});
  f.state.depotNames.push_back("Leer");  // listed, but without files
  const std::string before = ReadAll(fileset::DepotBase(f.dir.path(), "Rente").string() + ".dat");
  {
    ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
    rules.SelectDepot(1);
    EXPECT_TRUE(rules.Funds().empty());
    rules.SelectDepot(0);
    rules.SetScope(SavingsScope::Fund);
    rules.SelectFund(0);
    rules.Calculate(OneOff());
    ASSERT_TRUE(rules.Calculation());
  }
  EXPECT_EQ(ReadAll(fileset::DepotBase(f.dir.path(), "Rente").string() + ".dat"), before);
  EXPECT_FALSE(std::filesystem::exists(fileset::DepotBase(f.dir.path(), "Leer").string() + ".dat"));
  EXPECT_FALSE(std::filesystem::exists(fileset::DepotBase(f.dir.path(), "Leer").string() + ".idx"));
}

TEST(ReturnCalculationRules, ChecksInOrderWithTheirMessagesAndFocus) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear)});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  ReturnInputs in;
  in.distributionDay = "1.6.";
  EXPECT_EQ(rules.Calculate(in), ReturnField::DistributionDay);
  EXPECT_EQ(f.prompter.Last(),
            Hinweis("Sie haben das Ausschüttungsdatum im falschen Format eingegeben.\nDie Eingabe muß "
                    "im Format 'TT.MM.' erfolgen."));
  in.distributionDay = "";  // empty is "31.12."
  EXPECT_EQ(rules.Calculate(in), ReturnField::PurchaseDate);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Sie müssen erst das Kaufdatum eingeben."));
  in.purchaseDate = "02.01.2001";
  EXPECT_EQ(rules.Calculate(in), ReturnField::Start);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Sie müssen erst den Beginn des Anlagezeitraumes eingeben."));
  in.start = "02.01.2001";
  EXPECT_EQ(rules.Calculate(in), ReturnField::End);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Sie müssen erst das Ende des Anlagezeitraumes eingeben."));
  in.end = "02.01.2002";

  rules.SetScope(SavingsScope::Fund);
  EXPECT_EQ(rules.Calculate(in), ReturnField::Funds);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Sie müssen erst einen Fond aus dem Listenfeld auswählen."));
  rules.SelectFund(0);
  EXPECT_EQ(rules.Calculate(in), ReturnField::InitialAmount);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Sie müssen erst einen Anfangsbetrag eingeben"));
  rules.SetMode(SavingsMode::Monthly);
  EXPECT_EQ(rules.Calculate(in), ReturnField::MonthlyRate);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Sie müssen erst einen monatlichen Sparbetrag eingeben."));
  in.monthlyRate = "100";

  in.purchaseDate = "03.01.2001";
  EXPECT_EQ(rules.Calculate(in), ReturnField::PurchaseDate);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Das Kaufdatum kann nicht nach dem Beginn des Anlagezeitraums liegen!!"));
  in.purchaseDate = "01.01.2001";
  in.end = "01.01.2001";
  EXPECT_EQ(rules.Calculate(in), ReturnField::Start);
  EXPECT_EQ(f.prompter.Last(), Hinweis("Das Datums des Beginn des Anlagezeitraums kann nicht \nnach dem Ende des "
                                       "Anlagezeitraums liegen"));
  EXPECT_FALSE(rules.Calculation());
  EXPECT_EQ(f.prompter.Messages().size(), 9u);
}

TEST(ReturnCalculationRules, OneFundOneOffGivesTheResultsAndItsReport) {
  // 1000 at 100,00 are 10 shares, worth 1100,00 at 110,00 a year later:
  // profit 100,00 and 10,00 % over the 365 days.
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear)});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  EXPECT_EQ(rules.Print(), DialogStep::Stay);
  EXPECT_EQ(f.prompter.Last(),
            Hinweis("Sie müssen vor der Druckausgabe erst die Gewinnberechnung ausführen !!\nDrücken Sie also erst die "
                    "Berechnungstaste und dann die Drucktaste."));
  rules.SetScope(SavingsScope::Fund);
  rules.SelectFund(0);
  ReturnInputs in = OneOff();
  in.monthlyRate = "50";  // switched off in one-off mode: takes no part
  EXPECT_EQ(rules.Calculate(in), ReturnField::None);
  ASSERT_TRUE(rules.Calculation());
  const SavingsTotals& t = rules.Calculation()->totals;
  EXPECT_EQ(t.paidIn, "1000,00");
  EXPECT_EQ(t.finalValue, "1100,00");
  EXPECT_EQ(t.profit, "100,00");
  EXPECT_EQ(t.returnPercent, "10,00");
  EXPECT_EQ(t.period, "02.01.2001 - 02.01.2002");
  EXPECT_EQ(f.prompter.Messages().size(), 1u);  // only the DRUCKEN message before

  EXPECT_EQ(rules.Print(), DialogStep::Accept);
  const SavingsReport report = rules.Report();
  EXPECT_EQ(report.title, "Renditeberechnung des Fonds Alpha");
  EXPECT_EQ(report.lines[3].cells,
            (Texts{"Alpha", "02.01.2001", "1000,00 Euro", "0,00 Euro", "0,00%", "31.12.", "02.01.2001 - 02.01.2002"}));
}

// The final value of a period that runs past the last price (into the
// future, or of a fund no longer priced) is of the last price's day, and so
// is the end of the period the return is spread over.
TEST(ReturnCalculationRules, APeriodPastTheLastPriceEndsWithIt) {
  SavingsFixture f;
  // Gamma's prices end half a year before Alpha's.
  f.AddDepot("Rente", {PlainFund("Alpha", kYear), PlainFund("Gamma", {"02.01.2001", "100,00", "02.07.2001", "95,00"})});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  rules.SetScope(SavingsScope::Fund);
  rules.SelectFund(0);
  ReturnInputs in = OneOff();
  in.end = "02.01.2030";
  EXPECT_EQ(rules.Calculate(in), ReturnField::None);
  ASSERT_TRUE(rules.Calculation());
  // 10 shares worth 1100,00 on 02.01.2002, 365 days after the start: 10 %
  // a year, not the 0,33 % of 28 years.
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "1100,00");
  EXPECT_EQ(rules.Calculation()->totals.period, "02.01.2001 - 02.01.2002");
  EXPECT_EQ(rules.Calculation()->totals.returnPercent, "10,00");
  EXPECT_EQ(rules.Report().lines[3].cells[6], "02.01.2001 - 02.01.2002");

  // A depot: the period ends with the fund priced longest.  Alpha 1000 and
  // Gamma 1000 buy 10 shares each, worth 1100,00 and 950,00: 2050,00 for
  // 2000,00 over 365 days, 2,50 %.  Gamma's own line ends with its last
  // price.
  f.dialogs.amounts.push_back(ScriptedSavingsDialogs::Enter({{"", "1000", ""}, {"", "1000", ""}}));
  rules.SetScope(SavingsScope::Depot);
  in.initialAmount.clear();
  EXPECT_EQ(rules.Calculate(in), ReturnField::None);
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "2050,00");
  EXPECT_EQ(rules.Calculation()->totals.period, "02.01.2001 - 02.01.2002");
  EXPECT_EQ(rules.Calculation()->totals.returnPercent, "2,50");
  EXPECT_EQ(rules.Report().lines[4].cells[6], "02.01.2001 - 02.07.2001");

  // An end before the last price stays as typed.
  rules.SetScope(SavingsScope::Fund);
  rules.SelectFund(0);
  in = OneOff();
  in.end = "01.10.2001";
  EXPECT_EQ(rules.Calculate(in), ReturnField::None);
  EXPECT_EQ(rules.Calculation()->totals.period, "02.01.2001 - 01.10.2001");
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST(ReturnCalculationRules, RowsWithoutAPriceAndRowsOutOfOrder) {
  // A row priced 0 has no price: the start moves past it to 02.01.2001
  // (100,00), not to a division by 0; rows out of order are taken in date
  // order, so the plan ends at 02.01.2002 (110,00): 10 shares, 1100,00.
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", {"02.01.2002", "110,00", "02.01.2001", "100,00", "01.01.2001", "0,00"})});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  rules.SetScope(SavingsScope::Fund);
  rules.SelectFund(0);
  ReturnInputs in = OneOff();
  in.purchaseDate = in.start = "01.01.2001";
  rules.Calculate(in);
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "1100,00");
  EXPECT_EQ(rules.Calculation()->totals.period, "02.01.2001 - 02.01.2002");
}

TEST(ReturnCalculationRules, IncreaseCountsOnlyWithItsBoxAndAFailedRunKeepsThePreviousResult) {
  // Monthly 100 on day "01." with all prices 10 from 02.11.2001: debits in
  // Nov, Dec, Jan, Feb (the end row 01.03.2002 is not walked).  Without the
  // box 400,00; with 10 % from January 100 + 100 + 110 + 110 = 420,00.
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", {"02.11.2001", "10,00", "03.12.2001", "10,00", "02.01.2002", "10,00",
                                           "04.02.2002", "10,00", "01.03.2002", "10,00"})});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  rules.SetMode(SavingsMode::Monthly);
  rules.SetScope(SavingsScope::Fund);
  rules.SelectFund(0);
  ReturnInputs in;
  in.purchaseDate = in.start = "02.11.2001";
  in.end = "01.03.2002";
  in.monthlyRate = "100";
  in.increase = "10";
  rules.Calculate(in);
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.paidIn, "400,00");
  in.increaseOn = true;
  rules.Calculate(in);
  EXPECT_EQ(rules.Calculation()->totals.paidIn, "420,00");
  EXPECT_TRUE(f.prompter.Events().empty());

  // An end before the first price: the message, and the 420,00 stay.
  in.start = in.purchaseDate = "01.10.2001";
  in.end = "01.11.2001";
  rules.Calculate(in);
  EXPECT_EQ(f.prompter.Last(),
            Hinweis("Von dem Fond Alpha sind keine Daten in Ihrem gewählten\nAnlagezeitraum vorhanden."));
  EXPECT_EQ(rules.Calculation()->totals.paidIn, "420,00");
}

TEST(ReturnCalculationRules, DepotScopeLeavesFailedFundsOutOfTotalsAndReport) {
  SavingsFixture f;
  StoredFund dollar = PlainFund("Dollar", kYear);
  dollar.master.currency = "USD";
  StoredFund late = PlainFund("Spät", {"02.06.2002", "50,00"});
  // X = (125 − 100) ÷ 125 = 0,2 (its own holding), but the day "31.12."
  // never applies it.
  StoredFund grown = PlainFund("Beta", kYear);
  grown.purchases = {"02.01.2001", "100,00", "100", "10000,00"};
  grown.holding = {"02.01.2002", "125"};
  f.AddDepot("Rente", {PlainFund("Alpha", kYear), dollar, late, grown});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  ASSERT_EQ(rules.Funds(), (Texts{"Alpha", "Dollar", "Spät", "Beta"}));

  // Cancelled amounts: nothing is computed.
  EXPECT_EQ(rules.Calculate(OneOff("")), ReturnField::None);
  EXPECT_EQ(f.dialogs.amountsShown, 1);
  EXPECT_FALSE(rules.Calculation());

  // Alpha 1000 and Beta 500 (one-off, at 100,00): 10 and 5 shares, worth
  // 1100,00 and 550,00.  Dollar has no factor, Spät no price in the period:
  // each says so and is left out.
  f.dialogs.amounts.push_back(
      ScriptedSavingsDialogs::Enter({{"", "1000", ""}, {"", "1000", ""}, {"", "1000", ""}, {"", "500", ""}}));
  rules.Calculate(OneOff(""));
  EXPECT_EQ(f.prompter.Texts(),
            (Texts{"Für die Währung USD des Fonds Dollar ist kein Umrechnungsfaktor bekannt.\nDer Fond wird bei der "
                   "Berechnung nicht berücksichtigt.",
                   "Von dem Fond Spät sind keine Daten in Ihrem gewählten\nAnlagezeitraum vorhanden."}));
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.paidIn, "1500,00");
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "1650,00");
  EXPECT_EQ(rules.Calculation()->totals.returnPercent, "10,00");
  const SavingsReport report = rules.Report();
  EXPECT_EQ(report.title, "Renditeberechnung des Depots Rente");
  ASSERT_EQ(report.lines.size(), 11u);
  EXPECT_EQ(report.lines[3].cells[0], "Alpha");
  EXPECT_EQ(report.lines[3].cells[2], "1000,00 Euro");
  EXPECT_EQ(report.lines[4].cells[0], "Beta");
  EXPECT_EQ(report.lines[4].cells[2], "500,00 Euro");

  // A factor of 0 (a cancelled factor dialog) is no factor either.  When no
  // fund remains there is no new result.
  f.state.currencyFactors = {"Euro", "0,00000"};
  ReturnCalculationRules none(f.state, f.calendar, f.prompter, f.dialogs);
  f.prompter.Clear();
  f.dialogs.amounts.push_back(
      ScriptedSavingsDialogs::Enter({{"", "1000", ""}, {"", "1000", ""}, {"", "1000", ""}, {"", "500", ""}}));
  none.Calculate(OneOff(""));
  EXPECT_EQ(f.prompter.Messages().size(), 4u);
  EXPECT_FALSE(none.Calculation());
}

// The currency list holds the currencies of the current depot's funds; a
// fund of another depot in the display currency, or in DM, has its fixed
// factor all the same.  A third currency has none without the user.
TEST(ReturnCalculationRules, AnotherDepotsFundsInDmOrTheDisplayCurrencyHaveTheirFixedFactors) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear)});
  StoredFund dm = PlainFund("Mark", kYear);
  dm.master.currency = "DM";
  StoredFund euro = PlainFund("Euro", kYear);
  StoredFund yen = PlainFund("Yen", kYear);
  yen.master.currency = "JPY";
  f.AddDepot("Kinder", {dm, euro, yen});
  f.state.currencyFactors = {};  // the current depot has funds in none of them
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  rules.SelectDepot(1);
  // In the display currency Euro, 1 DM is 0,51129 Euro: 1000 Euro are
  // 1000 ÷ 0,51129 DM, which buy that ÷ 100,00 shares, worth that × 110,00
  // × 0,51129 = 1100,00 Euro (the factor cancels out of a one-off plan).
  // The Euro fund: 10 shares, 1100,00.
  f.dialogs.amounts.push_back(ScriptedSavingsDialogs::Enter({{"", "1000", ""}, {"", "1000", ""}, {"", "1000", ""}}));
  EXPECT_EQ(rules.Calculate(OneOff("")), ReturnField::None);
  EXPECT_EQ(f.prompter.Texts(),
            (Texts{"Für die Währung JPY des Fonds Yen ist kein Umrechnungsfaktor bekannt.\nDer Fond wird bei der "
                   "Berechnung nicht berücksichtigt."}));
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.paidIn, "2000,00");
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "2200,00");
}

TEST(ReturnCalculationRules, FiguresThatCannotBeComputedAreSaidSoAndNeverShownAsZeroOrBelow) {
  SavingsFixture f;
  // Prices 10,00 on the 2nd of every month from 1990 to 2020.
  Texts prices;
  for (int year = 1990; year <= 2020; ++year)
    for (int month = 1; month <= 12; ++month) {
      prices.push_back((month < 10 ? "02.0" : "02.") + std::to_string(month) + "." + std::to_string(year));
      prices.push_back("10,00");
    }
  // Its records: 100 shares bought, 10 held; the distribution ratio would
  // be (10 − 100) ÷ 10 = −9.
  StoredFund shrunk = PlainFund("Geschrumpft", prices);
  shrunk.purchases = {"02.01.1990", "10,00", "100", "1000,00"};
  shrunk.holding = {"02.01.2020", "10"};
  f.AddDepot("Rente", {PlainFund("Alpha", prices), shrunk});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  rules.SetScope(SavingsScope::Fund);

  // One-off 1000 on 02.01.2001 (100 shares) with distributions after 15
  // June: the first one takes every share, none is left to take below 0.
  // Worth 0,00 after 365 days: profit −1000,00, return (0 − 1) × 100.
  rules.SelectFund(1);
  ReturnInputs in = OneOff();
  in.distributionDay = "15.06.";
  rules.Calculate(in);
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "0,00");
  EXPECT_EQ(rules.Calculation()->totals.profit, "-1000,00");
  EXPECT_EQ(rules.Calculation()->totals.returnPercent, "-100,00");

  // A monthly 100 raised by 10^20 − 1 % every January for 30 years goes
  // beyond any number: the fund is named and left out, the last result
  // stays.
  rules.SetMode(SavingsMode::Monthly);
  rules.SelectFund(0);
  in.start = in.purchaseDate = "01.01.1990";
  in.end = "01.01.2020";
  in.monthlyRate = "100";
  in.increaseOn = true;
  in.increase = "99999999999999999999";
  rules.Calculate(in);
  EXPECT_EQ(f.prompter.Texts(), (Texts{"Die Beträge des Fonds Alpha werden zu groß, um sie berechnen zu können.\nDer "
                                       "Fond wird bei der Berechnung nicht berücksichtigt."}));
  ASSERT_TRUE(rules.Calculation());
  EXPECT_EQ(rules.Calculation()->totals.finalValue, "0,00");
  EXPECT_EQ(rules.Calculation()->totals.paidIn, "1000,00");
}

TEST(ReturnCalculationRules, DepotScopeOffersTheLastAmountsAgain) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear), PlainFund("Beta", kYear)});
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  f.dialogs.amounts.push_back(ScriptedSavingsDialogs::Enter({{"", "1000", "15.06."}, {"", "", ""}}));
  rules.Calculate(OneOff(""));
  ASSERT_TRUE(rules.Calculation());
  std::vector<FundAmounts> offered;
  f.dialogs.amounts.push_back([&](FundAmountsRules& r) {
    offered = r.Prefill();
    return false;
  });
  rules.Calculate(OneOff(""));
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0].initialAmount, "1000");
  EXPECT_EQ(offered[0].distributionDay, "15.06.");
  EXPECT_EQ(offered[1].distributionDay, "31.12.");
}

TEST(FundAmountsRules, OkChecksTheSumsAndFillsTheDefaults) {
  RecordingPrompter prompter;
  FundAmountsRules monthly({"Alpha", "Beta"}, SavingsMode::Monthly, prompter);
  EXPECT_TRUE(monthly.ShowsMonthlyRate());
  FundAmountsRules::Outcome o = monthly.Ok({{"", "500", ""}, {"0", "", ""}});
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_TRUE(o.clear);
  EXPECT_EQ(o.row, 0u);
  EXPECT_EQ(o.column, FundAmountsRules::Column::MonthlyRate);
  EXPECT_EQ(prompter.Last(), (Message{"Eingabefehler",
                                      "Sie müssen in mindestens einen Fond monatlich einzahlen,\num den Gewinn des "
                                      "Depots ausrechnen zu können",
                                      MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  // A distribution day that is no day of the year is refused at its field.
  o = monthly.Ok({{"50", "", ""}, {"", "", "31.06."}});
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_FALSE(o.clear);
  EXPECT_EQ(o.row, 1u);
  EXPECT_EQ(o.column, FundAmountsRules::Column::DistributionDay);
  o = monthly.Ok({{"50", "", ""}, {"", "", "15.06."}});
  EXPECT_EQ(o.step, DialogStep::Accept);
  ASSERT_EQ(monthly.Result().size(), 2u);
  EXPECT_EQ(monthly.Result()[0].monthlyRate, "50");
  EXPECT_EQ(monthly.Result()[0].distributionDay, "31.12.");
  EXPECT_EQ(monthly.Result()[1].distributionDay, "15.06.");

  // One-off: the rates are "0,00" whatever the fields hold; the amounts
  // must add up to more than 0.
  FundAmountsRules oneOff({"Alpha"}, SavingsMode::OneOff, prompter);
  EXPECT_FALSE(oneOff.ShowsMonthlyRate());
  o = oneOff.Ok({{"100", "0,00", ""}});
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(o.column, FundAmountsRules::Column::InitialAmount);
  EXPECT_EQ(prompter.Last().text,
            "Sie müssen in mindestens einen Fond investieren,\num den Gewinn des Depots ausrechnen zu können");
  EXPECT_EQ(oneOff.Ok({{"100", "250", ""}}).step, DialogStep::Accept);
  EXPECT_EQ(oneOff.Result()[0].monthlyRate, "0,00");
}

// The plan walks a store's rows where they lie; the result must be the one of
// the rows loaded into memory.  Random funds (gaps, rows without a price,
// dates twice, years without January, now and then a row out of order or a
// date not written "TT.MM.JJJJ") and random plans, compared figure by figure.
TEST(SavingsPlanWalk, RowsWalkedInTheStoreGiveTheResultOfLoadedRows) {
  SavingsFixture f;
  std::mt19937 random(20240611);
  auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
  std::vector<StoredFund> funds;
  for (int i = 0; i < 60; ++i) {
    StoredFund fund = PlainFund("F" + std::to_string(i), {});
    std::string date = "0" + std::to_string(pick(1, 9)) + ".0" + std::to_string(pick(1, 9)) + ".2000";
    const int rows = pick(0, 400);
    for (int r = 0; r < rows; ++r) {
      f.calendar.AddDays(date, pick(0, 3) == 0 ? pick(0, 90) : pick(1, 4));
      fund.prices.push_back(date);
      fund.prices.push_back(pick(0, 9) == 0 ? "0,00"
                                            : std::to_string(pick(1, 300)) + "," + std::to_string(pick(10, 99)));
    }
    if (rows > 3 && i % 10 == 3) std::swap(fund.prices[2], fund.prices[6]);  // out of order
    if (rows > 3 && i % 10 == 7) fund.prices[4] = "1.2.2001";                // not plainly written
    fund.holding = {"01.01.2002", std::to_string(pick(90, 130))};
    fund.purchases = {"01.01.2001", "10,00", "100", "1000,00"};
    funds.push_back(std::move(fund));
  }
  f.AddDepot("Zufall", funds);
  RecordStore store;
  DepotStores stores(f.prompter, f.calendar);
  ASSERT_EQ(stores.Open(f.dir.path(), "Zufall", StoreKind::Depot, store, /*createMissing=*/false), StoreOpened::Read);

  int compared = 0, results = 0;
  for (const StoredFund& stored : funds) {
    SavingsFund inPlace;
    ASSERT_TRUE(ReadSavingsFund(store, stored.master.name, inPlace));
    SavingsFund loaded = inPlace;
    LoadSavingsRows(loaded);
    for (int plan = 0; plan < 40; ++plan) {
      SavingsInput in;
      in.start = "01.01.2000";
      f.calendar.AddDays(in.start, pick(0, 2000));
      in.end = in.start;
      f.calendar.AddDays(in.end, pick(0, 1500));
      in.initialAmount = std::to_string(pick(0, 5000));
      in.monthlyRate = std::to_string(pick(0, 300));
      in.yearlyIncrease = std::to_string(pick(0, 10));
      in.distributionDay = pick(0, 2) == 0 ? "31.12." : DebitDayText(pick(1, 28)) + DebitDayText(pick(1, 12));
      const SavingsMode mode = pick(0, 1) ? SavingsMode::Monthly : SavingsMode::OneOff;
      const int debitDay = pick(1, 31);
      const FundPlanResult a = SimulateFund(in, inPlace, 1.5, mode, debitDay);
      const FundPlanResult b = SimulateFund(in, loaded, 1.5, mode, debitDay);
      ASSERT_EQ(a.failure, b.failure) << stored.master.name << " " << in.start << " - " << in.end;
      EXPECT_EQ(a.start, b.start) << stored.master.name << " " << in.start << " - " << in.end;
      EXPECT_EQ(a.paidIn, b.paidIn) << stored.master.name << " " << in.start << " - " << in.end;
      EXPECT_EQ(a.finalValue, b.finalValue) << stored.master.name << " " << in.start << " - " << in.end;
      EXPECT_EQ(a.end, b.end) << stored.master.name << " " << in.start << " - " << in.end;
      ++compared;
      if (a.failure == SavingsFailure::None) ++results;
    }
  }
  // Most plans have a result, so the walk itself was compared.
  EXPECT_EQ(compared, 2400);
  EXPECT_GT(results, 1000);
}

// A depot of long series is computed on two threads: every fund's result
// must be the one its own walk gives, in the funds' order, none left out.
TEST(ReturnCalculationRules, ADepotOfLongSeriesGivesEachFundItsOwnResult) {
  SavingsFixture f;
  std::vector<StoredFund> funds;
  for (int i = 0; i < 3; ++i) {
    StoredFund fund = PlainFund("Lang" + std::to_string(i), {});
    std::string date = "01.01.1950";
    for (int r = 0; r < 40000; ++r) {  // 120,000 rows in all
      fund.prices.push_back(date);
      fund.prices.push_back(std::to_string(20 + (r * (i + 3)) % 180) + "," + std::to_string(10 + r % 90));
      f.calendar.AddDays(date, 1);
    }
    funds.push_back(std::move(fund));
  }
  f.AddDepot("Lange Reihen", funds);
  ReturnCalculationRules rules(f.state, f.calendar, f.prompter, f.dialogs);
  rules.SetMode(SavingsMode::Monthly);
  f.dialogs.amounts.push_back(
      ScriptedSavingsDialogs::Enter({{"100", "1000", "15.06."}, {"200", "500", "31.12."}, {"50", "3000", "01.03."}}));
  ReturnInputs in;
  in.purchaseDate = in.start = "01.01.1950";
  in.end = "31.12.2050";
  in.debitDay = 15;
  in.monthlyRate = "100";
  rules.Calculate(in);
  ASSERT_TRUE(rules.Calculation());
  EXPECT_TRUE(f.prompter.Messages().empty());
  const SavingsCalculation& c = *rules.Calculation();
  ASSERT_EQ(c.results.size(), 3u);

  RecordStore store;
  DepotStores stores(f.prompter, f.calendar);
  ASSERT_EQ(stores.Open(f.dir.path(), "Lange Reihen", StoreKind::Depot, store, /*createMissing=*/false),
            StoreOpened::Read);
  for (size_t i = 0; i < funds.size(); ++i) {
    SavingsFund fund;
    ASSERT_TRUE(ReadSavingsFund(store, funds[i].master.name, fund));
    LoadSavingsRows(fund);
    const FundPlanResult own = SimulateFund(c.inputs[i], fund, 1.0, SavingsMode::Monthly, 15);
    EXPECT_EQ(c.inputs[i].fund, funds[i].master.name);
    EXPECT_EQ(c.results[i].paidIn, own.paidIn) << i;
    EXPECT_EQ(c.results[i].finalValue, own.finalValue) << i;
    EXPECT_EQ(c.results[i].start, "01.01.1950") << i;
  }
  // The three plans differ, so a result given to the wrong fund shows.
  EXPECT_NE(c.results[0].finalValue, c.results[1].finalValue);
  EXPECT_NE(c.results[1].finalValue, c.results[2].finalValue);
}

TEST(SavingsPlans, DruckenHandsTheReportToTheSink) {
  SavingsFixture f;
  f.AddDepot("Rente", {PlainFund("Alpha", kYear)});
  SavingsPlans command(f.state, f.calendar, f.prompter, f.dialogs);
  std::vector<SavingsReport> shown;
  command.SetReportSink([&](const SavingsReport& r) { shown.push_back(r); });
  // Closed without DRUCKEN: nothing is shown.
  f.dialogs.calculation.push_back([](ReturnCalculationRules& rules) {
    rules.SetScope(SavingsScope::Fund);
    rules.SelectFund(0);
    rules.Calculate(OneOff());
    return false;
  });
  command.Run();
  EXPECT_TRUE(shown.empty());
  f.dialogs.calculation.push_back([](ReturnCalculationRules& rules) {
    rules.SetScope(SavingsScope::Fund);
    rules.SelectFund(0);
    rules.Calculate(OneOff());
    return rules.Print() == DialogStep::Accept;
  });
  command.Run();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Texts().back(), "Anlagezeitraum: 02.01.2001 - 02.01.2002");
}

}  // namespace
}  // namespace tellurio::testing
