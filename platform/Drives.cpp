#include "platform/Drives.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string_view>

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// Mount tables write blanks, tabs, newlines and backslashes in names as a
// backslash and three octal digits.
std::string Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.size() == 3 &&
          std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out.push_back(static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0')));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

bool Contains(std::string_view list, std::string_view item) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(',', start), list.size());
    if (list.substr(start, end - start) == item) return true;
    start = end + 1;
  }
  return false;
}

bool Under(const std::string& path, std::string_view dir) {
  return path == dir || (path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 && path[dir.size()] == '/');
}

bool OneOf(const std::string& value, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), value) != names.end();
}

// The kernel's removable flag of a block device such as /dev/sdb1: the
// partition has none of its own, its disk (the parent in sysfs) has.
bool RemovableFlag(const fs::path& sysBlock, const std::string& device) {
  if (device.rfind("/dev/", 0) != 0) return false;
  std::error_code ec;
  const fs::path entry = fs::canonical(sysBlock / fs::path(device).filename(), ec);
  if (ec) return false;
  for (const fs::path& candidate : {entry / "removable", entry.parent_path() / "removable"}) {
    std::ifstream in(candidate);
    char flag = 0;
    if (in >> flag) return flag == '1';
  }
  return false;
}

}  // namespace

std::vector<MountEntry> ParseMountTable(const std::string& text) {
  std::vector<MountEntry> entries;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::array<std::string, 4> f;
    if (!(fields >> f[0] >> f[1] >> f[2] >> f[3])) continue;
    entries.push_back({Unescape(f[0]), Unescape(f[1]), f[2], f[3]});
  }
  return entries;
}

std::optional<DriveType> ClassifyMount(const MountEntry& e, bool removableDevice) {
  const std::string& type = e.fileSystem;
  const std::string& at = e.mountPoint;
  // Kernel interfaces and container plumbing are not drives.
  if (OneOf(type, {"proc",       "sysfs",    "cgroup",    "cgroup2",         "devpts",      "devtmpfs",
                   "mqueue",     "debugfs",  "tracefs",   "securityfs",      "pstore",      "bpf",
                   "hugetlbfs",  "configfs", "fusectl",   "binfmt_misc",     "autofs",      "efivarfs",
                   "rpc_pipefs", "nsfs",     "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal", "ramfs-sys"}))
    return std::nullopt;
  if (type == "tmpfs" || type == "ramfs") {
    if (Under(at, "/run") || Under(at, "/dev") || Under(at, "/sys") || Under(at, "/proc")) return std::nullopt;
    return DriveType::RamDisk;
  }
  if (OneOf(type, {"iso9660", "udf"})) return DriveType::CdRom;
  if (OneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "glusterfs", "fuse.sshfs",
                   "fuse.rclone", "fuse.s3fs", "davfs", "fuse.davfs2", "ncpfs"}))
    return DriveType::Remote;
  if (removableDevice || Under(at, "/media") || Under(at, "/run/media")) return DriveType::Removable;
  if (OneOf(type, {"ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk",
                   "jfs", "reiserfs", "zfs", "overlay", "hfsplus", "nilfs2", "bcachefs"}))
    return DriveType::Fixed;
  return DriveType::Unknown;
}

SystemDrives::SystemDrives(fs::path mountTable, fs::path sysBlock)
    : mountTable_(std::move(mountTable)), sysBlock_(std::move(sysBlock)) {}

std::vector<Drive> SystemDrives::List() const {
  std::ifstream in(mountTable_, std::ios::binary);
  if (!in) return {};
  // The kernel's tables are small; a regular file standing in for one in a
  // test is read the same way, and nothing larger than this is a mount table.
  constexpr size_t kLimit = 4 << 20;
  std::string text;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (text.size() > kLimit) text.resize(kLimit);

  // A mount point mounted over again shows the newest (last) mount.
  std::map<std::string, Drive> byRoot;
  for (const MountEntry& e : ParseMountTable(text)) {
    if (e.mountPoint.empty() || e.mountPoint[0] != '/') continue;
    const std::optional<DriveType> type = ClassifyMount(e, RemovableFlag(sysBlock_, e.device));
    if (!type) {
      byRoot.erase(e.mountPoint);
      continue;
    }
    Drive d{e.mountPoint, *type, Contains(e.options, "ro")};
    if (::access(e.mountPoint.c_str(), X_OK) != 0) d.type = DriveType::NoRoot;
    byRoot[e.mountPoint] = d;
  }
  std::vector<Drive> drives;
  drives.reserve(byRoot.size());
  for (auto& [root, drive] : byRoot) drives.push_back(std::move(drive));
  return drives;
}

std::optional<std::uint64_t> SystemDrives::FreeSpace(const fs::path& dir) const {
  struct statvfs st {};
  if (::statvfs(dir.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.f_bavail) * static_cast<std::uint64_t>(st.f_frsize);
}

}  // namespace tellurio
