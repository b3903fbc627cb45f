#pragma once
// Settings kept by QSettings in the per-user profile under "Vaskor"/"Tellurio".

#include <memory>

#include "platform/Settings.h"

class QSettings;

namespace tellurio {

class QtSettings final : public Settings {
 public:
  // The user's profile: QSettings("Vaskor", "Tellurio").
  QtSettings();
  // A settings file at the given path (INI format), for tests and tools.
  explicit QtSettings(const std::string& iniPath);
  ~QtSettings() override;

  std::string Read(std::string_view section, std::string_view key, std::string_view fallback) const override;
  void Write(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace tellurio
