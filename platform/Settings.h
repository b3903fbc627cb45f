#pragma once
// The per-user settings store: strings by section and key.

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace tellurio {

class Settings {
 public:
  virtual ~Settings() = default;
  // The stored value, or fallback when the key is missing.
  virtual std::string Read(std::string_view section, std::string_view key, std::string_view fallback) const = 0;
  // Stores the value at once.
  virtual void Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// Settings held in memory, for tests.
class MemorySettings final : public Settings {
 public:
  std::string Read(std::string_view section, std::string_view key, std::string_view fallback) const override;
  void Write(std::string_view section, std::string_view key, std::string_view value) override;

  bool Has(std::string_view section, std::string_view key) const;
  int Writes() const { return writes_; }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
  int writes_ = 0;
};

}  // namespace tellurio
