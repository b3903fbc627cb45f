#pragma once
// Price acquisition: the internet download run, the merge of price files
// into the depots of a provider, the text-file import, the fund archive
// reconciliation, and the fund portrait (fetch, index, dialog, the monthly
// refresh at start).
//
// It is also the document's SubsystemHooks for the start-up steps that
// belong here; the hooks it does not implement itself are passed on to
// `others` (when given).  Everything runs on the user-interface thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/AcquisitionDialogs.h"
#include "acquisition/Portrait.h"
#include "app/core/CTellurioDoc.h"

namespace tellurio {

struct PriceFile;

class PriceAcquisition : public SubsystemHooks {
 public:
  // The dialogs (and others) must outlive this object.  The document is set
  // with SetDocument before it starts up: it is made with these hooks.
  explicit PriceAcquisition(AcquisitionDialogs& dialogs, SubsystemHooks* others = nullptr);
  void SetDocument(CTellurioDoc* doc) { doc_ = doc; }

  // "Kurse aus dem &Internet laden": today's price file of every provider
  // that has depots, merged into all depots of that provider.
  void DownloadPrices();
  // "Kurse aus &Text-File importieren".
  void ImportPriceFiles();
  // "Fondportrait".
  void ShowPortrait();

  // Merges the lines of one price file into every depot of the current
  // depot's provider.  allFunds: every fund of the file (held funds into
  // the depot store, the others into the fund archive); otherwise only the
  // price of `fund`, and the fund archive is not touched.  Each depot is
  // saved when its merge is done.  Leaves the last depot's stores open and
  // it current.  False when a store could not be saved (reported; the
  // depots after it are not merged).
  bool MergePriceRecords(const std::vector<std::string>& lines, bool allFunds, const std::string& fund);

  // Downloads "portrait.txt" with the status window.  False when it failed
  // (reported).
  bool FetchPortraits();

  // SubsystemHooks
  void RefreshPortraits() override;
  void ReconcileArchives() override;
  void BuildPortraitIndex() override;
  void RecomputeStatistics(Scope scope) override;
  void ComputeRiskFigures(Scope scope) override;
  bool RestoreBackup() override;

  const PortraitIndex& portraitIndex() const { return portraitIndex_; }

 private:
  struct DepotRef {
    std::string provider;
    std::string depot;
  };
  // Every depot of every provider, in provider and list order.
  std::vector<DepotRef> AllDepots() const;
  bool MergeIntoDepot(const std::string& depot, const PriceFile& file, bool allFunds, const std::string& fund);
  void ReportDownloadFailure(const std::string& provider, const std::string& webProvider, const std::string& reason);
  DepotState& state() { return doc_->State(); }

  AcquisitionDialogs& dialogs_;
  SubsystemHooks* others_;
  CTellurioDoc* doc_ = nullptr;
  PortraitIndex portraitIndex_;
  bool startFetchFailed_ = false;  // a portrait refresh at start failed already
};

}  // namespace tellurio
