#include "app/core/CTellurioDoc.h"

#include <algorithm>
#include <system_error>

#include "calendar/NumberText.h"
#include "platform/Codec1252.h"
#include "portfolio/Names.h"
#include "storage/CTextFile.h"
#include "storage/Directory.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

void RemoveFirst(std::vector<std::string>& list, const std::string& s) {
  auto it = std::find(list.begin(), list.end(), s);
  if (it != list.end()) list.erase(it);
}

std::string Unreadable(const Status& read) {
  return "Die Datei \"" + read.path() + "\" konnte nicht gelesen werden: " + read.message() +
         ".\nSie muss erst wieder lesbar sein, bevor ein Depot angelegt werden kann.";
}

}  // namespace

CTellurioDoc::CTellurioDoc(DocumentServices services) : services_(services), calendar_(services.clock) {}

CTellurioDoc::~CTellurioDoc() = default;

bool CTellurioDoc::Report(const Status& status) {
  if (status.ok()) return true;
  services_.prompter.Show(Message{"Fehler", status.Describe(), MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  return false;
}

std::string CTellurioDoc::ReadSetting(const char* key, const char* fallback) {
  if (services_.settings.Read(kSettingsSection, key, kSettingMissing) == kSettingMissing)
    services_.settings.Write(kSettingsSection, key, fallback);
  return services_.settings.Read(kSettingsSection, key, kSettingMissing);
}

CTellurioDoc::StartResult CTellurioDoc::StartUp(const fs::path& workingDirectory) {
  state_.workingDirectory = workingDirectory;
  // What interrupted saves of an earlier run left behind; the files they
  // were to replace are whole.  How many there were is of no interest.
  (void)fileset::RemoveLeftoverTemporaries(workingDirectory);
  state_.euroRate = kEuroRate;
  state_.moneyMarketRate = 0;
  state_.depotNames = ListDataFiles(".dat");
  state_.providerNames = ListDataFiles(".pls");

  LoadDaxHistory();
  CheckPortraits();
  state_.moneyMarketRate = ParseNumber(ReadSetting("Zins", "3,00"));
  state_.currency = ReadSetting("Waehrung", "DM");

  Prompter& p = services_.prompter;
  if (!state_.depotNames.empty()) {
    SwitchDepot();
    if (state_.currentDepot.empty()) {
      if (!p.AskYesNo("Hinweis", "Sie haben kein Depot ausgewählt.\nWollen Sie ein neues Depot einrichten?",
                      MessageIcon::Question, BeepKind::Question))
        return StartResult::Exit;
      if (!NewDepot()) return StartResult::Exit;
    }
  } else {
    p.Notice("Hinweis",
             "Sie nutzen das Programm das erste Mal, es sind noch keine Depots angelegt.\n"
             "oder Sie müssen erst alte Daten Rücksichern!!",
             MessageIcon::Information, BeepKind::Information);
    const bool restore =
        p.AskYesNo("Frage", "Wollen Sie alte Daten Rücksichern?", MessageIcon::Question, BeepKind::None);
    bool haveDepot = false;
    // The restore offer when one is set; otherwise the hooks, in their order,
    // until one of them makes a depot current.
    if (restore && restore_) haveDepot = restore_->RestoreBackup() && !state_.currentDepot.empty();
    for (SubsystemHooks* h : services_.hooks) {
      if (!restore || restore_ || haveDepot) break;
      haveDepot = h->RestoreBackup() && !state_.currentDepot.empty();
    }
    // Without a restored depot the program would run without any depot;
    // the new-depot dialog follows instead.
    if (!haveDepot && !NewDepot()) return StartResult::Exit;
  }

  state_.fundCount = state_.currentDepot.empty() ? 0 : state_.depotStore.RecordCount();
  RegisterFundCurrencies();
  Report(fileset::EnsurePriceDirectories(state_.workingDirectory, state_.providerNames, PackedYear(calendar_.Today()),
                                         calendar_.TodayMonthName()));
  state_.selectedFund.clear();
  for (SubsystemHooks* h : services_.hooks) h->ReconcileArchives();
  for (SubsystemHooks* h : services_.hooks) h->BuildPortraitIndex();
  RebuildTicker();
  state_.fundSelected = 0;
  return StartResult::Ready;
}

void CTellurioDoc::LoadDaxHistory() {
  const fs::path file = state_.workingDirectory / fileset::kDaxHistory;
  // A history that cannot be read is neither extended nor written: writing
  // today's value alone would replace the whole history.
  if (!stores_.ReadList(file, state_.daxSeries)) return;
  const std::string today = calendar_.TodayText();
  bool known = false;
  const size_t pairs = state_.daxSeries.size() / 2;
  for (size_t i = 0; i < 2 * pairs && !known; i += 2) known = state_.daxSeries[i].find(today) != std::string::npos;
  if (!known) {
    const marabu::DownloadResult r = services_.web.DAXLaden(state_.daxSeries, state_.workingDirectory.string());
    if (!r.ok())
      services_.prompter.Show(Message{"Fehler", "Der DAX-Stand konnte nicht geladen werden.\n" + r.message,
                                      MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  }
  Report(WriteListFile(file, state_.daxSeries));
}

void CTellurioDoc::CheckPortraits() {
  const std::string month = calendar_.TodayText().substr(3, 2);
  const std::string stored = services_.settings.Read(kSettingsSection, "Portrait", kSettingMissing);
  if (stored == kSettingMissing || stored != month) {
    services_.settings.Write(kSettingsSection, "Portrait", month);
    for (SubsystemHooks* h : services_.hooks) h->RefreshPortraits();
  }
  // Only the number of lines matters here; a missing file is created empty.
  // One that cannot be created or read counts as empty.
  const fs::path portrait = state_.workingDirectory / fileset::kPortraitFile;
  std::error_code ec;
  CTextFile f;
  if (!fs::exists(fs::symlink_status(portrait, ec)))
    (void)f.Open(portrait, CTextFile::modeCreate | CTextFile::modeWrite);
  if (f.Open(portrait, CTextFile::modeRead) != 0 || f.GetLength() == 0)
    for (SubsystemHooks* h : services_.hooks) h->RefreshPortraits();
}

std::vector<std::string> CTellurioDoc::ListDataFiles(const std::string& extension) {
  services_.web.ArbeitsverzeichnisEinstellen(state_.workingDirectory.string());
  std::vector<std::string> notUtf8;
  std::vector<std::string> names = fileset::ListDataFiles(state_.workingDirectory, extension, &notUtf8);
  std::string unnamed;
  for (const std::string& file : notUtf8)
    if (namesNotUtf8Reported_.insert(file).second) unnamed += "\n" + Utf8FromCp1252(file);
  // Left out rather than opened under a changed name: the window's texts
  // would turn the bytes into other characters, and the program would make
  // new, empty files of that name beside the real ones.
  if (!unnamed.empty())
    services_.prompter.Notice("Hinweis",
                              "Im Datenverzeichnis\n\n" + state_.workingDirectory.string() +
                                  "\n\nliegen Dateien, deren Namen nicht in der Zeichenkodierung UTF-8 geschrieben "
                                  "sind (etwa von einem Windows-Rechner übernommen):\n" +
                                  unnamed +
                                  "\n\nDiese Dateien werden übergangen und nicht verändert. Benennen Sie sie bitte "
                                  "um, damit das Programm sie lesen kann.",
                              MessageIcon::Exclamation, BeepKind::Exclamation);
  return names;
}

void CTellurioDoc::OpenDepotStores(const std::string& depot) {
  services_.web.ArbeitsverzeichnisEinstellen(state_.workingDirectory.string());
  // What could not be read is reported by the opening itself and stays
  // read-only; the session goes on with what could be read.
  (void)stores_.OpenBoth(state_.workingDirectory, depot, state_.depotStore, state_.auxiliaryStore);
}

void CTellurioDoc::MakeCurrent(const std::string& depot) {
  state_.currentDepot = depot;
  if (!depot.empty()) {
    LoadDepot();
    return;
  }
  // No depot: the stores are bound to nothing and take no changes.
  state_.depotStore.MarkUnreadable(Status::Ok());
  state_.auxiliaryStore.MarkUnreadable(Status::Ok());
  state_.fundCount = 0;
  state_.currencyFactors.clear();
}

void CTellurioDoc::ReloadCurrentDepot() {
  if (state_.currentDepot.empty()) return;
  OpenDepotStores(state_.currentDepot);
  state_.fundCount = state_.depotStore.RecordCount();
}

void CTellurioDoc::LookUpWebProvider() {
  std::vector<std::string> pairs;
  // An unreadable assignment file is reported; the provider then has no web
  // provider.
  (void)stores_.ReadList(state_.workingDirectory / fileset::kProviderAssignments, pairs);
  // A provider without an assignment has no web provider; keeping the one of
  // the depot loaded before would download another provider's prices.
  state_.webProvider.clear();
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i] == state_.currentProvider) {
      state_.webProvider = pairs[i + 1];
      return;
    }
  }
}

void CTellurioDoc::RegisterFundCurrencies() {
  if (state_.currentDepot.empty()) return;
  RecordStore& store = state_.depotStore;
  for (int r = 0; r < state_.fundCount && r < store.RecordCount(); ++r) {
    std::string key;
    std::vector<std::string> row;
    store.ReadRows(key, 0, -1, store.RecordLine(0, store.Keys()[static_cast<size_t>(r)]), row);
    if (row.size() >= 4) RegisterCurrency(row[3]);
  }
}

void CTellurioDoc::LoadDepot() {
  OpenDepotStores(state_.currentDepot);
  for (const std::string& p : state_.providerNames) {
    state_.providerDepots = stores_.DepotsOfProvider(state_.workingDirectory, p);
    if (Contains(state_.providerDepots, state_.currentDepot)) {
      state_.currentProvider = p;
      LookUpWebProvider();
      break;
    }
  }
  state_.fundCount = state_.currentDepot.empty() ? 0 : state_.depotStore.RecordCount();
  state_.currencyFactors.clear();
  RegisterFundCurrencies();
}

void CTellurioDoc::ReloadAfterRestore() {
  state_.depotNames = ListDataFiles(".dat");
  state_.providerNames = ListDataFiles(".pls");
  // The first depot whose name the session accepts becomes current; a file
  // with a name the program would refuse is listed but never opened.
  state_.currentDepot.clear();
  for (const std::string& d : state_.depotNames) {
    if (!RefuseName(d, NameKind::Depot)) {
      state_.currentDepot = d;
      break;
    }
  }
  state_.currency = ReadSetting("Waehrung", "DM");
  // The provider is found afresh: the one of the depot current before the
  // restore would otherwise stay when no restored list names the depot, and
  // a download would then fetch another provider's prices.
  state_.currentProvider.clear();
  state_.webProvider.clear();
  state_.providerDepots.clear();
  // Without a depot the stores are bound to nothing and take no changes.
  MakeCurrent(state_.currentDepot);
  Report(fileset::EnsurePriceDirectories(state_.workingDirectory, state_.providerNames, PackedYear(calendar_.Today()),
                                         calendar_.TodayMonthName()));
  state_.selectedFund.clear();
  ShowCurrencyStatus();
  AfterDepotChange();
}

void CTellurioDoc::AfterDepotChange() {
  ShowDepotStatus();
  RecomputeStatistics(Scope::DepotFunds);
  RecomputeStatistics(Scope::AllFunds);
  ResetChartView(false);
  RebuildTicker();
  state_.fundSelected = 0;
  UpdateAllViews();
}

void CTellurioDoc::SwitchDepot() {
  std::optional<std::string> choice = services_.dialogs.ChooseDepot(state_.depotNames);
  if (!choice || choice->empty()) return;
  state_.currentDepot = *choice;
  stores_.ForgetReports();
  LoadDepot();
  state_.selectedFund.clear();
  AfterDepotChange();
}

std::optional<NameRefusal> CTellurioDoc::CheckNewDepot(const NewDepotChoice& c) const {
  if (auto why = RefuseName(c.provider, NameKind::Provider)) return NameRefusal{*why, false};
  if (auto why = RefuseName(c.depot, NameKind::Depot)) return NameRefusal{*why, true};
  const fs::path& wd = state_.workingDirectory;
  // The provider name becomes a line of anb.dbk, the depot name a line of the
  // provider's list file; both must read back as typed.
  // A list that cannot be read cannot be extended without losing its lines.
  if (!Contains(state_.providerNames, c.provider)) {
    std::vector<std::string> pairs;
    const Status read = ReadListFile(wd / fileset::kProviderAssignments, pairs);
    if (!read.ok()) return NameRefusal{Unreadable(read), false};
    if (auto why = RefuseListLine(c.provider, NameKind::Provider, pairs.empty() ? c.provider : pairs[0], pairs.empty()))
      return NameRefusal{*why, false};
  }
  std::vector<std::string> depots;
  const Status read = ReadListFile(fileset::ProviderList(wd, c.provider), depots);
  if (!read.ok()) return NameRefusal{Unreadable(read), false};
  if (!Contains(depots, c.depot)) {
    if (auto why = RefuseListLine(c.depot, NameKind::Depot, depots.empty() ? c.depot : depots[0], depots.empty()))
      return NameRefusal{*why, true};
  }
  return std::nullopt;
}

bool CTellurioDoc::NewDepot() {
  std::optional<NewDepotChoice> choice = services_.dialogs.NewDepot(
      state_.depotNames, state_.providerNames, [this](const NewDepotChoice& c) { return CheckNewDepot(c); });
  if (!choice) return false;
  const fs::path& wd = state_.workingDirectory;
  const std::string depot = choice->depot;
  const fs::path listFile = fileset::ProviderList(wd, choice->provider);
  // The list as it is on disk, every line kept, for writing it back.  The
  // dialog's check read it a moment ago; if it cannot be read now, nothing
  // is created.
  std::vector<std::string> lines;
  if (!stores_.ReadList(listFile, lines)) return false;
  state_.currentProvider = choice->provider;
  const bool known = Contains(state_.providerNames, state_.currentProvider);
  if (!known) {
    state_.providerNames.push_back(state_.currentProvider);
    Report(fileset::EnsurePriceDirectories(wd, {state_.currentProvider}, PackedYear(calendar_.Today()),
                                           calendar_.TodayMonthName()));
    std::vector<std::string> webProviders;
    const marabu::DownloadResult fetched = services_.web.BankenHolen(webProviders);
    std::optional<std::string> web;
    if (fetched.ok()) {
      web = services_.dialogs.AssignWebProvider(webProviders);
    } else {
      services_.prompter.Show(Message{"Fehler",
                                      "Die Liste der Fondanbieter für den Kursdownload konnte nicht geholt werden:\n" +
                                          fetched.message +
                                          "\n\nDas Depot wird ohne Zuordnung zu einem Anbieter für den Kursdownload "
                                          "angelegt.",
                                      MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    }
    std::vector<std::string> pairs;
    if (web && stores_.ReadList(wd / fileset::kProviderAssignments, pairs)) {
      pairs.push_back(state_.currentProvider);
      pairs.push_back(*web);
      Report(WriteListFile(wd / fileset::kProviderAssignments, pairs));
      state_.webProvider = *web;
    } else {
      state_.webProvider.clear();
    }
  } else {
    LookUpWebProvider();
  }
  if (!Contains(lines, depot)) {
    lines.push_back(depot);
    Report(WriteListFile(listFile, lines));
  }
  state_.providerDepots = stores_.DepotsOfProvider(wd, state_.currentProvider);
  if (!Contains(state_.depotNames, depot)) state_.depotNames.push_back(depot);
  state_.currentDepot = depot;
  state_.selectedFund.clear();
  OpenDepotStores(depot);
  state_.fundCount = state_.depotStore.RecordCount();
  RegisterCurrency(state_.currency);
  RecomputeStatistics(Scope::DepotFunds);
  RecomputeStatistics(Scope::AllFunds);
  RebuildTicker();
  ShowDepotStatus();
  state_.fundSelected = 0;
  ResetChartView(false);
  UpdateAllViews();
  return true;
}

void CTellurioDoc::DeleteDepot() {
  Prompter& p = services_.prompter;
  if (state_.depotNames.size() <= 1) {
    p.Notice("Hinweis", "Es ist nur ein Depot vorhanden und das können Sie nicht löschen", MessageIcon::Stop,
             BeepKind::Stop);
    return;
  }
  std::optional<std::string> choice = services_.dialogs.ChooseDepotToDelete(state_.depotNames);
  if (!choice) return;
  const std::string depot = *choice;
  if (depot == state_.currentDepot) {
    p.Notice("Hinweis", "Sie haben das aktive Depot zum löschen ausgewählt.\nSie können das aktive Depot nicht löschen",
             MessageIcon::Stop, BeepKind::Stop);
    return;
  }
  const fs::path& wd = state_.workingDirectory;
  const std::vector<std::string> providers = state_.providerNames;
  for (const std::string& provider : providers) {
    std::vector<std::string> list;
    // A list that cannot be read is reported and left as it is.
    if (!stores_.ReadList(fileset::ProviderList(wd, provider), list)) continue;
    if (!Contains(list, depot)) continue;
    RemoveFirst(list, depot);
    if (!list.empty()) {
      Report(WriteListFile(fileset::ProviderList(wd, provider), list));
      continue;
    }
    // The provider's last depot: its list file, price files and assignment go.
    Report(fileset::RemoveFile(fileset::ProviderList(wd, provider)));
    Report(Directory(fileset::ProviderPriceDir(wd, provider)).DeleteTree(fileset::PriceRoot(wd)));
    std::vector<std::string> pairs;
    if (stores_.ReadList(wd / fileset::kProviderAssignments, pairs)) {
      for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
        if (pairs[i] == provider) {
          pairs.erase(pairs.begin() + static_cast<long>(i), pairs.begin() + static_cast<long>(i) + 2);
          break;
        }
      }
      Report(WriteListFile(wd / fileset::kProviderAssignments, pairs));
    }
    RemoveFirst(state_.providerNames, provider);
  }
  // A missing file is no error; one that cannot be deleted is named.
  for (const fs::path& base : {fileset::DepotBase(wd, depot), fileset::ArchiveBase(wd, depot)}) {
    Report(fileset::RemoveFile(fs::path(base).concat(".dat")));
    Report(fileset::RemoveFile(fs::path(base).concat(".idx")));
  }
  RemoveFirst(state_.providerDepots, depot);
  RemoveFirst(state_.depotNames, depot);
  RebuildTicker();
  ResetChartView(false);
  UpdateAllViews();
}

void CTellurioDoc::RegisterCurrency(const std::string& currency) {
  CurrencyList(state_.currencyFactors).Register(currency, state_.currency, *this);
}

std::optional<std::string> CTellurioDoc::AskFactor(const std::string& currency, const std::string& display) {
  return services_.dialogs.EnterConversionFactor(currency, display);
}

void CTellurioDoc::SwitchCurrency() {
  std::optional<std::string> chosen = services_.dialogs.ChooseCurrency(state_.currency);
  if (!chosen) return;
  services_.settings.Write(kSettingsSection, "Waehrung", *chosen);
  if (*chosen != state_.currency) {
    CurrencyList(state_.currencyFactors).SwitchDisplayCurrency(state_.currency, *chosen);
    state_.currency = *chosen;
  }
  ShowCurrencyStatus();
  RecomputeStatistics(Scope::DepotFunds);
  UpdateAllViews();
}

void CTellurioDoc::EnterMoneyMarketRate() {
  std::optional<std::string> typed = services_.dialogs.EnterMoneyMarketRate(FormatNumber(state_.moneyMarketRate, 2));
  if (!typed) return;
  services_.settings.Write(kSettingsSection, "Zins", *typed);
  state_.moneyMarketRate = ParseNumber(*typed);
  ComputeRiskFigures(Scope::DepotFunds);
  ComputeRiskFigures(Scope::AllFunds);
  UpdateAllViews();
}

void CTellurioDoc::NotAvailableYet() {
  services_.prompter.Notice("Hinweis", "Diese Funktion ist in dieser Version von Tellurio noch nicht verfügbar.",
                            MessageIcon::Information, BeepKind::Information);
}

std::string CTellurioDoc::TickerText() const {
  std::lock_guard lock(tickerMutex_);
  return tickerText_;
}

void CTellurioDoc::RebuildTicker() {
  std::string text;
  const RecordStore& store = state_.depotStore;
  if (!state_.currentDepot.empty() && store.RecordCount() > 0) {
    text = "*** ";
    for (int r = 0; r < store.RecordCount(); ++r) {
      const RecordView master = store.Values(0, r);
      const RecordView prices = store.Values(1, r);
      text += std::string(master[0]) + " ";
      if (prices.size() >= 2) {
        text += std::string(prices[prices.size() - 2]) + " " + std::string(prices[prices.size() - 1]) + " ";
      } else {
        text += "00.00.0000 0,00 ";
      }
      text += std::string(master.size() > 3 ? master[3] : std::string_view()) + "*** ";
    }
  }
  std::lock_guard lock(tickerMutex_);
  tickerText_ = std::move(text);
}

void CTellurioDoc::RecomputeStatistics(Scope scope) { statistics_.RecomputeStatistics(scope); }

void CTellurioDoc::ComputeRiskFigures(Scope scope) { statistics_.ComputeRiskFigures(scope); }

void CTellurioDoc::SelectFund(const std::string& fund) {
  state_.selectedFund = fund;
  state_.fundSelected = fund.empty() ? 0 : 1;
}

void CTellurioDoc::ResetChartView(bool chartOn) {
  if (views_) views_->ResetChartView(chartOn);
}

void CTellurioDoc::UpdateAllViews() {
  if (views_) views_->UpdateAllViews();
}

void CTellurioDoc::ShowDepotStatus() {
  if (views_) views_->SetStatusText(1, "aktuelles Depot: " + state_.currentDepot);
}

void CTellurioDoc::ShowCurrencyStatus() {
  if (views_) views_->SetStatusText(2, "aktuelle Währung: " + state_.currency);
}

}  // namespace tellurio
