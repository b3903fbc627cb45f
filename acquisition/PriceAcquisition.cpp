#include "acquisition/PriceAcquisition.h"

#include <system_error>

#include "acquisition/ArchiveReconcile.h"
#include "acquisition/PriceFile.h"
#include "acquisition/PriceMerge.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// The identification number that the portrait request carries; the
// publisher answers every request with the whole portrait file.
constexpr const char* kPortraitRequestNumber = "972830";
constexpr const char* kStatusTitle = "Portraitdaten aktualisieren";

bool DataFileExists(const fs::path& base) {
  std::error_code ec;
  return fs::exists(fs::path(base).concat(".dat"), ec);
}

// Opens a store of a depot that is not current, for reading; false (with
// the reason in *status) when its files exist but cannot be read.
bool OpenExisting(RecordStore& store, const fs::path& base, const std::vector<int>& widths, Status* status) {
  *status = store.Create(base, static_cast<int>(widths.size()), widths);
  if (status->ok()) *status = store.Open();
  return status->ok();
}

void AddFunds(const RecordStore& store, std::vector<PortraitFund>& out) {
  for (const FundMaster& m : AllMasters(store)) out.push_back(PortraitFund{m.name, m.wkn});
}

}  // namespace

PriceAcquisition::PriceAcquisition(AcquisitionDialogs& dialogs, SubsystemHooks* others)
    : dialogs_(dialogs), others_(others) {}

std::vector<PriceAcquisition::DepotRef> PriceAcquisition::AllDepots() const {
  std::vector<DepotRef> out;
  const DepotState& s = doc_->State();
  for (const std::string& provider : s.providerNames) {
    std::vector<std::string> depots;
    ReadListFile(fileset::ProviderList(s.workingDirectory, provider), depots);
    for (std::string& d : depots) out.push_back(DepotRef{provider, std::move(d)});
  }
  return out;
}

// ---- download run ------------------------------------------------------------

void PriceAcquisition::ReportDownloadFailure(const std::string& provider, const std::string& webProvider,
                                             const std::string& reason) {
  doc_->prompter().Show(Message{
      "Fehler",
      "Die Kurse des Fondanbieters " + provider + " (" + webProvider + ") konnten nicht geladen werden.\n\n" + reason +
          "\n\nDer Kursdownload wurde abgebrochen. Die Depots dieses Anbieters und der folgenden Anbieter "
          "sind unverändert.",
      MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
}

void PriceAcquisition::DownloadPrices() {
  if (!doc_) return;
  CTellurioDoc& doc = *doc_;
  DepotState& s = state();
  const std::string wd = s.workingDirectory.string();

  std::unique_ptr<StatusWindow> status = dialogs_.OpenStatusWindow("Kursdownload");
  status->ShowDepotLines();

  // One download per provider that has depots; the provider is reached
  // through its first depot.
  std::vector<DepotRef> work;
  for (const std::string& provider : s.providerNames) {
    std::vector<std::string> depots;
    ReadListFile(fileset::ProviderList(s.workingDirectory, provider), depots);
    if (!depots.empty()) work.push_back(DepotRef{provider, depots.front()});
  }

  const std::string depotBefore = s.currentDepot;
  const std::string fundBefore = s.selectedFund;
  bool portraitsNeeded = false;
  bool stopped = false;
  std::vector<std::string> unassigned;
  struct Failure {
    std::string provider, webProvider, reason;
  };
  std::optional<Failure> failure;
  const int n = static_cast<int>(work.size());
  for (int i = 0; i < n && !stopped; ++i) {
    s.currentDepot = work[static_cast<size_t>(i)].depot;
    doc.LoadDepot();
    doc.RecomputeStatistics(Scope::DepotFunds);
    doc.RecomputeStatistics(Scope::AllFunds);
    status->SetRemaining(n - i);
    status->SetCurrent(s.currentDepot);
    // Without an assigned web provider the request could only ask the
    // server's root page, which holds no prices.
    if (s.webProvider.empty()) {
      unassigned.push_back(s.currentProvider);
      continue;
    }
    if (s.auxiliaryStore.RecordCount() == 0) portraitsNeeded = true;
    doc.Report(fileset::EnsurePriceDirectories(s.workingDirectory, {s.currentProvider},
                                               PackedYear(doc.calendar().Today()), doc.calendar().TodayMonthName()));
    std::vector<std::string> lines;
    const marabu::DownloadResult r = doc.web().FileAusInternetLaden(lines, s.webProvider, s.currentProvider, wd);
    doc.web().ArbeitsverzeichnisEinstellen(wd);
    if (!r.ok()) {
      failure = Failure{s.currentProvider, s.webProvider, r.message};
      stopped = true;
      break;
    }
    if (!MergePriceRecords(lines, true, std::string())) stopped = true;
  }
  status.reset();
  if (failure) ReportDownloadFailure(failure->provider, failure->webProvider, failure->reason);

  if (!stopped) ReconcileArchives();
  s.currentDepot = depotBefore;
  if (!depotBefore.empty()) doc.LoadDepot();
  doc.RecomputeStatistics(Scope::DepotFunds);
  doc.RecomputeStatistics(Scope::AllFunds);
  s.selectedFund = fundBefore;
  for (const std::string& provider : unassigned)
    doc.prompter().Notice("Hinweis",
                          "Dem Fondanbieter " + provider +
                              " ist kein Anbieter für den Kursdownload zugeordnet.\n"
                              "Die Kurse seiner Depots wurden nicht geladen.",
                          MessageIcon::Exclamation, BeepKind::Exclamation);
  if (!stopped && portraitsNeeded && FetchPortraits()) BuildPortraitIndex();
  doc.RebuildTicker();
  doc.UpdateAllViews();
}

// ---- merge -------------------------------------------------------------------

bool PriceAcquisition::MergePriceRecords(const std::vector<std::string>& lines, bool allFunds,
                                         const std::string& fund) {
  if (!doc_) return false;
  const PriceFile file = ReadPriceRecords(lines);
  const std::vector<std::string> depots = state().providerDepots;
  for (const std::string& depot : depots)
    if (!MergeIntoDepot(depot, file, allFunds, fund)) return false;
  return true;
}

bool PriceAcquisition::MergeIntoDepot(const std::string& depot, const PriceFile& file, bool allFunds,
                                      const std::string& fund) {
  DepotState& s = state();
  CTellurioDoc& doc = *doc_;
  s.currentDepot = depot;
  doc.web().ArbeitsverzeichnisEinstellen(s.workingDirectory.string());
  // A store that exists but cannot be read opens empty; merging into it and
  // saving would replace the depot with the few prices of this file.
  Status opened;
  if (!OpenExisting(s.depotStore, fileset::DepotBase(s.workingDirectory, depot), fileset::kDepotRowWidths, &opened) ||
      !OpenExisting(s.auxiliaryStore, fileset::ArchiveBase(s.workingDirectory, depot), fileset::kArchiveRowWidths,
                    &opened)) {
    doc.Report(opened);
    s.fundCount = s.depotStore.RecordCount();
    return false;
  }
  s.fundCount = s.depotStore.RecordCount();

  const MergePlan plan = PlanMerge(s.depotStore, file);
  bool depotChanged = false;
  bool archiveChanged = false;
  if (!allFunds) {
    for (const HeldPrice& h : plan.held) {
      if (h.fund != fund) continue;
      StoreHeldPrice(s.depotStore, h);
      depotChanged = true;
      break;
    }
  } else {
    for (const HeldPrice& h : plan.held) StoreHeldPrice(s.depotStore, h);
    depotChanged = !plan.held.empty();
    if (!plan.others.empty()) {
      bool done = false;
      const ArchiveWork work = [&](const ArchiveStep& step) {
        if (done) return;
        done = true;
        for (size_t k = 0; k < plan.others.size(); ++k) {
          step(static_cast<int>(k), plan.others[k]->name);
          StoreArchivePrice(s.auxiliaryStore, *plan.others[k]);
        }
      };
      dialogs_.RunArchiveProgress(depot, static_cast<int>(plan.others.size()), work);
      // The archive is part of the merge whatever the dialog did.
      if (!done) work([](int, const std::string&) {});
      archiveChanged = true;
    }
  }
  // The depot is merged as a whole or not at all: when the fund archive
  // cannot be written after the depot store was, the depot store gets its
  // old files back.
  std::string oldData, oldIndex;
  const bool both = depotChanged && archiveChanged;
  if (both && (!ReadFileBytes(s.depotStore.DataPath(), oldData).ok() ||
               !ReadFileBytes(s.depotStore.IndexPath(), oldIndex).ok())) {
    oldData.clear();
    oldIndex.clear();
  }
  if (depotChanged && !doc.Report(s.depotStore.Save())) return false;
  if (archiveChanged) {
    const Status saved = s.auxiliaryStore.Save();
    if (!saved.ok()) {
      if (both && !oldData.empty()) {
        // A failed restore is reported in its turn; the depot then holds
        // the prices of this file without its archive part.
        doc.Report(WriteFileAtomically(s.depotStore.DataPath(), oldData));
        doc.Report(WriteFileAtomically(s.depotStore.IndexPath(), oldIndex));
      }
      doc.Report(saved);
      return false;
    }
  }
  return true;
}

// ---- import ------------------------------------------------------------------

void PriceAcquisition::ImportPriceFiles() {
  if (!doc_) return;
  CTellurioDoc& doc = *doc_;
  DepotState& s = state();
  std::error_code ec;
  const fs::path before = fs::current_path(ec);
  ImportPanelRules rules(doc.prompter(), FundNames(s.depotStore));
  std::optional<ImportChoice> choice = dialogs_.ChooseImportFiles(fileset::PriceRoot(s.workingDirectory), rules);
  // The dialog may have changed the current directory.
  if (!before.empty()) fs::current_path(before, ec);
  if (!choice) return;

  const std::string depotBefore = s.currentDepot;
  for (const fs::path& path : choice->files) {
    std::vector<std::string> lines;
    const Status read = ReadTextLines(path, lines);
    if (!read.ok()) {
      doc.prompter().Show(Message{"Fehler",
                                  "Die Datei\n\n" + path.string() + "\n\nkonnte nicht gelesen werden: " +
                                      read.message() + "\nSie wurde nicht importiert.",
                                  MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
      continue;
    }
    if (ReadPriceRecords(lines).records.empty()) {
      doc.prompter().Notice("Hinweis",
                            "Die Datei\n\n" + path.string() +
                                "\n\nenthält keine Kurse im Format der Kursdateien und wurde nicht importiert.",
                            MessageIcon::Exclamation, BeepKind::Exclamation);
      continue;
    }
    if (!MergePriceRecords(lines, choice->allFunds, choice->fund)) break;
  }
  s.currentDepot = depotBefore;
  doc.OpenDepotStores(depotBefore);
  s.fundCount = s.depotStore.RecordCount();
  doc.RecomputeStatistics(Scope::AllFunds);
  doc.RecomputeStatistics(Scope::DepotFunds);
  doc.RebuildTicker();
  doc.UpdateAllViews();
}

// ---- fund archive ------------------------------------------------------------

void PriceAcquisition::ReconcileArchives() {
  if (!doc_) return;
  DepotState& s = state();
  for (const DepotRef& ref : AllDepots()) {
    const fs::path base = fileset::ArchiveBase(s.workingDirectory, ref.depot);
    if (!DataFileExists(base)) continue;
    // The open archive of the current depot is reconciled in place, so the
    // document keeps what is on disk.
    const bool open = !s.currentDepot.empty() && s.auxiliaryStore.BasePath() == base;
    RecordStore local;
    RecordStore& archive = open ? s.auxiliaryStore : local;
    Status st;
    if (!open && !OpenExisting(local, base, fileset::kArchiveRowWidths, &st)) {
      doc_->Report(st);
      continue;
    }
    if (ReconcileArchive(archive).removed > 0) doc_->Report(archive.Save());
  }
}

// ---- portrait ----------------------------------------------------------------

bool PriceAcquisition::FetchPortraits() {
  if (!doc_) return false;
  const std::string wd = state().workingDirectory.string();
  std::unique_ptr<StatusWindow> status = dialogs_.OpenStatusWindow(kStatusTitle);
  status->SetSubject("Portraitdaten");
  status->SetCurrent("Der Vorgang kann einige Minuten dauern");
  status->ShowTextOnly();
  std::vector<std::string> unused;
  const marabu::DownloadResult r = doc_->web().FondportraitHolen(kPortraitRequestNumber, unused, wd);
  status.reset();
  if (r.ok()) return true;
  doc_->prompter().Show(Message{"Fehler", "Die Fondportraits konnten nicht geladen werden.\n\n" + r.message,
                                MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  return false;
}

void PriceAcquisition::RefreshPortraits() {
  if (!doc_ || startFetchFailed_) return;
  if (FetchPortraits()) return;
  // Tried once at this start is enough; the next start tries again instead
  // of waiting for the next month.
  startFetchFailed_ = true;
  doc_->settings().Write(kSettingsSection, "Portrait", kSettingMissing);
}

void PriceAcquisition::BuildPortraitIndex() {
  if (!doc_) return;
  // The portrait checks of a start come before its index: the next start
  // may try again.
  startFetchFailed_ = false;
  DepotState& s = state();
  std::unique_ptr<StatusWindow> status = dialogs_.OpenStatusWindow(kStatusTitle);
  status->SetSubject("Portraitdaten");
  portraitIndex_.clear();

  // The funds of every depot, from its depot store and then its fund
  // archive.  The current depot's stores are the open ones.
  std::vector<PortraitFund> funds;
  for (const DepotRef& ref : AllDepots()) {
    status->SetCurrent(ref.depot);
    const fs::path depotBase = fileset::DepotBase(s.workingDirectory, ref.depot);
    const fs::path archiveBase = fileset::ArchiveBase(s.workingDirectory, ref.depot);
    if (!s.currentDepot.empty() && s.depotStore.BasePath() == depotBase) {
      AddFunds(s.depotStore, funds);
      AddFunds(s.auxiliaryStore, funds);
      continue;
    }
    for (const auto& [base, widths] :
         {std::pair{depotBase, fileset::kDepotRowWidths}, std::pair{archiveBase, fileset::kArchiveRowWidths}}) {
      if (!DataFileExists(base)) continue;
      RecordStore store;
      Status st;
      if (OpenExisting(store, base, widths, &st))
        AddFunds(store, funds);
      else
        doc_->Report(st);
    }
  }
  status->SetRemaining(static_cast<int>(funds.size()));
  if (!funds.empty()) status->SetCurrent(funds.front().name);
  Status read;
  portraitIndex_ = IndexPortraits(funds, s.workingDirectory / fileset::kPortraitFile, &read);
  // A missing portrait file just gives an empty index.
  if (read.code() != Status::Code::NotFound) doc_->Report(read);
  status->SetRemaining(0);
}

void PriceAcquisition::ShowPortrait() {
  if (!doc_) return;
  if (portraitIndex_.empty()) {
    doc_->prompter().Notice("Hinweis", "Sie haben noch keine Fonds zur Verfügung!", MessageIcon::Stop, BeepKind::Stop);
    return;
  }
  dialogs_.ShowPortrait(portraitIndex_, state().workingDirectory / fileset::kPortraitFile);
}

// ---- hooks of other subsystems --------------------------------------------------

void PriceAcquisition::RecomputeStatistics(Scope scope) {
  if (others_) others_->RecomputeStatistics(scope);
}

void PriceAcquisition::ComputeRiskFigures(Scope scope) {
  if (others_) others_->ComputeRiskFigures(scope);
}

bool PriceAcquisition::RestoreBackup() { return others_ && others_->RestoreBackup(); }

}  // namespace tellurio
