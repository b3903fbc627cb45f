#pragma once
// The rules inside the shell's dialogs, without widgets: what each button
// and choice does and which message follows.  The Qt dialogs forward their
// events here and do what the answer says.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/ShellDialogs.h"
#include "platform/DialogStep.h"
#include "platform/Prompter.h"

namespace tellurio {

// "Depotauswahl": a list of depots; OK needs a selection.
class DepotChoiceRules {
 public:
  explicit DepotChoiceRules(Prompter& p) : prompter_(p) {}
  DialogStep Ok(const std::string& selected);

 private:
  Prompter& prompter_;
};

// "Fondanbieter zuordnen" and "Depot löschen": a double click chooses an
// entry; OK needs a choice (and for deleting, a confirmation).
class ChoiceByDoubleClickRules {
 public:
  enum class Kind { WebProvider, DeleteDepot };
  ChoiceByDoubleClickRules(Prompter& p, Kind kind) : prompter_(p), kind_(kind) {}
  void DoubleClicked(const std::string& entry) { choice_ = entry; }
  const std::string& Choice() const { return choice_; }
  DialogStep Ok();

 private:
  Prompter& prompter_;
  Kind kind_;
  std::string choice_;
};

// "neues Depot anlegen".
class NewDepotRules {
 public:
  enum class Focus { None, DepotName, ProviderName };
  struct Layout {
    bool useExisting;  // the check box "vorhandenen Anbieters benutzen"
    bool showProviderEdit;
    bool showProviderList;
  };
  struct Outcome {
    DialogStep step = DialogStep::Stay;
    Focus focus = Focus::None;
    NewDepotChoice choice;
  };

  NewDepotRules(Prompter& p, std::vector<std::string> providers,
                std::function<std::optional<NameRefusal>(const NewDepotChoice&)> check);

  Layout Opening() const;
  // The user set or cleared the check box; returns the layout to show.
  Layout CheckBoxChanged(bool checked);
  // OK with the texts of the fields: the provider edit, the depot edit and
  // the selected entry of the provider list (empty when none).
  Outcome Ok(const std::string& depot, const std::string& providerEdit, const std::string& selectedProvider);

 private:
  Prompter& prompter_;
  std::vector<std::string> providers_;
  std::function<std::optional<NameRefusal>(const NewDepotChoice&)> check_;
  bool useExisting_;
};

// "Währungsumrechnung": the factor must not be empty.
class ConversionFactorRules {
 public:
  explicit ConversionFactorRules(Prompter& p) : prompter_(p) {}
  DialogStep Ok(const std::string& factor);

 private:
  Prompter& prompter_;
};

}  // namespace tellurio
