#include "backup/Generations.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace tellurio::backup {

namespace {

bool EndsWith(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// "12,3 MB" from a megabyte on, "17 KB" below; needed sizes round up, free
// space rounds down, so that "needed" never reads smaller than "free" when
// it is larger.
std::string Size(std::uint64_t bytes, bool roundUp) {
  if (bytes >= 1'000'000) {
    const std::uint64_t tenths = (bytes + (roundUp ? 99'999 : 0)) / 100'000;
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " MB";
  }
  return std::to_string((bytes + (roundUp ? 999 : 0)) / 1000) + " KB";
}

// Whether path is dir or lies inside it, after resolving links, "." and "..".
bool SameOrInside(const fs::path& path, const fs::path& dir) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(path, ec);
  if (ec) return false;
  const fs::path d = fs::weakly_canonical(dir, ec);
  if (ec) return false;
  const fs::path rel = p.lexically_relative(d);
  return !rel.empty() && *rel.begin() != "..";
}

// Sum of the sizes of the files that exist; the others count 0.
std::uint64_t TotalSize(const fs::path& dir, const std::vector<std::string>& names) {
  std::uint64_t total = 0;
  for (const std::string& n : names) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(dir / n, ec);
    if (!ec) total += size;
  }
  return total;
}

}  // namespace

std::vector<std::string> BackupFileNames(const std::vector<std::string>& depots,
                                         const std::vector<std::string>& providers) {
  std::vector<std::string> names;
  for (const std::string& d : depots) {
    names.push_back(d + ".dat");
    names.push_back(d + ".idx");
    names.push_back("n_" + d + ".dat");
    names.push_back("n_" + d + ".idx");
  }
  for (const std::string& p : providers) names.push_back(p + ".pls");
  names.insert(names.end(), {"anb.dbk", "dax.dxt", "portrait.txt"});
  return names;
}

GenerationsFound FindGenerations(FileLayer& files, const fs::path& root) {
  GenerationsFound g;
  std::vector<std::string> ignored;
  g.rootAccessible = files.Kind(root) == EntryKind::Directory && files.ListFiles(root, ignored).ok();
  if (!g.rootAccessible) return g;
  g.father = files.Kind(root / kFather) == EntryKind::Directory;
  g.son = files.Kind(root / kSon) == EntryKind::Directory;
  return g;
}

BackupResult WriteGeneration(FileLayer& files, const fs::path& wd, const std::vector<std::string>& names,
                             const fs::path& root, std::optional<std::uint64_t> freeBytes) {
  BackupResult r;
  const fs::path fresh = root / kNewGeneration;
  const fs::path father = root / kFather;
  const fs::path son = root / kSon;
  const fs::path oldSon = root / kOldSon;
  bool freshMade = false;

  auto fail = [&](std::string problem) {
    r.ok = false;
    r.problem = std::move(problem);
    if (freshMade) {
      const Status cleanup = files.RemoveTree(fresh);
      if (!cleanup.ok())
        r.problem += "\nDas unvollständige Verzeichnis " + Quoted(fresh.string()) +
                     " konnte nicht entfernt werden: " + cleanup.message() + ".";
    }
    return r;
  };

  if (files.Kind(root) != EntryKind::Directory)
    return fail("Das Laufwerk " + Quoted(root.string()) + " ist nicht erreichbar.");
  // The generations are renamed and removed: the data directory must not be
  // one of them or lie inside one.
  for (const fs::path& generation : {father, son, fresh, oldSon}) {
    if (SameOrInside(wd, generation))
      return fail("Das Datenverzeichnis liegt in " + Quoted(generation.string()) +
                  "; dorthin kann nicht gesichert werden.\nWählen Sie bitte ein anderes Laufwerk aus.");
  }

  // What an interrupted backup may have left: a half-written new generation
  // (never a valid one), and "Sohn.alt", which is the older "Sohn" when the
  // shift stopped before "Sohn" was filled again.
  if (files.Kind(fresh) != EntryKind::Missing) {
    const Status s = files.RemoveTree(fresh);
    if (!s.ok())
      return fail("Das Verzeichnis " + Quoted(kNewGeneration) +
                  " einer abgebrochenen Sicherung konnte nicht entfernt werden:\n" + s.message() + ".");
  }
  if (files.Kind(oldSon) != EntryKind::Missing) {
    const Status s = files.Kind(son) == EntryKind::Missing ? files.Rename(oldSon, son) : files.RemoveTree(oldSon);
    if (!s.ok())
      return fail("Das Verzeichnis " + Quoted(kOldSon) +
                  " einer abgebrochenen Sicherung konnte nicht aufgeräumt werden:\n" + s.message() + ".");
  }

  const std::uint64_t needed = TotalSize(wd, names);
  if (freeBytes && needed > *freeBytes)
    return fail("Auf dem Laufwerk " + Quoted(root.string()) + " ist nicht genug Platz: Die Sicherung braucht " +
                Size(needed, true) + ", frei sind " + Size(*freeBytes, false) +
                ".\n(Die neue Sicherung wird neben die bisherigen geschrieben und ersetzt sie erst, wenn sie "
                "vollständig ist.)");

  if (const Status s = files.MakeDirectory(fresh); !s.ok())
    return fail("Auf das Laufwerk kann nicht geschrieben werden:\n" + s.message() + ".");
  freshMade = true;

  for (const std::string& name : names) {
    const fs::path source = wd / name;
    const fs::path target = fresh / name;
    if (const Status s = files.CopyNewFile(source, target); !s.ok()) {
      if (s.code() == Status::Code::NotFound && s.path() == source.string())
        continue;  // a file the depot never had (an index, an archive)
      if (s.path() == source.string())
        return fail("Die Datei " + Quoted(name) + " im Datenverzeichnis konnte nicht gelesen werden:\n" + s.message() +
                    ".");
      return fail("Die Datei " + Quoted(name) + " konnte nicht auf das Laufwerk geschrieben werden:\n" + s.message() +
                  ".");
    }
    ++r.filesSaved;
  }
  if (const Status s = files.SyncDirectory(fresh); !s.ok())
    return fail("Die Sicherung konnte nicht abgeschlossen werden:\n" + s.message() + ".");

  // The new generation is complete: shift the generations.  Each step is a
  // rename, and a failed step undoes the ones before it.
  const EntryKind fatherKind = files.Kind(father);
  if (fatherKind != EntryKind::Missing && fatherKind != EntryKind::Directory)
    return fail("Auf dem Laufwerk ist " + Quoted(kFather) + " kein Verzeichnis; dort kann keine Sicherung liegen.");
  bool sonMoved = false;
  bool shifted = false;
  auto undo = [&] {
    const bool fatherBack = !shifted || files.Rename(son, father).ok();
    const bool sonBack = !sonMoved || (fatherBack && files.Rename(oldSon, son).ok());
    if (!fatherBack) r.problem += "\nDie letzte Sicherung liegt jetzt unversehrt in " + Quoted(kSon) + ".";
    if (!sonBack) r.problem += "\nDie vorletzte Sicherung liegt jetzt unversehrt in " + Quoted(kOldSon) + ".";
    r.generationsIntact = fatherBack && sonBack;
  };
  if (fatherKind == EntryKind::Directory) {
    if (files.Kind(son) != EntryKind::Missing) {
      if (const Status s = files.Rename(son, oldSon); !s.ok())
        return fail("Die Sicherung " + Quoted(kSon) + " konnte nicht umbenannt werden:\n" + s.message() + ".");
      sonMoved = true;
    }
    if (const Status s = files.Rename(father, son); !s.ok()) {
      fail("Die Sicherung " + Quoted(kFather) + " konnte nicht in " + Quoted(kSon) + " umbenannt werden:\n" +
           s.message() + ".");
      undo();
      return r;
    }
    shifted = true;
  }
  if (const Status s = files.Rename(fresh, father); !s.ok()) {
    fail("Die neue Sicherung konnte nicht in " + Quoted(kFather) + " umbenannt werden:\n" + s.message() + ".");
    undo();
    return r;
  }
  r.ok = true;
  if (const Status s = files.SyncDirectory(root); !s.ok())
    r.warning = "Das Laufwerk meldet beim Abschließen der Sicherung einen Fehler:\n" + s.message() + ".";
  if (sonMoved) {
    if (const Status s = files.RemoveTree(oldSon); !s.ok())
      r.warning += (r.warning.empty() ? "" : "\n") + std::string("Die älteste Sicherung ") + Quoted(kOldSon) +
                   " konnte nicht gelöscht werden:\n" + s.message() + ".";
  }
  return r;
}

std::optional<std::string> DepotOfFile(const std::string& file) {
  if (!EndsWith(file, ".dat") && !EndsWith(file, ".idx")) return std::nullopt;
  std::string base = file.substr(0, file.size() - 4);
  if (base.rfind("n_", 0) == 0) base.erase(0, 2);
  return base;
}

std::optional<std::string> ProviderOfFile(const std::string& file) {
  if (!EndsWith(file, ".pls")) return std::nullopt;
  return file.substr(0, file.size() - 4);
}

std::optional<RestoreSource> OpenRestoreSource(FileLayer& files, const fs::path& root) {
  for (const char* generation : {kFather, kSon}) {
    RestoreSource source{root / generation, generation, {}};
    if (files.Kind(source.dir) == EntryKind::Directory && files.ListFiles(source.dir, source.files).ok()) {
      std::sort(source.files.begin(), source.files.end());
      return source;
    }
  }
  return std::nullopt;
}

RestoreResult RestoreGeneration(FileLayer& files, const RestoreSource& source, const fs::path& wd,
                                const NameCheck& check, std::optional<std::uint64_t> freeBytes) {
  RestoreResult r;
  std::vector<std::string> accepted;
  bool depotData = false;
  for (const std::string& name : source.files) {
    if (name.empty() || name[0] == '.') continue;  // hidden files are never part of a backup
    std::optional<std::string> refusal;
    const std::optional<std::string> depot = DepotOfFile(name);
    const std::optional<std::string> provider = ProviderOfFile(name);
    if (depot) refusal = check(*depot, true);
    if (provider) refusal = check(*provider, false);
    if (!refusal && files.Kind(wd / name) == EntryKind::Directory)
      refusal = "Im Datenverzeichnis gibt es ein Verzeichnis dieses Namens.";
    if (refusal) {
      r.refused.push_back(name + ": " + *refusal);
      continue;
    }
    accepted.push_back(name);
    if (depot && EndsWith(name, ".dat") && name.rfind("n_", 0) != 0) depotData = true;
  }
  if (!depotData) {
    r.outcome = RestoreResult::Outcome::NoDepotData;
    r.notRestored = accepted;
    return r;
  }

  const std::uint64_t needed = TotalSize(source.dir, accepted);
  if (freeBytes && needed > *freeBytes) {
    r.outcome = RestoreResult::Outcome::Failed;
    r.problem = "Im Datenverzeichnis ist nicht genug Platz: Die Rücksicherung braucht " + Size(needed, true) +
                ", frei sind " + Size(*freeBytes, false) + ".";
    r.notRestored = accepted;
    return r;
  }

  // Stage every file beside its target before any target is touched.
  auto stagePath = [&wd](const std::string& name) { return wd / ("." + name + ".rueck"); };
  std::vector<fs::path> staged;
  auto abandon = [&](std::string problem) {
    for (const fs::path& p : staged) {
      // A staged copy that cannot be removed is a hidden file beside the
      // data; it changes nothing the program reads.
      (void)files.RemoveFile(p);
    }
    r.outcome = RestoreResult::Outcome::Failed;
    r.problem = std::move(problem);
    r.notRestored = accepted;
    return r;
  };
  for (const std::string& name : accepted) {
    const fs::path original = source.dir / name;
    const fs::path stage = stagePath(name);
    if (const Status s = files.RemoveFile(stage); !s.ok())  // left by an interrupted restore
      return abandon("Die Datei " + Quoted(stage.filename().string()) +
                     " im Datenverzeichnis kann nicht ersetzt werden:\n" + s.message() + ".");
    staged.push_back(stage);  // from here on abandon() removes it, whatever the copy leaves
    if (const Status s = files.CopyNewFile(original, stage); !s.ok()) {
      if (s.path() == original.string())
        return abandon("Die Datei " + Quoted(name) + " der Sicherung " + Quoted(source.generation) +
                       " konnte nicht gelesen werden:\n" + s.message() + ".");
      return abandon("Die Datei " + Quoted(name) + " konnte nicht ins Datenverzeichnis geschrieben werden:\n" +
                     s.message() + ".");
    }
  }
  // Each rename replaces one file atomically.
  for (size_t i = 0; i < accepted.size(); ++i) {
    const Status s = files.Rename(staged[i], wd / accepted[i]);
    if (s.ok()) {
      r.restored.push_back(accepted[i]);
      continue;
    }
    r.problem = "Die Datei " + Quoted(accepted[i]) + " konnte nicht ersetzt werden:\n" + s.message() + ".";
    for (size_t j = i; j < accepted.size(); ++j) {
      (void)files.RemoveFile(staged[j]);  // as above: a leftover hidden copy changes nothing
      r.notRestored.push_back(accepted[j]);
    }
    r.outcome = RestoreResult::Outcome::Partial;
    break;
  }
  if (r.outcome != RestoreResult::Outcome::Partial) r.outcome = RestoreResult::Outcome::Restored;
  // The files themselves were flushed before they were renamed; a directory
  // that cannot be synced leaves only the order of the renames at risk in a
  // crash, and each file is still either old or new.
  (void)files.SyncDirectory(wd);
  return r;
}

}  // namespace tellurio::backup
