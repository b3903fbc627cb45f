#pragma once
// The depot session as the subsystems below the application see it: the
// depot state, the one way to open a depot's stores, the events to raise,
// and the few session operations a subsystem may ask for.  The document of
// the application implements it; price acquisition works on it, so it needs
// nothing of the application itself.
//
// Also the session's extension points: the steps of the start that other
// subsystems fill in (SubsystemHooks).

#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "portfolio/DepotState.h"
#include "portfolio/DepotStores.h"

namespace tellurio {

// The section of the program's settings, and the value that means missing.
inline constexpr const char* kSettingsSection = "Fonds";
inline constexpr const char* kSettingMissing = "Fehler";

class DepotSession {
 public:
  virtual ~DepotSession() = default;

  // The depot state.  A subsystem reads it and may change the selected
  // fund; the current depot and its two stores change only through
  // MakeCurrent and ReloadCurrentDepot.
  virtual DepotState& State() = 0;
  // Opens depots' stores with the session's one behaviour (and its memory
  // of what was reported already).
  virtual DepotStores& Stores() = 0;
  // Statistics, ticker and panes.
  virtual DocumentEvents& Events() = 0;

  // Makes depot the current depot and loads it (its stores, its provider
  // and web provider, the currency factors of its funds).  An empty name
  // leaves no depot current.
  virtual void MakeCurrent(const std::string& depot) = 0;
  // Reads the current depot's stores again, after its files were written
  // by other means than the open stores.
  virtual void ReloadCurrentDepot() = 0;

  virtual Prompter& prompter() = 0;
  virtual Settings& settings() = 0;
  virtual const Calendar& calendar() = 0;
};

// The steps of the depot session's start that other subsystems fill in.
// Each default does nothing, so the session runs without them.  The session
// calls the hooks it was given in their order.
class SubsystemHooks {
 public:
  virtual ~SubsystemHooks() = default;
  // The monthly portrait refresh at start.
  virtual void RefreshPortraits() {}
  // The fund archive reconciliation and the portrait index at the end of the start.
  virtual void ReconcileArchives() {}
  virtual void BuildPortraitIndex() {}
  // The restore offered at the first start; true when it made a depot
  // current.
  virtual bool RestoreBackup() { return false; }
};

}  // namespace tellurio
