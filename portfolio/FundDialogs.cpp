#include "portfolio/FundDialogs.h"

#include "storage/ListFile.h"

namespace tellurio {

namespace {

void Warn(Prompter& p, const std::string& text) {
  p.Notice("Hinweis", text, MessageIcon::Exclamation, BeepKind::Exclamation);
}

const char* const kLeaveAnyway = "Möchten Sie den Dialog trotzdem verlassen ?\n Ihre Eintragung wird dann verworfen!";

FieldOutcome Stay(FundField clear) { return FieldOutcome{DialogStep::Stay, clear, {}}; }
FieldOutcome Keep() { return FieldOutcome{DialogStep::Stay, FundField::None, {}}; }

std::string SameWkn(const std::string& wkn, const std::string& other, const char* is) {
  return "Der Fond " + wkn + "hat dieselbe Wertpapierkennnummer\nwie der Fond " + other + "Das " + is +
         " unmöglich. Geben Sie die richtige Nummer ein.";
}

}  // namespace

std::optional<std::string> RefuseFundName(const std::string& name, const RecordStore& store) {
  for (unsigned char c : name) {
    if (c < 32 || c == 127) return "Der Fondname darf keine Steuerzeichen enthalten.";
  }
  if (!name.empty() && (name[0] == '%' || name[0] == '('))
    return "Der Fondname darf nicht mit \"%\" oder \"(\" beginnen, weil die Datendateien einen solchen Namen "
           "nicht speichern können.";
  // The name is a line of the data file (key from the section count) and of
  // the index file (key from its first name); both must read back as typed.
  const std::vector<std::string>& keys = store.Keys();
  const bool first = store.RecordCount() == 0;
  const std::string& indexFirst = first ? name : keys.front();
  if (!RoundTrips(name, ListKeyOf(std::to_string(store.SectionCount())), false) ||
      !RoundTrips(name, ListKeyOf(indexFirst), first))
    return "Der Fondname \"" + name +
           "\" enthält Zeichen, die in den Datendateien nicht gespeichert werden können\n"
           "(zum Beispiel große Umlaute oder Akzente an dieser Stelle). Bitte wählen Sie einen anderen Namen.";
  return std::nullopt;
}

NewFundRules::NewFundRules(Prompter& p, std::vector<FundMaster> masters, const RecordStore& store)
    : prompter_(p), masters_(std::move(masters)), store_(store) {}

FieldOutcome NewFundRules::NameLeft(const std::string& name) {
  if (name.empty()) return Keep();
  for (const FundMaster& m : masters_) {
    if (m.name == name) {
      Warn(prompter_, "Der Fond\n\n" + name + "\n\nexistiert schon. Geben Sie einen anderen Namen ein.");
      return Stay(FundField::Name);
    }
  }
  if (auto why = RefuseFundName(name, store_)) {
    Warn(prompter_, *why);
    return Stay(FundField::Name);
  }
  return Keep();
}

FieldOutcome NewFundRules::WknLeft(const std::string& wkn) {
  if (wkn.empty()) return Keep();
  for (const FundMaster& m : masters_) {
    if (m.wkn == wkn) {
      Warn(prompter_, SameWkn(wkn, m.name, "ist"));
      return Stay(FundField::Wkn);
    }
  }
  return Keep();
}

FieldOutcome NewFundRules::Ok(const FundEntry& e) {
  struct Required {
    const std::string& text;
    FundField field;
    const char* message;
  };
  const Required required[] = {
      {e.name, FundField::Name, "Sie haben den Namen des Fonds nicht ausgefüllt\n"},
      {e.wkn, FundField::Wkn, "Sie haben die Wertpapierkennummer nicht ausgefüllt\n"},
      {e.surchargePercent, FundField::Surcharge, "Sie haben den Ausgabeaufschlag nicht ausgefüllt.\n"},
  };
  for (const Required& r : required) {
    if (!r.text.empty()) continue;
    const bool leave = prompter_.AskYesNo("Hinweis", std::string(r.message) + kLeaveAnyway, MessageIcon::Exclamation,
                                          BeepKind::Exclamation);
    return leave ? FieldOutcome{DialogStep::Cancel, FundField::None, {}} : Stay(r.field);
  }
  // The checks of the fields run again: OK can be reached with the Enter key
  // without leaving the field, and a second fund of the same name would make
  // the store's keys ambiguous.
  if (FieldOutcome o = NameLeft(e.name); o.clear != FundField::None) return o;
  if (FieldOutcome o = WknLeft(e.wkn); o.clear != FundField::None) return o;
  FundEntry accepted = e;
  if (e.currency.empty()) {
    const bool euro = prompter_.AskYesNo("Hinweis",
                                         "Sie haben die Fondwährung nicht festgelegt.\nAls Fondwährung wird Euro "
                                         "benutzt.Möchten Sie den Euro als Währung übernehmen?",
                                         MessageIcon::Question, BeepKind::Question);
    if (!euro) return Stay(FundField::Currency);
    accepted.currency = "Euro";
  }
  return FieldOutcome{DialogStep::Accept, FundField::None, accepted};
}

DialogStep DeleteFundRules::Ok() {
  if (choice_.empty()) {
    return prompter_.AskYesNo("Frage", "Sie haben keinen Fond ausgewählt! Wollen\n Sie den Dialog trotzdem beenden?",
                              MessageIcon::Question, BeepKind::Question)
               ? DialogStep::Cancel
               : DialogStep::Stay;
  }
  const std::string text =
      "Sie haben den Fond\n\n" + choice_ + "\n\n ausgewählt. Wollen Sie den ausgewählten Fond\n wirklich löschen?";
  return prompter_.AskYesNo("Frage", text, MessageIcon::Question, BeepKind::Question) ? DialogStep::Accept
                                                                                      : DialogStep::Stay;
}

FundEntry EditFundRules::Shown(size_t index) const {
  if (index >= masters_.size()) return {};
  const FundMaster& m = masters_[index];
  return FundEntry{m.name, m.wkn, SurchargePercentText(m.surchargeFactor), m.currency};
}

FieldOutcome EditFundRules::Ok(size_t index, const FundEntry& typed) {
  if (index >= masters_.size()) return FieldOutcome{DialogStep::Cancel, FundField::None, {}};
  if (typed.wkn.empty()) {
    prompter_.AskYesNo("Hinweis",
                       "Sie haben das Feld für die Wertpapierkennummer nicht ausgefüllt.\nFüllen Sie dieses Feld "
                       "bitte aus!",
                       MessageIcon::Exclamation, BeepKind::Exclamation);
    return Stay(FundField::Wkn);
  }
  for (size_t i = 0; i < masters_.size(); ++i) {
    if (i != index && masters_[i].wkn == typed.wkn) {
      Warn(prompter_, SameWkn(typed.wkn, masters_[i].name, "Ist"));
      return Stay(FundField::Wkn);
    }
  }
  FundEntry e = typed;
  e.name = masters_[index].name;
  if (e.surchargePercent.empty()) e.surchargePercent = "0,00";
  if (e.currency.empty()) e.currency = "Euro";
  return FieldOutcome{DialogStep::Accept, FundField::None, e};
}

}  // namespace tellurio
