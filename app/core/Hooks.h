#pragma once
// The places where the shell calls into subsystems that are filled in
// separately: statistics, the fund portrait and the fund archive, backup.
// Each default does nothing, so the shell runs without them.

#include <string>

namespace tellurio {

enum class Scope;

class SubsystemHooks {
 public:
  virtual ~SubsystemHooks() = default;
  virtual void RecomputeStatistics(Scope) {}
  virtual void ComputeRiskFigures(Scope) {}
  // The monthly portrait refresh at start.
  virtual void RefreshPortraits() {}
  // The fund archive reconciliation and the portrait index at the end of start-up.
  virtual void ReconcileArchives() {}
  virtual void BuildPortraitIndex() {}
  // The restore offered at first start; true when it made a depot current.
  virtual bool RestoreBackup() { return false; }
};

// The restore of a backup that the first start offers when no depot exists.
class RestoreOffer {
 public:
  virtual ~RestoreOffer() = default;
  // Runs the restore; true when it made a depot current.
  virtual bool RestoreBackup() = 0;
};

// What the document asks of the main window and its panes.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual void UpdateAllViews() = 0;
  // Status bar panes 1 to 3.
  virtual void SetStatusText(int pane, const std::string& text) = 0;
  virtual void ResetChartView(bool chartOn) = 0;
};

}  // namespace tellurio
