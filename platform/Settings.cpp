#include "platform/Settings.h"

namespace tellurio {

std::string MemorySettings::Read(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto it = values_.find({std::string(section), std::string(key)});
  return it == values_.end() ? std::string(fallback) : it->second;
}

void MemorySettings::Write(std::string_view section, std::string_view key, std::string_view value) {
  values_[{std::string(section), std::string(key)}] = std::string(value);
  ++writes_;
}

bool MemorySettings::Has(std::string_view section, std::string_view key) const {
  return values_.count({std::string(section), std::string(key)}) != 0;
}

}  // namespace tellurio
