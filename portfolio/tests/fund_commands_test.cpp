// The fund commands on real store files, with the user's part scripted
// against the dialogs' rules.

#include <gtest/gtest.h>

#include "portfolio/tests/PortfolioFixture.h"

namespace tellurio::testing {
namespace {

const FundMaster kAlpha{"Alpha Aktien", "111111", "1,0500", "Euro"};
const FundMaster kBeta{"Beta Renten", "222222", "1,0300", "Euro"};
const std::vector<std::string> kAlphaPrices = {"03.03.2003", "10,00", "04.03.2003", "10,50"};

TEST(NewFund, StoresTheMasterRowAndAsksForAnUnknownCurrency) {
  DepotFixture f;
  f.factors.answers = {std::string("1,1000")};
  f.dialogs.newFund.push_back(ScriptedFundDialogs::Submit({"Gamma Global", "333333", "5", "USD"}));
  f.funds.NewFund();
  f.Reopen();
  auto m = ReadMaster(f.state.depotStore, "Gamma Global");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->Row(), (std::vector<std::string>{"Gamma Global", "333333", "1,0500", "USD"}));
  EXPECT_EQ(f.state.fundCount, 1);
  EXPECT_EQ(f.factors.asked, std::vector<std::string>{"USD in Euro"});
  EXPECT_EQ(f.events.calls, (std::vector<std::string>{"stat:all", "ticker", "stat:depot", "update"}));
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST(NewFund, RefusesDuplicatesAndAsksForEmptyFields) {
  DepotFixture f;
  f.AddFund(kBeta, {});
  f.AddFund(kAlpha, {});
  NewFundRules rules(f.prompter, AllMasters(f.state.depotStore), f.state.depotStore);

  EXPECT_EQ(rules.NameLeft("Alpha Aktien").clear, FundField::Name);
  EXPECT_EQ(f.prompter.Last().text, "Der Fond\n\nAlpha Aktien\n\nexistiert schon. Geben Sie einen anderen Namen ein.");
  EXPECT_EQ(rules.NameLeft("alpha aktien").clear, FundField::None);  // case counts
  // The WKN message names the matching fund, whichever its position.
  EXPECT_EQ(rules.WknLeft("111111").clear, FundField::Wkn);
  EXPECT_EQ(f.prompter.Last().text,
            "Der Fond 111111hat dieselbe Wertpapierkennnummer\nwie der Fond Alpha AktienDas ist unmöglich. "
            "Geben Sie die richtige Nummer ein.");
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_EQ(f.prompter.Last().beep, BeepKind::Exclamation);

  // Names the files cannot hold.
  EXPECT_EQ(rules.NameLeft("%Fond").clear, FundField::Name);
  EXPECT_EQ(rules.NameLeft("Fond\tA").clear, FundField::Name);

  // Empty fields: No clears and focuses the field, Yes leaves the dialog.
  f.prompter.Script({Answer::No});
  FieldOutcome o = rules.Ok({"Neu", "", "1", "Euro"});
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(o.clear, FundField::Wkn);
  EXPECT_EQ(f.prompter.Last().text,
            "Sie haben die Wertpapierkennummer nicht ausgefüllt\nMöchten Sie den Dialog trotzdem verlassen ?\n "
            "Ihre Eintragung wird dann verworfen!");
  f.prompter.Script({Answer::Yes});
  EXPECT_EQ(rules.Ok({"Neu", "444444", "", "Euro"}).step, DialogStep::Cancel);
  // Only the currency empty: Yes takes Euro.
  f.prompter.Script({Answer::Yes});
  o = rules.Ok({"Neu", "444444", "0", ""});
  EXPECT_EQ(o.step, DialogStep::Accept);
  EXPECT_EQ(o.entry.currency, "Euro");
  f.prompter.Script({Answer::No});
  EXPECT_EQ(rules.Ok({"Neu", "444444", "0", ""}).clear, FundField::Currency);
  // OK reached with Enter in the name field still refuses a duplicate.
  EXPECT_EQ(rules.Ok({"Beta Renten", "555555", "0", "Euro"}).clear, FundField::Name);
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

TEST(DeleteFund, MovesTheFundWithItsPricesToTheArchiveAndBack) {
  DepotFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.state.depotStore.Select(kAlpha.name);
  f.state.depotStore.AppendRows(section::kPurchases, {"03.03.2003", "10,50", "10,0000", "105,00"}, 1);
  EXPECT_TRUE(f.state.depotStore.Save().ok());
  f.state.selectedFund = kAlpha.name;

  f.prompter.Script({Answer::Yes});
  f.dialogs.deleteFund.push_back(ScriptedFundDialogs::Choose(kAlpha.name));
  f.funds.DeleteFund();
  f.Reopen();
  EXPECT_EQ(f.state.depotStore.RecordCount(), 0);
  EXPECT_EQ(f.state.fundCount, 0);
  EXPECT_TRUE(f.state.selectedFund.empty());
  EXPECT_EQ(ReadMaster(f.state.auxiliaryStore, kAlpha.name)->Row(), kAlpha.Row());
  EXPECT_EQ(PriceRows(f.state.auxiliaryStore, kAlpha.name), kAlphaPrices);
  EXPECT_EQ(f.prompter.Last().text,
            "Sie haben den Fond\n\nAlpha Aktien\n\n ausgewählt. Wollen Sie den ausgewählten Fond\n wirklich löschen?");

  // A new fund of the same name gets the prices back, not the purchases.
  f.dialogs.newFund.push_back(ScriptedFundDialogs::Submit({kAlpha.name, "111111", "5", "Euro"}));
  f.funds.NewFund();
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.depotStore, kAlpha.name), kAlphaPrices);
  EXPECT_TRUE(ReadSection(f.state.depotStore, section::kPurchases, kAlpha.name).empty());
  EXPECT_EQ(f.state.auxiliaryStore.RecordCount(), 0);
}

// The fund archive cannot hold the price text "7" (it reads back blank),
// which the depot store holds: the price moves as the same number.
TEST(DeleteFund, APriceTheArchiveWouldLoseMovesAsTheSameNumber) {
  DepotFixture f;
  f.AddFund(kAlpha, {"03.03.2003", "7", "04.03.2003", "10,50"});
  f.prompter.Script({Answer::Yes});
  f.dialogs.deleteFund.push_back(ScriptedFundDialogs::Choose(kAlpha.name));
  f.funds.DeleteFund();
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.auxiliaryStore, kAlpha.name),
            (std::vector<std::string>{"03.03.2003", "7,00", "04.03.2003", "10,50"}));
}

TEST(DeleteFund, NeedsAFundAndAChoice) {
  DepotFixture f;
  f.funds.DeleteFund();
  EXPECT_EQ(f.prompter.Last().text, "Sie müssen erst Fonds eingeben, bevor Sie diese löschen können.");
  EXPECT_EQ(f.prompter.Last().beep, BeepKind::Stop);
  f.funds.EditFund();
  EXPECT_EQ(f.prompter.Last().text, "Sie müssen erst Fonds eingeben, bevor Sie diese ändern können.");
  f.funds.EnterPrices();
  EXPECT_EQ(f.prompter.Last().text, "Sie müssen erst Fonds eingeben, bevor Sie Kursdaten eingeben können.");

  DeleteFundRules rules(f.prompter);
  f.prompter.Script({Answer::No, Answer::Yes});
  EXPECT_EQ(rules.Ok(), DialogStep::Stay);
  EXPECT_EQ(rules.Ok(), DialogStep::Cancel);
  EXPECT_EQ(f.prompter.Last().text, "Sie haben keinen Fond ausgewählt! Wollen\n Sie den Dialog trotzdem beenden?");
}

TEST(TakeOver, AnArchivedFundMovesIntoTheDepotAndBackAgain) {
  DepotFixture f;
  f.AddFund({"Gamma Global Fonds Extra Lang", "333333", "1,0400", ""}, {"03.03.2003", "7,00"}, true);
  // The list line: name column, one character, a tab, further columns.
  EXPECT_FALSE(f.funds.TakeOverFund("Unbekannt X\t1,00"));
  EXPECT_FALSE(f.funds.TakeOverFund(" *\t1,00"));
  ASSERT_TRUE(f.funds.TakeOverFund("  Gamma Global *\t7,00\t+1,5 %"));
  f.Reopen();
  auto m = ReadMaster(f.state.depotStore, "Gamma Global Fonds Extra Lang");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->currency, "Euro");
  EXPECT_EQ(PriceRows(f.state.depotStore, m->name), (std::vector<std::string>{"03.03.2003", "7,00"}));
  EXPECT_EQ(f.state.auxiliaryStore.RecordCount(), 0);

  f.prompter.Script({Answer::Yes});
  f.dialogs.deleteFund.push_back(ScriptedFundDialogs::Choose(m->name));
  f.funds.DeleteFund();
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.auxiliaryStore, m->name), (std::vector<std::string>{"03.03.2003", "7,00"}));
}

TEST(EditFund, ReplacesTheMasterRowButRefusesAnotherFundsWkn) {
  DepotFixture f;
  f.AddFund(kAlpha, kAlphaPrices);
  f.AddFund(kBeta, {});
  EditFundRules rules(f.prompter, AllMasters(f.state.depotStore));
  EXPECT_EQ(rules.Shown(1).surchargePercent, "3,00");
  EXPECT_EQ(rules.Ok(1, {"", "111111", "3", "Euro"}).clear, FundField::Wkn);
  EXPECT_EQ(f.prompter.Last().text,
            "Der Fond 111111hat dieselbe Wertpapierkennnummer\nwie der Fond Alpha AktienDas Ist unmöglich. "
            "Geben Sie die richtige Nummer ein.");
  EXPECT_EQ(rules.Ok(1, {"", "", "3", "Euro"}).clear, FundField::Wkn);
  EXPECT_EQ(rules.Ok(0, {"", "111111", "", ""}).step, DialogStep::Accept);  // its own WKN is fine

  f.dialogs.editFund.push_back([](EditFundRules& r) -> std::optional<std::pair<size_t, FundEntry>> {
    FieldOutcome o = r.Ok(1, {"", "999999", "", "CHF"});
    if (o.step != DialogStep::Accept) return std::nullopt;
    return std::make_pair(size_t{1}, o.entry);
  });
  f.factors.answers = {std::string("1,2000")};
  f.events.calls.clear();
  f.funds.EditFund();
  f.Reopen();
  EXPECT_EQ(ReadMaster(f.state.depotStore, kBeta.name)->Row(),
            (std::vector<std::string>{kBeta.name, "999999", "1,0000", "CHF"}));
  EXPECT_EQ(ReadMaster(f.state.depotStore, kAlpha.name)->Row(), kAlpha.Row());
  EXPECT_EQ(PriceRows(f.state.depotStore, kAlpha.name), kAlphaPrices);
  EXPECT_TRUE(f.events.calls.empty()) << "editing does not recompute";
}

TEST(FundData, ShowsTheArchivedFundAndDeletesItOnRequest) {
  DepotFixture f;
  f.AddFund({"Delta Dividende", "444444", "1,0500", "Euro"}, {"03.03.2003", "20,00", "04.03.2003", "0"}, true);
  f.AddFund({"Epsilon", "555555", "0", "Euro"}, {}, true);
  EXPECT_FALSE(f.funds.ShowFundData(""));
  EXPECT_EQ(f.prompter.Last().text,
            "Sie müssen erst mit der linken Maustaste einen Fondnamen anklicken, \num diesen zu markieren!");

  ASSERT_TRUE(f.funds.ShowFundData("Delta Dividende  \t20,00"));
  ASSERT_EQ(f.dialogs.shownData.size(), 1u);
  const FundDataView& d = f.dialogs.shownData[0];
  EXPECT_EQ(d.surchargePercent, "5,00");
  EXPECT_EQ(d.purchasePrice, "21,00 Euro");
  EXPECT_EQ(d.priceDate, "03.03.2003");

  FundDataView e = FundCommands::DataOf(f.state.auxiliaryStore, "Epsilon");
  EXPECT_EQ(e.surchargePercent, "k.A.");
  EXPECT_EQ(e.purchasePrice, "k.A.");
  EXPECT_EQ(e.priceDate, "00.00.0000");

  f.dialogs.fundDataDelete = {true};
  ASSERT_TRUE(f.funds.ShowFundData("Epsilon\t"));
  f.Reopen();
  EXPECT_EQ(f.state.auxiliaryStore.FindKey("Epsilon"), -1);
  EXPECT_EQ(f.state.auxiliaryStore.RecordCount(), 1);
}

}  // namespace
}  // namespace tellurio::testing
