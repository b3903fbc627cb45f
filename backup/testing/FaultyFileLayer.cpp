#include "backup/testing/FaultyFileLayer.h"

#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "platform/testing/TempDir.h"

namespace tellurio::backup::testing {

namespace {

const char* OpName(FileOp op) {
  switch (op) {
    case FileOp::Read:
      return "read";
    case FileOp::Write:
      return "write";
    case FileOp::CreateDirectory:
      return "mkdir";
    case FileOp::Rename:
      return "rename";
    case FileOp::Remove:
      return "remove";
    case FileOp::List:
      return "list";
    case FileOp::Sync:
      return "sync";
  }
  return "?";
}

bool Inside(const fs::path& path, const fs::path& dir) {
  const auto rel = path.lexically_normal().lexically_relative(dir.lexically_normal());
  return !rel.empty() && *rel.begin() != "..";
}

using tellurio::testing::ReadAll;

// Writes the first n bytes as a file, the way a full disk leaves it.
void WritePrefix(const fs::path& path, std::string_view bytes, size_t n) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(n));
}

}  // namespace

FaultyFileLayer::Fault& FaultyFileLayer::Add(FileOp op, int err) {
  Fault f;
  f.op = op;
  f.err = err;
  faults_.push_back(f);
  return faults_.back();
}

void FaultyFileLayer::FillAfter(const fs::path& under, std::uint64_t bytes) {
  fullUnder_ = under;
  room_ = bytes;
  limited_ = true;
}

int FaultyFileLayer::Count(FileOp op) const {
  const std::string prefix = std::string(OpName(op)) + " ";
  int n = 0;
  for (const std::string& l : log_) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

void FaultyFileLayer::Note(FileOp op, const fs::path& path) {
  log_.push_back(std::string(OpName(op)) + " " + path.string());
}

FaultyFileLayer::Fault* FaultyFileLayer::Hit(FileOp op, const fs::path& path) {
  for (Fault& f : faults_) {
    if (f.op != op) continue;
    if (!f.fileName.empty() && path.filename() != f.fileName) continue;
    if (!f.under.empty() && !Inside(path, f.under)) continue;
    if (f.passFirst > 0) {
      --f.passFirst;
      continue;
    }
    if (f.passFirst == 0) {
      if (!f.always) f.passFirst = -1;  // spent
      return &f;
    }
  }
  return nullptr;
}

EntryKind FaultyFileLayer::Kind(const fs::path& path) { return real_.Kind(path); }

Status FaultyFileLayer::ListFiles(const fs::path& dir, std::vector<std::string>& names) {
  Note(FileOp::List, dir);
  if (Fault* f = Hit(FileOp::List, dir)) {
    names.clear();
    return FileFailure(FileOp::List, f->err, dir);
  }
  return real_.ListFiles(dir, names);
}

void FaultyFileLayer::Damage(int fd, std::uint64_t offset, std::size_t length) {
  if (!damageNext_ || length == 0) return;
  damageNext_ = false;
  const off_t at = static_cast<off_t>(offset + length / 2);
  char c = 0;
  if (::pread(fd, &c, 1, at) == 1) {
    c = static_cast<char>(c ^ 0x20);
    // A damage that cannot be written leaves the copy whole; the test
    // expecting the mismatch then fails.
    if (::pwrite(fd, &c, 1, at) != 1) return;
  }
}

Status FaultyFileLayer::CopyNewFile(const fs::path& from, const fs::path& to) {
  Note(FileOp::Read, from);
  if (Fault* f = Hit(FileOp::Read, from)) return FileFailure(FileOp::Read, f->err, from);
  Note(FileOp::Write, to);
  Fault* f = Hit(FileOp::Write, to);
  std::error_code ec;
  if (f && f->corrupt) {
    damageNext_ = true;  // the real layer must notice it
    return real_.CopyNewFile(from, to);
  }
  if (!f && !(limited_ && Inside(to, fullUnder_))) return real_.CopyNewFile(from, to);
  if (!fs::exists(from, ec)) return real_.CopyNewFile(from, to);  // the real answer for a missing source
  const std::string bytes = ReadAll(from);
  if (f) {
    // Stops halfway, as a pulled stick does; the half file stays.
    WritePrefix(to, bytes, bytes.size() / 2);
    return FileFailure(FileOp::Write, f->err, to);
  }
  if (bytes.size() > room_) {
    WritePrefix(to, bytes, static_cast<size_t>(room_));
    room_ = 0;
    fs::remove(to, ec);  // as the real layer does
    return FileFailure(FileOp::Write, ENOSPC, to);
  }
  room_ -= bytes.size();
  return real_.CopyNewFile(from, to);
}

Status FaultyFileLayer::MakeDirectory(const fs::path& path) {
  Note(FileOp::CreateDirectory, path);
  if (Fault* f = Hit(FileOp::CreateDirectory, path)) return FileFailure(FileOp::CreateDirectory, f->err, path);
  return real_.MakeDirectory(path);
}

Status FaultyFileLayer::Rename(const fs::path& from, const fs::path& to) {
  Note(FileOp::Rename, from);
  if (Fault* f = Hit(FileOp::Rename, from)) return FileFailure(FileOp::Rename, f->err, from);
  return real_.Rename(from, to);
}

Status FaultyFileLayer::RemoveFile(const fs::path& path) {
  Note(FileOp::Remove, path);
  if (Fault* f = Hit(FileOp::Remove, path)) return FileFailure(FileOp::Remove, f->err, path);
  return real_.RemoveFile(path);
}

Status FaultyFileLayer::RemoveTree(const fs::path& path) {
  Note(FileOp::Remove, path);
  if (Fault* f = Hit(FileOp::Remove, path)) return FileFailure(FileOp::Remove, f->err, path);
  return real_.RemoveTree(path);
}

Status FaultyFileLayer::SyncDirectory(const fs::path& dir) {
  Note(FileOp::Sync, dir);
  if (Fault* f = Hit(FileOp::Sync, dir)) return FileFailure(FileOp::Sync, f->err, dir);
  return real_.SyncDirectory(dir);
}

}  // namespace tellurio::backup::testing
