#pragma once
// Price acquisition: the internet download run, the merge of price files
// into the depots of a provider, the text-file import, the fund archive
// reconciliation, and the fund portrait (fetch, index, dialog, the monthly
// refresh at start).
//
// It works on the depot session (portfolio/DepotSession.h) and is one of the
// session's SubsystemHooks for the start-up steps that belong here.  Every
// depot's stores are opened with the session's one opening behaviour.
// Everything runs on the user-interface thread.

#include <filesystem>
#include <optional>

#include <string>
#include <vector>
#include "acquisition/PriceDays.h"

#include "acquisition/AcquisitionDialogs.h"
#include "acquisition/Portrait.h"
#include "marabu/MarabuClient.h"
#include "portfolio/DepotSession.h"

namespace tellurio {

struct PriceFile;

class PriceAcquisition : public SubsystemHooks {
 public:
  // The dialogs and the web library must outlive this object.  The session
  // is set with SetSession before it starts up: it is made with these hooks.
  PriceAcquisition(AcquisitionDialogs& dialogs, marabu::WebLibrary& web);
  void SetSession(DepotSession* session) { session_ = session; }

  // "Kurse aus dem &Internet laden": for every provider that has depots, the
  // price files of the price days after the newest price its depots hold
  // (the depot furthest behind counts), up to and including today, oldest
  // first, at most kBackfillDayLimit days (PlanBackfill); each merged into
  // all depots of that provider as soon as it is there, so that a run that
  // is cut off leaves every depot at the end of a day's merge and the next
  // run continues from there.  A file already stored under "Fondpreise" is
  // read from there instead of fetched again.  Days the publisher has no
  // file for (404) are no failure: they are named in the one "Hinweis" at
  // the end, together with the days the limit left out, the funds the
  // stores could not hold, and the held funds whose newest price is older
  // than the newest price day of the run (stale funds).  Any other failure
  // of a download stops the run there (reported; what was merged before
  // stays).  Each provider's first depot is made current while its files
  // are fetched; the depot that was current before is current again at the
  // end.  True when the run went through without a failure.
  bool DownloadPrices();
  // "Kurse aus &Text-File importieren".
  void ImportPriceFiles();
  // "Fondportrait".
  void ShowPortrait();

  // Merges the lines of one price file into every depot of the current
  // depot's provider.  allFunds: every fund of the file (held funds into
  // the depot store, the others into the fund archive); otherwise only the
  // price of `fund`, and the fund archive is not touched.  Each depot is
  // merged on its own stores and its two stores are saved together: after
  // a failure both are as they were.  A fund whose name (or master data)
  // the stores cannot hold is left out and remembered for the end message
  // (SkippedFunds).  The current depot is not changed; it is merged into its
  // open stores (read again from its files when they could not be saved).
  // False when a depot could not be read or saved (reported; the depots
  // after it are not merged).
  bool MergePriceRecords(const std::vector<std::string>& lines, bool allFunds, const std::string& fund);
  // The same for a file read already.
  bool MergePriceFile(const PriceFile& file, bool allFunds, const std::string& fund);

  // The funds left out by the merges since the last end message, each once.
  const std::vector<std::string>& SkippedFunds() const { return skipped_; }

  // Downloads "portrait.txt" with the status window.  False when it failed
  // (reported).
  bool FetchPortraits();

  // SubsystemHooks
  void RefreshPortraits() override;
  void ReconcileArchives() override;
  void BuildPortraitIndex() override;

  const PortraitIndex& portraitIndex() const { return portraitIndex_; }

 private:
  struct DepotRef {
    std::string provider;
    std::string depot;
  };
  // Every depot of every provider, in provider and list order (names
  // checked; unreadable lists are reported and left out).
  std::vector<DepotRef> AllDepots();
  bool MergeIntoDepot(const std::string& depot, const PriceFile& file, bool allFunds, const std::string& fund,
                      bool& currentFailed);
  void ReportDownloadFailure(const std::string& provider, const std::string& webProvider, const std::string& reason,
                             const std::string& lastDay);
  // The newest price date (not after today) of the depot that is furthest
  // behind among the current provider's depots; nothing when none holds a
  // price.  Unreadable depots are left out (their opening reported them).
  std::optional<PackedDate> NewestPriceOfProvider(PackedDate today);
  // The price file of a day for the current provider: read from
  // "Fondpreise" when stored there with prices, otherwise fetched.
  marabu::DownloadResult PriceFileOfDay(PackedDate day, std::vector<std::string>& lines, bool& stored);
  // Held funds of the current provider's depots whose newest price is
  // older than `reference`, as lines for the end note.
  std::vector<std::string> StaleFunds(PackedDate reference);
  // The texts of the end note that belong to the skipped funds, or nothing.
  std::string SkippedFundsText();
  // Shows the funds left out by the merges of a run once, then forgets them.
  void ReportSkippedFunds();
  void Skip(const std::string& name);
  DepotState& state() { return session_->State(); }
  Prompter& prompter() { return session_->prompter(); }

  AcquisitionDialogs& dialogs_;
  marabu::WebLibrary& web_;
  DepotSession* session_ = nullptr;
  PortraitIndex portraitIndex_;
  std::vector<std::string> skipped_;
  bool startFetchFailed_ = false;  // a portrait refresh at start failed already
};

}  // namespace tellurio
