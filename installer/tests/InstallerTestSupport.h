#pragma once
// Doubles for the installer's dialogs in tests: a view that keeps what was
// shown, and dialogs answered from the test.

#include <functional>
#include <string>
#include <vector>

#include "installer/Installer.h"

namespace tellurio::testing {

class RecordingInstallerView final : public InstallerView {
 public:
  std::string source, target, freeSpace, neededSpace, status;
  std::vector<std::string> actions;
  int totalValue = 0, totalMaximum = 0;
  // The "Datei" bar after each step: (value, maximum).
  std::vector<std::pair<int, int>> fileSteps;

  void ShowSource(const std::string& t) override { source = t; }
  void ShowTarget(const std::string& t) override { target = t; }
  void ShowFreeSpace(const std::string& t) override { freeSpace = t; }
  void ShowNeededSpace(const std::string& t) override { neededSpace = t; }
  void ShowStatus(const std::string& t) override { status = t; }
  void ShowAction(const std::string& t) override { actions.push_back(t); }
  void SetFileProgress(int v, int m) override { fileSteps.emplace_back(v, m); }
  void SetTotalProgress(int v, int m) override {
    totalValue = v;
    totalMaximum = m;
  }
};

class ScriptedInstallerDialogs final : public InstallerDialogs {
 public:
  bool acceptLicence = true;
  std::vector<std::string> licenceShown;
  std::vector<std::string> notesShown;
  int licenceAsked = 0;
  // Drives the path choice; returns whether the dialog was closed with OK.
  std::function<bool(PathChoice&)> choose = [](PathChoice&) { return false; };

  bool AcceptLicence(const std::vector<std::string>& lines) override {
    ++licenceAsked;
    licenceShown = lines;
    return acceptLicence;
  }
  void ShowNotes(const std::vector<std::string>& lines) override { notesShown = lines; }
  bool ChooseTarget(PathChoice& rules) override { return choose(rules); }
};

}  // namespace tellurio::testing
