// The drive list read from a mount table: which mounts are offered as drives,
// with which type, and what a read-only or inaccessible mount looks like.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Drives.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

using testing::TempDir;
using testing::WriteAll;

TEST(MountTable, DecodesOctalEscapesAndSkipsShortLines) {
  const auto entries = ParseMountTable(
      "/dev/sdb1 /media/anna/USB\\040STICK vfat rw,nosuid 0 0\n"
      "broken line\n"
      "server:/export /mnt/back\\134slash nfs4 rw 0 0\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].mountPoint, "/media/anna/USB STICK");
  EXPECT_EQ(entries[0].fileSystem, "vfat");
  EXPECT_EQ(entries[1].mountPoint, "/mnt/back\\slash");
}

TEST(MountTable, ClassifiesEachKindOfMount) {
  auto type = [](std::string dev, std::string at, std::string fsType, bool removable = false) {
    return ClassifyMount({dev, at, fsType, "rw"}, removable);
  };
  EXPECT_EQ(type("proc", "/proc", "proc"), std::nullopt);
  EXPECT_EQ(type("cgroup2", "/sys/fs/cgroup", "cgroup2"), std::nullopt);
  EXPECT_EQ(type("tmpfs", "/run/user/1000", "tmpfs"), std::nullopt);
  EXPECT_EQ(type("tmpfs", "/dev/shm", "tmpfs"), std::nullopt);
  EXPECT_EQ(type("tmpfs", "/tmp", "tmpfs"), DriveType::RamDisk);
  EXPECT_EQ(type("/dev/sr0", "/mnt/cd", "iso9660"), DriveType::CdRom);
  EXPECT_EQ(type("/dev/sr0", "/mnt/dvd", "udf"), DriveType::CdRom);
  EXPECT_EQ(type("srv:/x", "/mnt/nfs", "nfs4"), DriveType::Remote);
  EXPECT_EQ(type("//srv/x", "/mnt/smb", "cifs"), DriveType::Remote);
  EXPECT_EQ(type("u@h:", "/mnt/ssh", "fuse.sshfs"), DriveType::Remote);
  EXPECT_EQ(type("/dev/sdb1", "/media/anna/STICK", "vfat"), DriveType::Removable);
  EXPECT_EQ(type("/dev/sdc1", "/run/media/anna/X", "exfat"), DriveType::Removable);
  EXPECT_EQ(type("/dev/sdd1", "/mnt/backup", "ext4", true), DriveType::Removable);
  EXPECT_EQ(type("/dev/sda1", "/", "ext4"), DriveType::Fixed);
  EXPECT_EQ(type("/dev/sda2", "/home", "btrfs"), DriveType::Fixed);
  EXPECT_EQ(type("weird", "/mnt/w", "someotherfs"), DriveType::Unknown);
}

TEST(SystemDrives, ListsSortedDrivesWithReadOnlyAndInaccessibleMounts) {
  TempDir dir;
  const auto a = dir / "a";
  const auto b = dir / "b";
  const auto locked = dir / "locked";
  for (const auto& p : {a, b, locked}) std::filesystem::create_directory(p);
  ::chmod(locked.c_str(), 0);
  WriteAll(dir / "mounts", "/dev/sda1 " + b.string() + " ext4 ro,relatime 0 0\n" + "proc /proc proc rw 0 0\n" +
                               "/dev/sr0 " + a.string() + " iso9660 ro 0 0\n" + "/dev/sda3 " + locked.string() +
                               " ext4 rw 0 0\n");
  const SystemDrives drives(dir / "mounts", dir / "no-sysfs");
  const auto list = drives.List();
  ::chmod(locked.c_str(), 0700);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], (Drive{a, DriveType::CdRom, true}));
  EXPECT_EQ(list[1], (Drive{b, DriveType::Fixed, true}));
  // Root may enter any directory; only an ordinary user sees the lock.
  if (::geteuid() != 0) {
    EXPECT_EQ(list[2].type, DriveType::NoRoot);
  }
  EXPECT_FALSE(list[2].readOnly);
}

TEST(SystemDrives, AMountTableThatCannotBeReadGivesNoDrives) {
  TempDir dir;
  EXPECT_TRUE(SystemDrives(dir / "missing").List().empty());
}

TEST(SystemDrives, FreeSpaceOfAnExistingDirectoryAndNoneOfAMissingOne) {
  TempDir dir;
  const SystemDrives drives;
  const auto free = drives.FreeSpace(dir.path());
  ASSERT_TRUE(free.has_value());
  EXPECT_GT(*free, 0u);
  EXPECT_EQ(drives.FreeSpace(dir / "missing"), std::nullopt);
}

}  // namespace
}  // namespace tellurio
