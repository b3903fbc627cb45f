#include "app/core/DocumentBackup.h"

#include "portfolio/Names.h"

namespace tellurio {

bool DocumentBackup::RestoreBackup() { return commands_.Restore(*this) && !doc_.State().currentDepot.empty(); }

std::optional<std::string> DocumentBackup::RefuseName(const std::string& name, bool depot) const {
  return tellurio::RefuseName(name, depot ? NameKind::Depot : NameKind::Provider);
}

}  // namespace tellurio
