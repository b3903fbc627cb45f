#include <gtest/gtest.h>

#include "app/core/ShellDialogRules.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

const std::string kTail =
    "dem das Depot zugeordnet ist, sonst können Sie den\nDialog nur über die Abbruchtaste verlassen";

TEST(NewDepotRules, WithoutProvidersTheNameMustBeTyped) {
  RecordingPrompter p;
  NewDepotRules rules(p, {}, nullptr);
  EXPECT_EQ(rules.Opening().useExisting, false);
  EXPECT_TRUE(rules.Opening().showProviderEdit);
  EXPECT_FALSE(rules.Opening().showProviderList);

  NewDepotRules::Layout l = rules.CheckBoxChanged(true);
  EXPECT_FALSE(l.useExisting) << "the box is cleared again";
  EXPECT_EQ(p.Last().text,
            "Es sind keine Fondanbieter vorhanden, die Sie nutzen können.\n"
            "Sie müssen einen Namen für einen neuen Fondanbieter eingeben!");
  EXPECT_EQ(p.Last().beep, BeepKind::Exclamation);

  auto o = rules.Ok("Depot", "", "");
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(o.focus, NewDepotRules::Focus::ProviderName);
  EXPECT_EQ(p.Last().text, "Sie müssen erst den Namen eines Fondanbieters eingeben,\n" + kTail);

  o = rules.Ok("Depot", "Bank", "");
  EXPECT_EQ(o.step, DialogStep::Accept);
  EXPECT_EQ(o.choice.provider, "Bank");
  EXPECT_EQ(o.choice.depot, "Depot");
}

TEST(NewDepotRules, WithProvidersTheListOrTheEditIsUsed) {
  RecordingPrompter p;
  NewDepotRules rules(p, {"Bank", "Kasse"}, nullptr);
  EXPECT_TRUE(rules.Opening().useExisting);
  EXPECT_TRUE(rules.Opening().showProviderList);

  auto o = rules.Ok("Depot", "", "");
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(p.Last().text, "Sie müssen erst einen Fondanbieter auswählen,\n" + kTail);
  o = rules.Ok("Depot", "Getippt", "Kasse");
  EXPECT_EQ(o.choice.provider, "Kasse") << "with the box set the list counts";

  rules.CheckBoxChanged(false);
  o = rules.Ok("Depot", "", "Kasse");
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(
      p.Last().text,
      "Sie müssen erst den Namen eines Fondanbieters eingeben oder einen vorhandenen Anbieter auswählen,\n" + kTail);
  o = rules.Ok("Depot", "Neu", "Kasse");
  EXPECT_EQ(o.choice.provider, "Neu");
}

TEST(NewDepotRules, AnEmptyDepotNameAsksAndARefusedNameKeepsTheDialogOpen) {
  RecordingPrompter p;
  int checks = 0;
  NewDepotRules rules(p, {"Bank"}, [&](const NewDepotChoice& c) -> std::optional<NameRefusal> {
    ++checks;
    if (c.depot == "schlecht") return NameRefusal{"Grund", true};
    return std::nullopt;
  });
  p.Script({Answer::No, Answer::Yes});
  auto o = rules.Ok("", "", "Bank");
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(o.focus, NewDepotRules::Focus::DepotName);
  EXPECT_EQ(p.Last().text, "Sie haben keinen Depotnamen eingegeben. Möchten Sie den Dialog trotzdem verlassen?");
  EXPECT_EQ(rules.Ok("", "", "Bank").step, DialogStep::Cancel);
  EXPECT_EQ(checks, 0);

  o = rules.Ok("schlecht", "", "Bank");
  EXPECT_EQ(o.step, DialogStep::Stay);
  EXPECT_EQ(o.focus, NewDepotRules::Focus::DepotName);
  EXPECT_EQ(p.Last().text, "Grund");
  EXPECT_EQ(p.Last().title, "Hinweis");
  EXPECT_EQ(rules.Ok("gut", "", "Bank").step, DialogStep::Accept);
}

TEST(ChoiceRules, DepotChoiceAndDeletionAskBeforeLeaving) {
  RecordingPrompter p;
  DepotChoiceRules choose(p);
  p.Script({Answer::No, Answer::Yes});
  EXPECT_EQ(choose.Ok(""), DialogStep::Stay);
  EXPECT_EQ(p.Last().text, "Sie haben kein Depot ausgewählt! Wollen\n Sie den Dialog trotzdem beenden?");
  EXPECT_EQ(p.Last().title, "Frage");
  EXPECT_EQ(choose.Ok(""), DialogStep::Cancel);
  EXPECT_EQ(choose.Ok("A"), DialogStep::Accept);

  ChoiceByDoubleClickRules del(p, ChoiceByDoubleClickRules::Kind::DeleteDepot);
  p.Script({Answer::No, Answer::Yes});
  del.DoubleClicked("Alt");
  EXPECT_EQ(del.Ok(), DialogStep::Stay);
  EXPECT_EQ(p.Last().text,
            "Sie haben das Depot\n\nAlt\n\n ausgewählt. Wollen Sie das ausgewählte Depot\n wirklich löschen?");
  EXPECT_EQ(del.Ok(), DialogStep::Accept);

  ChoiceByDoubleClickRules web(p, ChoiceByDoubleClickRules::Kind::WebProvider);
  p.Script({Answer::No});
  EXPECT_EQ(web.Ok(), DialogStep::Stay);
  EXPECT_EQ(p.Last().text,
            "Sie müssen einen Anbieter auswählen, sonst können Sie die Kursdaten\n nicht aus dem Internet laden. "
            "Wollen Sie den Dialog trotzdem beenden?");
  web.DoubleClicked("Deka");
  EXPECT_EQ(web.Ok(), DialogStep::Accept);
  EXPECT_EQ(web.Choice(), "Deka");

  ConversionFactorRules factor(p);
  p.Script({Answer::No, Answer::Yes});
  EXPECT_EQ(factor.Ok(""), DialogStep::Stay);
  EXPECT_EQ(factor.Ok(""), DialogStep::Cancel);
  EXPECT_EQ(factor.Ok("1,5"), DialogStep::Accept);
  EXPECT_EQ(p.UnscriptedQuestions(), 0);
}

}  // namespace
}  // namespace tellurio
