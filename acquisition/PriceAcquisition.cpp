#include "acquisition/PriceAcquisition.h"

#include <algorithm>
#include <system_error>

#include "acquisition/ArchiveReconcile.h"
#include "acquisition/PriceFile.h"
#include "acquisition/PriceMerge.h"
#include "platform/Clock.h"
#include "portfolio/FundCommands.h"
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

void AddFunds(const RecordStore& store, std::vector<PortraitFund>& out) {
  for (const FundMaster& m : AllMasters(store)) out.push_back(PortraitFund{m.name, m.wkn});
}

}  // namespace

PriceAcquisition::PriceAcquisition(AcquisitionDialogs& dialogs, marabu::WebLibrary& web)
    : dialogs_(dialogs), web_(web) {}

std::vector<PriceAcquisition::DepotRef> PriceAcquisition::AllDepots() {
  std::vector<DepotRef> out;
  DepotState& s = state();
  for (const std::string& provider : s.providerNames)
    for (std::string& d : session_->Stores().DepotsOfProvider(s.workingDirectory, provider))
      out.push_back(DepotRef{provider, std::move(d)});
  return out;
}

void PriceAcquisition::Skip(const std::string& name) {
  const std::string shown = "\"" + Displayable(name) + "\"";
  if (std::find(skipped_.begin(), skipped_.end(), shown) == skipped_.end()) skipped_.push_back(shown);
}

std::string PriceAcquisition::SkippedFundsText() {
  if (skipped_.empty()) return {};
  std::string names;
  for (const std::string& n : skipped_) names += "\n" + n;
  skipped_.clear();
  return "Die Kurse dieser Fonds wurden nicht übernommen, weil die Datendateien ihren Namen, ihre "
         "Stammdaten oder ihren Kurs nicht unverändert speichern können:\n" +
         names + "\n\nAlle anderen Kurse wurden übernommen.";
}

void PriceAcquisition::ReportSkippedFunds() {
  const std::string text = SkippedFundsText();
  if (!text.empty()) prompter().Notice("Hinweis", text, MessageIcon::Exclamation, BeepKind::Exclamation);
}

// ---- download run ------------------------------------------------------------

void PriceAcquisition::ReportDownloadFailure(const std::string& provider, const std::string& webProvider,
                                             const std::string& reason, const std::string& lastDay) {
  const std::string kept = lastDay.empty()
                               ? "Die Depots dieses Anbieters und der folgenden Anbieter sind unverändert."
                               : "Die Kurse dieses Anbieters bis zum " + lastDay +
                                     " wurden übernommen; die Depots der folgenden Anbieter sind unverändert.";
  prompter().Show(Message{"Fehler",
                          "Die Kurse des Fondanbieters " + provider + " (" + webProvider +
                              ") konnten nicht geladen werden.\n\n" + reason +
                              "\n\nDer Kursdownload wurde abgebrochen. " + kept,
                          MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
}

namespace {

// The newest price date of a store's funds that is not after today, as a
// day number; 0 without one.
long long NewestPriceIndex(const RecordStore& store, PackedDate today) {
  const long long limit = DaysFromCivil({PackedYear(today), PackedMonth(today), PackedDay(today)});
  long long newest = 0;
  for (int r = 0; r < store.RecordCount(); ++r) {
    const RecordView rows = store.Values(section::kPrices, r);
    for (size_t i = 0; i + 1 < rows.size(); i += 2) {
      const std::optional<PackedDate> d = ParseValidDate(rows[i]);
      if (!d) continue;
      const long long index = DaysFromCivil({PackedYear(*d), PackedMonth(*d), PackedDay(*d)});
      if (index <= limit && index > newest) newest = index;
    }
  }
  return newest;
}

PackedDate FromIndex(long long index) {
  const CivilDate c = CivilFromDays(index);
  return MakePackedDate(c.year, c.month, c.day);
}

std::string DateList(const std::vector<PackedDate>& days) {
  std::string text;
  for (PackedDate d : days) text += (text.empty() ? "" : ", ") + Calendar::FormatDate(d);
  return text;
}

}  // namespace

std::optional<PackedDate> PriceAcquisition::NewestPriceOfProvider(PackedDate today) {
  DepotState& s = state();
  std::optional<long long> furthestBehind;
  for (const std::string& depot : s.providerDepots) {
    const bool current = !s.currentDepot.empty() && depot == s.currentDepot;
    long long newest = 0;
    if (current) {
      newest = std::max(NewestPriceIndex(s.depotStore, today), NewestPriceIndex(s.auxiliaryStore, today));
    } else {
      for (StoreKind kind : {StoreKind::Depot, StoreKind::Archive}) {
        RecordStore store;
        const StoreOpened opened = session_->Stores().Open(s.workingDirectory, depot, kind, store, false);
        if (opened == StoreOpened::Unreadable) continue;
        newest = std::max(newest, NewestPriceIndex(store, today));
      }
    }
    // A depot without any price (new, or never merged into) waits for no
    // day: the files of the days it lacks are the others' days.
    if (newest == 0) continue;
    if (!furthestBehind || newest < *furthestBehind) furthestBehind = newest;
  }
  if (!furthestBehind) return std::nullopt;
  return FromIndex(*furthestBehind);
}

marabu::DownloadResult PriceAcquisition::PriceFileOfDay(PackedDate day, std::vector<std::string>& lines, bool& stored) {
  DepotState& s = state();
  const std::string text = Calendar::FormatDate(day);
  const std::string monthName = kMonthNames[PackedMonth(day)];
  stored = false;
  lines.clear();
  const fs::path dir = fileset::PriceMonthDir(s.workingDirectory, s.currentProvider, PackedYear(day), monthName);
  const fs::path file = dir / (text.substr(0, 2) + text.substr(3, 2) + text.substr(6, 4) + ".txt");
  std::error_code ec;
  if (fs::is_regular_file(file, ec)) {
    // A stored file that cannot be read or holds no prices (an error page
    // an older version kept) is fetched again; the fetch replaces it.
    if (ReadTextLines(file, lines).ok() && !ReadPriceRecords(lines).records.empty()) {
      stored = true;
      return {};
    }
    lines.clear();
  }
  ReportFailure(prompter(),
                fileset::EnsurePriceDirectories(s.workingDirectory, {s.currentProvider}, PackedYear(day), monthName));
  const std::string wd = s.workingDirectory.string();
  marabu::DownloadResult r = web_.FileVomTagAusInternetLaden(lines, s.webProvider, s.currentProvider, wd, text);
  web_.ArbeitsverzeichnisEinstellen(wd);
  return r;
}

std::vector<std::string> PriceAcquisition::StaleFunds(PackedDate reference) {
  DepotState& s = state();
  std::vector<std::string> out;
  const long long ref = DaysFromCivil({PackedYear(reference), PackedMonth(reference), PackedDay(reference)});
  for (const std::string& depot : s.providerDepots) {
    const bool current = !s.currentDepot.empty() && depot == s.currentDepot;
    RecordStore own;
    if (!current) {
      // A missing store holds no fund; an unreadable one was reported.
      const StoreOpened opened = session_->Stores().Open(s.workingDirectory, depot, StoreKind::Depot, own, false);
      if (opened == StoreOpened::Missing || opened == StoreOpened::Unreadable) continue;
    }
    const RecordStore& store = current ? s.depotStore : own;
    for (const FundMaster& m : AllMasters(store)) {
      const DatedPrice latest = LatestPrice(PriceRows(store, m.name));
      const std::optional<PackedDate> d = ParseValidDate(latest.date);
      const long long index = d ? DaysFromCivil({PackedYear(*d), PackedMonth(*d), PackedDay(*d)}) : 0;
      if (index >= ref) continue;
      out.push_back("Depot " + Displayable(depot) + ": " + Displayable(m.name) + " (WKN " + Displayable(m.wkn) +
                    (d ? ", letzter Kurs vom " + latest.date + ")" : ", noch kein Kurs)"));
    }
  }
  return out;
}

bool PriceAcquisition::DownloadPrices() {
  if (!session_) return false;
  DepotSession& session = *session_;
  DocumentEvents& events = session.Events();
  DepotState& s = state();
  const PackedDate today = session.calendar().Today();

  std::unique_ptr<StatusWindow> status = dialogs_.OpenStatusWindow("Kursdownload");
  status->ShowDepotLines();

  // One run per provider that has depots; the provider is reached through
  // its first depot.  A provider whose list cannot be read is reported and
  // left out.
  std::vector<DepotRef> work;
  for (const std::string& provider : s.providerNames) {
    std::vector<std::string> depots = session.Stores().DepotsOfProvider(s.workingDirectory, provider);
    if (!depots.empty()) work.push_back(DepotRef{provider, depots.front()});
  }

  const std::string depotBefore = s.currentDepot;
  const std::string fundBefore = s.selectedFund;
  bool portraitsNeeded = false;
  bool stopped = false;
  std::vector<std::string> unassigned;
  std::vector<std::string> missingDays, limitedDays, stale;
  // Providers asked for prices, and the price days there were to fetch.
  int askedProviders = 0;
  size_t plannedDays = 0;
  struct Failure {
    std::string provider, webProvider, reason, lastDay;
  };
  std::optional<Failure> failure;
  const int n = static_cast<int>(work.size());
  for (int i = 0; i < n && !stopped; ++i) {
    session.MakeCurrent(work[static_cast<size_t>(i)].depot);
    events.RecomputeStatistics(Scope::DepotFunds);
    events.RecomputeStatistics(Scope::AllFunds);
    status->SetRemaining(n - i);
    status->SetCurrent(s.currentDepot);
    // Without an assigned web provider the request could only ask the
    // server's root page, which holds no prices.
    if (s.webProvider.empty()) {
      unassigned.push_back(s.currentProvider);
      continue;
    }
    if (s.auxiliaryStore.RecordCount() == 0) portraitsNeeded = true;
    const std::string who = s.currentProvider + " (" + s.webProvider + ")";

    const BackfillPlan plan = PlanBackfill(NewestPriceOfProvider(today), today);
    ++askedProviders;
    plannedDays += plan.days.size();
    if (plan.leftOut > 0)
      limitedDays.push_back(who + ": vom " + Calendar::FormatDate(plan.firstLeftOut) + " bis " +
                            Calendar::FormatDate(plan.lastLeftOut));
    std::vector<PackedDate> lacking;
    std::string lackingServer;
    std::optional<PackedDate> newestMerged;
    std::string lastMerged;
    for (PackedDate day : plan.days) {
      status->SetDay(Calendar::FormatDate(day));
      std::vector<std::string> lines;
      bool stored = false;
      const marabu::DownloadResult r = PriceFileOfDay(day, lines, stored);
      if (!r.ok()) {
        if (r.kind == marabu::ErrorKind::HttpStatus && r.httpStatus == 404) {
          lacking.push_back(day);
          lackingServer = r.server;
          continue;
        }
        failure = Failure{s.currentProvider, s.webProvider, r.message, lastMerged};
        stopped = true;
        break;
      }
      const PriceFile file = ReadPriceRecords(lines);
      if (!MergePriceFile(file, true, std::string())) {
        stopped = true;
        break;
      }
      if (const std::optional<PackedDate> d = ParseValidDate(file.date)) {
        if (!newestMerged ||
            DaysFromCivil({PackedYear(*d), PackedMonth(*d), PackedDay(*d)}) >
                DaysFromCivil({PackedYear(*newestMerged), PackedMonth(*newestMerged), PackedDay(*newestMerged)}))
          newestMerged = d;
        lastMerged = Calendar::FormatDate(day);
      }
    }
    if (!lacking.empty()) {
      std::string line = who + (lackingServer.empty() ? "" : " bei " + lackingServer) + ": " + DateList(lacking);
      // Not one file: rather a provider the server does not know than days
      // without prices.
      if (lacking.size() == plan.days.size())
        line +=
            "\n(keine einzige Kursdatei dieses Anbieters; ist ihm der richtige Anbieter für den Kursdownload "
            "zugeordnet?)";
      missingDays.push_back(line);
    }
    if (stopped) break;
    // The reference is the newest day the run brought prices for; a run
    // with nothing to fetch compares with the newest price held.
    const std::optional<PackedDate> reference = newestMerged ? newestMerged : NewestPriceOfProvider(today);
    if (reference)
      for (std::string& line : StaleFunds(*reference)) stale.push_back(std::move(line));
  }
  status.reset();
  if (failure) ReportDownloadFailure(failure->provider, failure->webProvider, failure->reason, failure->lastDay);

  if (!stopped) ReconcileArchives();
  session.MakeCurrent(depotBefore);
  events.RecomputeStatistics(Scope::DepotFunds);
  events.RecomputeStatistics(Scope::AllFunds);
  s.selectedFund = fundBefore;
  for (const std::string& provider : unassigned)
    prompter().Notice("Hinweis",
                      "Dem Fondanbieter " + provider +
                          " ist kein Anbieter für den Kursdownload zugeordnet.\n"
                          "Die Kurse seiner Depots wurden nicht geladen.",
                      MessageIcon::Exclamation, BeepKind::Exclamation);

  // One note at the end for everything the user should know about the run.
  std::vector<std::string> parts;
  // A run that had nothing to fetch says so, or the user cannot tell it from
  // a run that did not happen.
  if (!stopped && askedProviders > 0 && plannedDays == 0)
    parts.push_back("Die Kurse sind auf dem neuesten Stand: es gab keine neue Kursdatei zu laden.");
  if (!missingDays.empty()) {
    std::string text = "Für diese Tage hat der Server keine Kursdatei; sie wurden übersprungen:";
    for (const std::string& line : missingDays) text += "\n" + line;
    parts.push_back(text);
  }
  if (!limitedDays.empty()) {
    std::string text = "Der Kursdownload holt höchstens " + std::to_string(kBackfillDayLimit) +
                       " Kurstage nach. Diese älteren Kurstage fehlen weiter:";
    for (const std::string& line : limitedDays) text += "\n" + line;
    parts.push_back(text);
  }
  if (!stale.empty()) {
    std::string text =
        "Diese Fonds haben keinen aktuellen Kurs (wird der Fonds nicht mehr veröffentlicht, oder hat sich "
        "seine WKN geändert?):";
    for (const std::string& line : stale) text += "\n" + line;
    parts.push_back(text);
  }
  if (std::string skippedText = SkippedFundsText(); !skippedText.empty()) parts.push_back(std::move(skippedText));
  if (!parts.empty()) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "\n\n") + part;
    prompter().Notice("Hinweis", text, MessageIcon::Exclamation, BeepKind::Exclamation);
  }
  if (!stopped && portraitsNeeded && FetchPortraits()) BuildPortraitIndex();
  events.RebuildTicker();
  events.UpdateAllViews();
  return !stopped;
}

// ---- merge -------------------------------------------------------------------

bool PriceAcquisition::MergePriceRecords(const std::vector<std::string>& lines, bool allFunds,
                                         const std::string& fund) {
  return MergePriceFile(ReadPriceRecords(lines), allFunds, fund);
}

bool PriceAcquisition::MergePriceFile(const PriceFile& file, bool allFunds, const std::string& fund) {
  if (!session_) return false;
  const std::vector<std::string> depots = state().providerDepots;
  bool currentFailed = false;
  bool merged = true;
  for (const std::string& depot : depots) {
    if (!MergeIntoDepot(depot, file, allFunds, fund, currentFailed)) {
      merged = false;
      break;
    }
  }
  if (currentFailed) session_->ReloadCurrentDepot();
  return merged;
}

bool PriceAcquisition::MergeIntoDepot(const std::string& depot, const PriceFile& file, bool allFunds,
                                      const std::string& fund, bool& currentFailed) {
  DepotState& s = state();
  web_.ArbeitsverzeichnisEinstellen(s.workingDirectory.string());
  // The current depot is merged into its open stores (the session's view of
  // its files); every other depot into stores of its own.
  const bool current = !s.currentDepot.empty() && depot == s.currentDepot;
  RecordStore ownDepot;
  RecordStore ownArchive;
  RecordStore& depotStore = current ? s.depotStore : ownDepot;
  RecordStore& archive = current ? s.auxiliaryStore : ownArchive;
  // A store that exists but cannot be read opens empty and read-only;
  // merging into it would put a held fund's price into its archive.
  const bool readable = current ? !depotStore.ReadOnly() && !archive.ReadOnly()
                                : session_->Stores().OpenBoth(s.workingDirectory, depot, depotStore, archive);
  if (!readable) {
    const RecordStore& unreadable = depotStore.ReadOnly() ? depotStore : archive;
    prompter().Show(Message{"Fehler",
                            "Die Kurse wurden nicht in das Depot " + Displayable(depot) + " übernommen: Die Datei\n\n" +
                                unreadable.DataPath().string() + "\n\nkonnte nicht gelesen werden (" +
                                unreadable.ReadFailure().message() + ").",
                            MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return false;
  }

  const MergePlan plan = PlanMerge(depotStore, file);
  std::vector<std::string> skipped;
  const bool depotChanged = MergeHeldPrices(depotStore, plan, allFunds, fund, skipped);
  bool archiveChanged = false;
  if (allFunds && !plan.others.empty()) {
    bool done = false;
    const ArchiveWork work = [&](const ArchiveStep& step) {
      if (done) return;
      done = true;
      archiveChanged = MergeArchivePrices(archive, plan, step, skipped);
    };
    dialogs_.RunArchiveProgress(depot, static_cast<int>(plan.others.size()), work);
    // The archive is part of the merge whatever the dialog did.
    if (!done) work([](int, const std::string&) {});
  }
  for (const std::string& name : skipped) Skip(name);
  // The depot is merged as a whole or not at all: both stores are written
  // together, and after a failure both keep their old files.
  std::vector<RecordStore*> changed;
  if (depotChanged) changed.push_back(&depotStore);
  if (archiveChanged) changed.push_back(&archive);
  if (changed.empty()) return true;
  const bool saved = ReportFailure(prompter(), RecordStore::SaveTogether(changed));
  // The open stores of the current depot hold the merge; when it could not
  // be saved they are read again, so they show the files as they are.
  if (current && !saved) currentFailed = true;
  return saved;
}

// ---- import ------------------------------------------------------------------

void PriceAcquisition::ImportPriceFiles() {
  if (!session_) return;
  DepotSession& session = *session_;
  DepotState& s = state();
  std::error_code ec;
  const fs::path before = fs::current_path(ec);
  ImportPanelRules rules(prompter(), FundNames(s.depotStore));
  std::optional<ImportChoice> choice = dialogs_.ChooseImportFiles(fileset::PriceRoot(s.workingDirectory), rules);
  // The dialog may have changed the current directory; a directory that is
  // gone meanwhile cannot be made current again, and nothing relies on it.
  if (!before.empty()) fs::current_path(before, ec);
  if (!choice) return;

  for (const fs::path& path : choice->files) {
    std::vector<std::string> lines;
    const Status read = ReadTextLines(path, lines);
    if (!read.ok()) {
      prompter().Show(Message{"Fehler",
                              "Die Datei\n\n" + path.string() + "\n\nkonnte nicht gelesen werden: " + read.message() +
                                  "\nSie wurde nicht importiert.",
                              MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
      continue;
    }
    if (ReadPriceRecords(lines).records.empty()) {
      prompter().Notice("Hinweis",
                        "Die Datei\n\n" + path.string() +
                            "\n\nenthält keine Kurse im Format der Kursdateien und wurde nicht importiert.",
                        MessageIcon::Exclamation, BeepKind::Exclamation);
      continue;
    }
    if (!MergePriceRecords(lines, choice->allFunds, choice->fund)) break;
  }
  // The current depot never changed; its stores are read again.
  session.ReloadCurrentDepot();
  DocumentEvents& events = session.Events();
  events.RecomputeStatistics(Scope::AllFunds);
  events.RecomputeStatistics(Scope::DepotFunds);
  ReportSkippedFunds();
  events.RebuildTicker();
  events.UpdateAllViews();
}

// ---- fund archive ------------------------------------------------------------

void PriceAcquisition::ReconcileArchives() {
  if (!session_) return;
  DepotState& s = state();
  for (const DepotRef& ref : AllDepots()) {
    // The open archive of the current depot is reconciled in place, so the
    // session keeps what is on disk.
    const bool open = !s.currentDepot.empty() && ref.depot == s.currentDepot && !s.auxiliaryStore.BasePath().empty();
    RecordStore local;
    if (!open) {
      const StoreOpened opened =
          session_->Stores().Open(s.workingDirectory, ref.depot, StoreKind::Archive, local, false);
      // A missing archive has nothing to reconcile; one that cannot be read
      // was reported by the opening.
      if (opened == StoreOpened::Missing || opened == StoreOpened::Unreadable) continue;
    }
    RecordStore& archive = open ? s.auxiliaryStore : local;
    if (ReconcileArchive(archive).removed == 0) continue;
    ReportFailure(prompter(), archive.Save());
    // The statistics of all funds have a row per fund of the open archive:
    // with funds gone and series joined they are computed again, or the
    // rows would name the wrong funds.
    if (open) session_->Events().RecomputeStatistics(Scope::AllFunds);
  }
}

// ---- portrait ----------------------------------------------------------------

bool PriceAcquisition::FetchPortraits() {
  if (!session_) return false;
  const std::string wd = state().workingDirectory.string();
  std::unique_ptr<StatusWindow> status = dialogs_.OpenStatusWindow(kStatusTitle);
  status->SetSubject("Portraitdaten");
  status->SetCurrent("Der Vorgang kann einige Minuten dauern");
  status->ShowTextOnly();
  std::vector<std::string> unused;
  const marabu::DownloadResult r = web_.FondportraitHolen(kPortraitRequestNumber, unused, wd);
  status.reset();
  if (r.ok()) return true;
  prompter().Show(Message{"Fehler", "Die Fondportraits konnten nicht geladen werden.\n\n" + r.message,
                          MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  return false;
}

void PriceAcquisition::RefreshPortraits() {
  if (!session_ || startFetchFailed_) return;
  if (FetchPortraits()) return;
  // Tried once at this start is enough; the next start tries again instead
  // of waiting for the next month.
  startFetchFailed_ = true;
  session_->settings().Write(kSettingsSection, "Portrait", kSettingMissing);
}

void PriceAcquisition::BuildPortraitIndex() {
  if (!session_) return;
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
    if (!s.currentDepot.empty() && ref.depot == s.currentDepot) {
      AddFunds(s.depotStore, funds);
      AddFunds(s.auxiliaryStore, funds);
      continue;
    }
    for (StoreKind kind : {StoreKind::Depot, StoreKind::Archive}) {
      RecordStore store;
      // Missing stores add nothing; unreadable ones are reported by the opening.
      if (session_->Stores().Open(s.workingDirectory, ref.depot, kind, store, false) != StoreOpened::Missing)
        AddFunds(store, funds);
    }
  }
  status->SetRemaining(static_cast<int>(funds.size()));
  if (!funds.empty()) status->SetCurrent(funds.front().name);
  Status read;
  portraitIndex_ = IndexPortraits(funds, s.workingDirectory / fileset::kPortraitFile, &read);
  // A missing portrait file just gives an empty index.
  if (read.code() != Status::Code::NotFound) ReportFailure(prompter(), read);
  status->SetRemaining(0);
}

void PriceAcquisition::ShowPortrait() {
  if (!session_) return;
  if (portraitIndex_.empty()) {
    prompter().Notice("Hinweis", "Sie haben noch keine Fonds zur Verfügung!", MessageIcon::Stop, BeepKind::Stop);
    return;
  }
  dialogs_.ShowPortrait(portraitIndex_, state().workingDirectory / fileset::kPortraitFile);
}

}  // namespace tellurio
