#pragma once
// A file layer for tests that works on real (temporary) files and fails
// where a test says: a write that stops halfway with a full disk, a drive
// that vanishes after some files, a copy that reads back different, a
// rename or a read that is refused.  Everything else goes to the real
// layer.

#include <cstdint>
#include <string>
#include <vector>

#include "backup/FileLayer.h"

namespace tellurio::backup::testing {

class FaultyFileLayer final : public FileLayer {
 public:
  struct Fault {
    FileOp op = FileOp::Write;
    int err = 5;           // errno to fail with
    std::string fileName;  // only paths with this last component; empty: any
    fs::path under;        // only paths inside this directory; empty: anywhere
    int passFirst = 0;     // let this many matching calls succeed first
    bool corrupt = false;  // Write only: one byte of the copy changes between writing and reading back
    bool always = false;   // keep failing after the first time

    Fault& Named(std::string name) {
      fileName = std::move(name);
      return *this;
    }
    Fault& Under(fs::path dir) {
      under = std::move(dir);
      return *this;
    }
    Fault& After(int calls) {
      passFirst = calls;
      return *this;
    }
    Fault& Corrupting() {
      corrupt = true;
      return *this;
    }
    Fault& Always() {
      always = true;
      return *this;
    }
  };

  // Adds a fault: calls of op fail with errno err; the result narrows it
  // down.  Matching calls meet the faults in the order they were added.
  Fault& Add(FileOp op, int err);
  // A disk that takes `bytes` more bytes of file data inside `under`; the
  // write that crosses the limit stores what fits and fails with ENOSPC.
  void FillAfter(const fs::path& under, std::uint64_t bytes);

  // Every call, as "<op> <path>", in order.
  const std::vector<std::string>& Log() const { return log_; }
  int Count(FileOp op) const;

  EntryKind Kind(const fs::path& path) override;
  Status ListFiles(const fs::path& dir, std::vector<std::string>& names) override;
  // Read faults hit the source, Write faults and the full disk the target.
  Status CopyNewFile(const fs::path& from, const fs::path& to) override;
  Status MakeDirectory(const fs::path& path) override;
  Status Rename(const fs::path& from, const fs::path& to) override;
  Status RemoveFile(const fs::path& path) override;
  Status RemoveTree(const fs::path& path) override;
  Status SyncDirectory(const fs::path& dir) override;

 private:
  // The fault that hits this call, or null.
  Fault* Hit(FileOp op, const fs::path& path);
  void Note(FileOp op, const fs::path& path);
  bool damageNext_ = false;  // the next piece written is damaged before it is read back
  PosixFileLayer real_{[this](int fd, std::uint64_t offset, std::size_t length) { Damage(fd, offset, length); }};
  void Damage(int fd, std::uint64_t offset, std::size_t length);
  std::vector<Fault> faults_;
  std::vector<std::string> log_;
  fs::path fullUnder_;
  std::uint64_t room_ = 0;
  bool limited_ = false;
};

}  // namespace tellurio::backup::testing
