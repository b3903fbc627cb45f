#include "storage/Directory.h"

#include <cerrno>
#include <system_error>

namespace tellurio {

namespace fs = std::filesystem;

Directory::Directory(const fs::path& base, const std::string& name) {
  const fs::path p(name);
  path_ = p.is_absolute() ? p : base / p;
}

bool IsStrictlyInside(const fs::path& path, const fs::path& root) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(path, ec);
  if (ec) return false;
  const fs::path r = fs::weakly_canonical(root, ec);
  if (ec) return false;
  auto pi = p.begin();
  for (auto ri = r.begin(); ri != r.end(); ++ri, ++pi) {
    if (ri->empty()) continue;  // a trailing separator of the root
    if (pi == p.end() || *pi != *ri) return false;
  }
  // At least one more non-empty component than the root.
  for (; pi != p.end(); ++pi)
    if (!pi->empty()) return true;
  return false;
}

Status Directory::CreateDirectory() const {
  std::error_code ec;
  if (fs::is_directory(path_, ec)) return Status::Ok();
  if (!fs::create_directory(path_, ec) && ec) return Status::FromErrno(ec.value(), path_.string());
  return Status::Ok();
}

Status Directory::DeleteTree(const fs::path& mustLieIn) const {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path_, ec))) return Status::Ok();
  if (!IsStrictlyInside(path_, mustLieIn))
    return Status::Error(Status::Code::Refused, path_.string(),
                         "Das Verzeichnis liegt nicht im Datenverzeichnis und wird nicht gelöscht.");
  // remove_all removes symbolic links as links and never follows them.
  fs::remove_all(path_, ec);
  if (ec) return Status::FromErrno(ec.value(), path_.string());
  return Status::Ok();
}

fs::path Directory::MoveTo(const std::string& name, bool absolute) {
  const fs::path target = absolute ? fs::path(name) : path_.parent_path() / name;
  std::error_code ec;
  fs::rename(path_, target, ec);
  if (ec) return {};
  path_ = target;
  return path_;
}

}  // namespace tellurio
