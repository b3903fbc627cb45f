#include "app/core/ShellDialogRules.h"

namespace tellurio {

namespace {
constexpr const char* kNoDepotChosen = "Sie haben kein Depot ausgewählt! Wollen\n Sie den Dialog trotzdem beenden?";
}

DialogStep DepotChoiceRules::Ok(const std::string& selected) {
  if (!selected.empty()) return DialogStep::Accept;
  return prompter_.AskYesNo("Frage", kNoDepotChosen, MessageIcon::Question, BeepKind::Question) ? DialogStep::Cancel
                                                                                                : DialogStep::Stay;
}

DialogStep ChoiceByDoubleClickRules::Ok() {
  if (choice_.empty()) {
    const char* text = kind_ == Kind::WebProvider
                           ? "Sie müssen einen Anbieter auswählen, sonst können Sie die Kursdaten\n nicht aus dem "
                             "Internet laden. Wollen Sie den Dialog trotzdem beenden?"
                           : kNoDepotChosen;
    return prompter_.AskYesNo("Frage", text, MessageIcon::Question, BeepKind::Question) ? DialogStep::Cancel
                                                                                        : DialogStep::Stay;
  }
  if (kind_ == Kind::WebProvider) return DialogStep::Accept;
  const std::string text =
      "Sie haben das Depot\n\n" + choice_ + "\n\n ausgewählt. Wollen Sie das ausgewählte Depot\n wirklich löschen?";
  return prompter_.AskYesNo("Frage", text, MessageIcon::Question, BeepKind::Question) ? DialogStep::Accept
                                                                                      : DialogStep::Stay;
}

NewDepotRules::NewDepotRules(Prompter& p, std::vector<std::string> providers,
                             std::function<std::optional<NameRefusal>(const NewDepotChoice&)> check)
    : prompter_(p), providers_(std::move(providers)), check_(std::move(check)), useExisting_(!providers_.empty()) {}

NewDepotRules::Layout NewDepotRules::Opening() const {
  if (providers_.empty()) return {false, true, false};
  return {true, false, true};
}

NewDepotRules::Layout NewDepotRules::CheckBoxChanged(bool checked) {
  if (checked && providers_.empty()) {
    prompter_.Notice("Hinweis",
                     "Es sind keine Fondanbieter vorhanden, die Sie nutzen können.\n"
                     "Sie müssen einen Namen für einen neuen Fondanbieter eingeben!",
                     MessageIcon::Exclamation, BeepKind::Exclamation);
    useExisting_ = false;
    return {false, true, false};
  }
  useExisting_ = checked;
  return checked ? Layout{true, false, true} : Layout{false, true, false};
}

NewDepotRules::Outcome NewDepotRules::Ok(const std::string& depot, const std::string& providerEdit,
                                         const std::string& selectedProvider) {
  const std::string tail =
      "dem das Depot zugeordnet ist, sonst können Sie den\n"
      "Dialog nur über die Abbruchtaste verlassen";
  auto warn = [this](const std::string& text) {
    prompter_.Notice("Hinweis", text, MessageIcon::Exclamation, BeepKind::Exclamation);
  };
  std::string provider = providerEdit;
  if (providers_.empty()) {
    if (provider.empty()) {
      warn("Sie müssen erst den Namen eines Fondanbieters eingeben,\n" + tail);
      return {DialogStep::Stay, Focus::ProviderName, {}};
    }
  } else if (useExisting_) {
    if (selectedProvider.empty()) {
      warn("Sie müssen erst einen Fondanbieter auswählen,\n" + tail);
      return {DialogStep::Stay, Focus::None, {}};
    }
    provider = selectedProvider;
  } else if (provider.empty()) {
    warn("Sie müssen erst den Namen eines Fondanbieters eingeben oder einen vorhandenen Anbieter auswählen,\n" + tail);
    return {DialogStep::Stay, Focus::ProviderName, {}};
  }
  if (depot.empty()) {
    const bool leave = prompter_.AskYesNo(
        "Hinweis", "Sie haben keinen Depotnamen eingegeben. Möchten Sie den Dialog trotzdem verlassen?",
        MessageIcon::Exclamation, BeepKind::Exclamation);
    if (leave) return {DialogStep::Cancel, Focus::None, {}};
    return {DialogStep::Stay, Focus::DepotName, {}};
  }
  NewDepotChoice choice{depot, provider};
  if (check_) {
    if (std::optional<NameRefusal> refusal = check_(choice)) {
      warn(refusal->message);
      return {DialogStep::Stay, refusal->depotField ? Focus::DepotName : Focus::ProviderName, {}};
    }
  }
  return {DialogStep::Accept, Focus::None, choice};
}

DialogStep ConversionFactorRules::Ok(const std::string& factor) {
  if (!factor.empty()) return DialogStep::Accept;
  return prompter_.AskYesNo("Hinweis",
                            "Sie haben keinen Umrechnungsfaktor eingegeben. Möchten Sie den Dialog trotzdem verlassen?",
                            MessageIcon::Exclamation, BeepKind::Exclamation)
             ? DialogStep::Cancel
             : DialogStep::Stay;
}

}  // namespace tellurio
