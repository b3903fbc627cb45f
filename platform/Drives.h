#pragma once
// The drives of the machine: the mounted file systems, each with its mount
// point as the drive's root, a drive type and its free space.  Backup and the
// installer choose a drive through this interface; tests pass a fake whose
// roots are temporary directories, so nothing in a test touches real mounts.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tellurio {

enum class DriveType {
  Unknown,    // a file system of no known kind
  NoRoot,     // the mount point cannot be entered
  Removable,  // a stick, card or other removable medium
  Fixed,      // a local disk
  Remote,     // a network file system
  CdRom,      // an optical medium
  RamDisk,    // a memory file system mounted by the user
};

struct Drive {
  std::filesystem::path root;  // the mount point
  DriveType type = DriveType::Unknown;
  bool readOnly = false;  // mounted read-only: nothing can be written there
  bool operator==(const Drive&) const = default;
};

class Drives {
 public:
  virtual ~Drives() = default;
  // The drives sorted by their root path; pseudo file systems of the kernel
  // are left out.  Empty when the mount table cannot be read.
  virtual std::vector<Drive> List() const = 0;
  // Free bytes available to this user on the file system holding `dir`;
  // nullopt when it cannot be asked (the directory does not exist).
  virtual std::optional<std::uint64_t> FreeSpace(const std::filesystem::path& dir) const = 0;
};

// The drives of the running system, read from a mount table in the format
// of /proc/self/mounts.  `sysBlock` is where the removable flags of block
// devices are looked up (/sys/class/block/<device>/removable).
class SystemDrives final : public Drives {
 public:
  explicit SystemDrives(std::filesystem::path mountTable = "/proc/self/mounts",
                        std::filesystem::path sysBlock = "/sys/class/block");
  std::vector<Drive> List() const override;
  std::optional<std::uint64_t> FreeSpace(const std::filesystem::path& dir) const override;

 private:
  std::filesystem::path mountTable_;
  std::filesystem::path sysBlock_;
};

// One line of a mount table, already unescaped.
struct MountEntry {
  std::string device;
  std::string mountPoint;
  std::string fileSystem;
  std::string options;
};

// Parses the text of a mount table ("\040"-style escapes decoded); lines
// with fewer than four fields are skipped.
std::vector<MountEntry> ParseMountTable(const std::string& text);

// The drive type of a mount, or nullopt for a pseudo file system that is
// not offered as a drive.  `removableDevice` tells whether the block device
// carries the kernel's removable flag.
std::optional<DriveType> ClassifyMount(const MountEntry& entry, bool removableDevice);

}  // namespace tellurio
