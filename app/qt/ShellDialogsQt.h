#pragma once
// The shell's dialogs in Qt: depot choice, new depot, provider assignment,
// deleting a depot, currency, money-market rate and conversion factor.

#include <QPointer>
#include <QWidget>

#include "app/core/ShellDialogs.h"
#include "platform/Prompter.h"

namespace tellurio {

class ShellDialogsQt : public ShellDialogs {
 public:
  ShellDialogsQt(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> ChooseDepot(const std::vector<std::string>& depots) override;
  std::optional<NewDepotChoice> NewDepot(
      const std::vector<std::string>& depots, const std::vector<std::string>& providers,
      const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>& check) override;
  std::optional<std::string> AssignWebProvider(const std::vector<std::string>& webProviders) override;
  std::optional<std::string> ChooseDepotToDelete(const std::vector<std::string>& depots) override;
  std::optional<std::string> ChooseCurrency(const std::string& current) override;
  std::optional<std::string> EnterMoneyMarketRate(const std::string& current) override;
  std::optional<std::string> EnterConversionFactor(const std::string& currency,
                                                   const std::string& displayCurrency) override;

 private:
  Prompter& prompter_;
  QPointer<QWidget> parent_;
};

}  // namespace tellurio
