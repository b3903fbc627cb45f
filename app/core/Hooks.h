#pragma once
// The places where the shell calls into the rest of the program: the steps
// of the start that other subsystems fill in (SubsystemHooks, defined with
// the depot session below the application), the restore offered at the
// first start, and the main window.

#include <string>

#include "portfolio/DepotSession.h"

namespace tellurio {

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
