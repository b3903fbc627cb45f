// The file work of backup and restore on real temporary directories: the
// generations, and what survives when the file layer fails halfway.

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

#include "backup/Generations.h"
#include "backup/testing/FaultyFileLayer.h"
#include "platform/testing/TempDir.h"

namespace tellurio::backup {
namespace {

using tellurio::testing::ReadAll;
using tellurio::testing::TempDir;
using tellurio::testing::WriteAll;
using testing::FaultyFileLayer;

// Every file of a directory tree with its content, keyed by relative path.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  if (!fs::exists(dir)) return files;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = ReadAll(e.path());
  return files;
}

struct Fixture {
  TempDir wd, drive;
  FaultyFileLayer files;

  // A working directory with depots A and B (B without fund archive), the
  // provider Bank and the three list files; `tag` marks the content.
  void Data(const std::string& tag) {
    for (const char* f :
         {"A.dat", "A.idx", "n_A.dat", "n_A.idx", "B.dat", "B.idx", "Bank.pls", "anb.dbk", "dax.dxt", "portrait.txt"})
      WriteAll(wd / f, std::string(f) + " " + tag + std::string(1000, 'x'));
    fs::create_directories(wd / "Fondpreise" / "Bank");
    WriteAll(wd / "Fondpreise" / "Bank" / "01012003.txt", "not saved");
    WriteAll(wd / "notes.txt", "not saved");
  }
  std::vector<std::string> Names() const { return BackupFileNames({"A", "B"}, {"Bank"}); }
  BackupResult Backup(std::optional<std::uint64_t> free = std::nullopt) {
    return WriteGeneration(files, wd.path(), Names(), drive.path(), free);
  }
  std::string Gen(const char* generation, const char* file) const { return ReadAll(drive / generation / file); }
};

TEST(Generations, BackupFileNamesFollowDepotsThenProvidersThenListFiles) {
  EXPECT_EQ(BackupFileNames({"A", "B"}, {"P", "Q"}),
            (std::vector<std::string>{"A.dat", "A.idx", "n_A.dat", "n_A.idx", "B.dat", "B.idx", "n_B.dat", "n_B.idx",
                                      "P.pls", "Q.pls", "anb.dbk", "dax.dxt", "portrait.txt"}));
}

TEST(Generations, FirstBackupMakesVaterSecondKeepsSohnThirdDropsTheOldest) {
  Fixture f;
  f.Data("eins");
  BackupResult r = f.Backup();
  ASSERT_TRUE(r.ok) << r.problem;
  // Ten of the twelve named files exist (B has no fund archive); the price
  // tree and other files are not saved.
  EXPECT_EQ(r.filesSaved, 10);
  EXPECT_EQ(Snapshot(f.drive / "Vater").size(), 10u);
  EXPECT_EQ(f.Gen("Vater", "n_A.idx"), ReadAll(f.wd / "n_A.idx"));
  EXPECT_FALSE(fs::exists(f.drive / "Vater" / "notes.txt"));
  EXPECT_FALSE(fs::exists(f.drive / "Sohn"));

  f.Data("zwei");
  ASSERT_TRUE(f.Backup().ok);
  EXPECT_EQ(f.Gen("Vater", "A.dat").substr(0, 10), "A.dat zwei");
  EXPECT_EQ(f.Gen("Sohn", "A.dat").substr(0, 10), "A.dat eins");

  f.Data("drei");
  ASSERT_TRUE(f.Backup().ok);
  EXPECT_EQ(f.Gen("Vater", "portrait.txt").substr(0, 17), "portrait.txt drei");
  EXPECT_EQ(f.Gen("Sohn", "portrait.txt").substr(0, 17), "portrait.txt zwei");
  // Nothing but the two generations is left on the drive.
  std::vector<std::string> top;
  for (const auto& e : fs::directory_iterator(f.drive.path())) top.push_back(e.path().filename().string());
  std::sort(top.begin(), top.end());
  EXPECT_EQ(top, (std::vector<std::string>{"Sohn", "Vater"}));
}

// Each case breaks a backup onto a drive that holds two generations; both
// must come out byte for byte as they were, the user told file and reason.
TEST(Generations, AFailedBackupLeavesBothGenerationsAsTheyWere) {
  struct Case {
    const char* what;
    std::function<void(Fixture&)> arm;
    const char* expected;  // part of the problem text
    std::optional<std::uint64_t> free = std::nullopt;
  };
  const std::vector<Case> cases = {
      {"write stops halfway, disk full",
       [](Fixture& f) { f.files.Add(FileOp::Write, ENOSPC).Named("B.dat").Under(f.drive.path()); },
       "Die Datei \"B.dat\" konnte nicht auf das Laufwerk geschrieben werden:\nDas Laufwerk ist voll."},
      {"disk fills up during the fifth file", [](Fixture& f) { f.files.FillAfter(f.drive.path(), 4 * 1010 + 500); },
       "Die Datei \"B.dat\" konnte nicht auf das Laufwerk geschrieben werden:\nDas Laufwerk ist voll."},
      {"drive pulled out",
       [](Fixture& f) { f.files.Add(FileOp::Write, ENODEV).Under(f.drive.path()).After(2).Always(); },
       "Die Datei \"n_A.dat\" konnte nicht auf das Laufwerk geschrieben werden:\nDas Laufwerk ist nicht mehr "
       "erreichbar."},
      {"copy reads back different", [](Fixture& f) { f.files.Add(FileOp::Write, EIO).Named("dax.dxt").Corrupting(); },
       "Die Datei \"dax.dxt\" konnte nicht auf das Laufwerk geschrieben werden:\nDie geschriebenen Daten lesen sich "
       "anders zurück"},
      {"write-protected drive", [](Fixture& f) { f.files.Add(FileOp::CreateDirectory, EROFS); },
       "Auf das Laufwerk kann nicht geschrieben werden:\nDas Laufwerk ist schreibgeschützt."},
      {"no permission", [](Fixture& f) { f.files.Add(FileOp::Write, EACCES).Named("A.dat"); },
       "\"A.dat\" konnte nicht auf das Laufwerk geschrieben werden:\nKeine Schreibberechtigung."},
      {"source unreadable", [](Fixture& f) { f.files.Add(FileOp::Read, EIO).Named("Bank.pls").Under(f.wd.path()); },
       "Die Datei \"Bank.pls\" im Datenverzeichnis konnte nicht gelesen werden"},
      {"Vater cannot become Sohn", [](Fixture& f) { f.files.Add(FileOp::Rename, EACCES).Named("Vater"); },
       "Die Sicherung \"Vater\" konnte nicht in \"Sohn\" umbenannt werden"},
      {"new generation cannot become Vater", [](Fixture& f) { f.files.Add(FileOp::Rename, EIO).Named("Vater.neu"); },
       "Die neue Sicherung konnte nicht in \"Vater\" umbenannt werden"},
      // 10 files: 4 x 1010 + 4 x 1012 + 1013 + 1017 = 10,118 bytes, 11 KB
      // rounded up; 500 bytes free are 0 KB rounded down.
      {"not enough space known beforehand", [](Fixture&) {},
       "ist nicht genug Platz: Die Sicherung braucht 11 KB, frei sind 0 KB", 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.Data("eins");
    ASSERT_TRUE(f.Backup().ok);
    f.Data("zwei");
    ASSERT_TRUE(f.Backup().ok);
    const auto before = Snapshot(f.drive.path());
    ASSERT_EQ(before.size(), 20u);
    f.Data("drei");
    c.arm(f);
    const BackupResult r = f.Backup(c.free);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.generationsIntact);
    EXPECT_NE(r.problem.find(c.expected), std::string::npos) << r.problem;
    EXPECT_EQ(Snapshot(f.drive.path()), before);
    EXPECT_FALSE(fs::exists(f.drive / "Vater.neu"));
  }
}

// The worst case: the shift fails and so does its undo.  Nothing is lost,
// the user is told where the generations are, and the next backup puts
// everything in order again.
TEST(Generations, AShiftThatCannotBeUndoneSaysWhereTheGenerationsAre) {
  Fixture f;
  f.Data("eins");
  ASSERT_TRUE(f.Backup().ok);
  f.Data("zwei");
  ASSERT_TRUE(f.Backup().ok);
  f.Data("drei");
  f.files.Add(FileOp::Rename, EIO).Named("Vater.neu");
  f.files.Add(FileOp::Rename, EIO).Named("Sohn").After(1);  // "Sohn" -> "Sohn.alt" works, the way back not
  const BackupResult r = f.Backup();
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.generationsIntact);
  EXPECT_NE(r.problem.find("Die letzte Sicherung liegt jetzt unversehrt in \"Sohn\"."), std::string::npos);
  EXPECT_NE(r.problem.find("Die vorletzte Sicherung liegt jetzt unversehrt in \"Sohn.alt\"."), std::string::npos);
  EXPECT_EQ(f.Gen("Sohn", "A.dat").substr(0, 10), "A.dat zwei");
  EXPECT_EQ(f.Gen("Sohn.alt", "A.dat").substr(0, 10), "A.dat eins");

  ASSERT_TRUE(f.Backup().ok);
  EXPECT_EQ(f.Gen("Vater", "A.dat").substr(0, 10), "A.dat drei");
  EXPECT_EQ(f.Gen("Sohn", "A.dat").substr(0, 10), "A.dat zwei");
  EXPECT_FALSE(fs::exists(f.drive / "Sohn.alt"));
}

TEST(Generations, ABackupIntoTheDataDirectoryItselfIsRefused) {
  TempDir root;
  FaultyFileLayer files;
  fs::create_directories(root / "Vater");
  WriteAll(root / "Vater" / "A.dat", "data");
  const BackupResult r = WriteGeneration(files, root / "Vater", {"A.dat"}, root.path(), std::nullopt);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.problem.find("Das Datenverzeichnis liegt in"), std::string::npos);
  EXPECT_EQ(ReadAll(root / "Vater" / "A.dat"), "data");
  EXPECT_FALSE(fs::exists(root / "Sohn"));
}

TEST(Generations, LeftoversOfAnInterruptedBackupAreCleanedUp) {
  Fixture f;
  f.Data("eins");
  ASSERT_TRUE(f.Backup().ok);
  // Interrupted between "Sohn" -> "Sohn.alt" and the next rename: the old
  // Sohn waits as Sohn.alt, and a half new generation lies beside.
  fs::create_directory(f.drive / "Sohn.alt");
  WriteAll(f.drive / "Sohn.alt" / "A.dat", "older");
  fs::create_directory(f.drive / "Vater.neu");
  WriteAll(f.drive / "Vater.neu" / "A.dat", "half");
  f.Data("zwei");
  ASSERT_TRUE(f.Backup().ok);
  // Sohn.alt came back as Sohn first, then the normal shift dropped it.
  EXPECT_EQ(f.Gen("Sohn", "A.dat").substr(0, 10), "A.dat eins");
  EXPECT_EQ(f.Gen("Vater", "A.dat").substr(0, 10), "A.dat zwei");
  EXPECT_FALSE(fs::exists(f.drive / "Sohn.alt"));
  EXPECT_FALSE(fs::exists(f.drive / "Vater.neu"));
}

struct RestoreFixture : Fixture {
  NameCheck check = [](const std::string& name, bool) -> std::optional<std::string> {
    if (name.empty() || name == "bad") return std::string("unbrauchbar");
    return std::nullopt;
  };
  RestoreResult Restore() {
    const std::optional<RestoreSource> source = OpenRestoreSource(files, drive.path());
    if (!source) return RestoreResult{};
    return RestoreGeneration(files, *source, wd.path(), check, std::nullopt);
  }
};

TEST(Generations, RestoreCopiesVaterBackAndKeepsFilesItDoesNotHold) {
  RestoreFixture f;
  f.Data("alt");
  ASSERT_TRUE(f.Backup().ok);
  f.Data("neu");
  WriteAll(f.wd / "Extra.dat", "extra depot");
  fs::remove(f.wd / "B.dat");
  const RestoreResult r = f.Restore();
  EXPECT_EQ(r.outcome, RestoreResult::Outcome::Restored);
  EXPECT_EQ(r.restored.size(), 10u);
  EXPECT_EQ(ReadAll(f.wd / "B.dat").substr(0, 9), "B.dat alt");
  EXPECT_EQ(ReadAll(f.wd / "anb.dbk").substr(0, 11), "anb.dbk alt");
  EXPECT_EQ(ReadAll(f.wd / "Extra.dat"), "extra depot");
  // No staged copy stays behind.
  for (const auto& e : fs::directory_iterator(f.wd.path())) EXPECT_NE(e.path().filename().string()[0], '.');
}

TEST(Generations, RestoreTakesSohnWhenThereIsNoVater) {
  RestoreFixture f;
  fs::create_directory(f.drive / "Sohn");
  WriteAll(f.drive / "Sohn" / "S.dat", "from Sohn");
  const std::optional<RestoreSource> source = OpenRestoreSource(f.files, f.drive.path());
  ASSERT_TRUE(source);
  EXPECT_EQ(source->generation, "Sohn");
  EXPECT_EQ(f.Restore().outcome, RestoreResult::Outcome::Restored);
  EXPECT_EQ(ReadAll(f.wd / "S.dat"), "from Sohn");

  fs::remove_all(f.drive / "Sohn");
  EXPECT_FALSE(OpenRestoreSource(f.files, f.drive.path()));
}

TEST(Generations, RestoreWithoutUsableDepotDataChangesNothing) {
  RestoreFixture f;
  fs::create_directory(f.drive / "Vater");
  // Only lists, an archive and a depot whose name the program refuses.
  for (const char* n : {"Bank.pls", "anb.dbk", "n_A.dat", "bad.dat", ".hidden.dat"}) WriteAll(f.drive / "Vater" / n, n);
  f.Data("jetzt");
  const auto before = Snapshot(f.wd.path());
  const RestoreResult r = f.Restore();
  EXPECT_EQ(r.outcome, RestoreResult::Outcome::NoDepotData);
  EXPECT_EQ(r.refused, std::vector<std::string>{"bad.dat: unbrauchbar"});
  EXPECT_EQ(Snapshot(f.wd.path()), before);
}

TEST(Generations, ARestoreThatCannotReadAFileChangesNothing) {
  RestoreFixture f;
  f.Data("alt");
  ASSERT_TRUE(f.Backup().ok);
  f.Data("neu");
  const auto before = Snapshot(f.wd.path());
  // The seventh file of the generation (sorted: A.dat A.idx B.dat B.idx
  // Bank.pls anb.dbk dax.dxt ...) cannot be read from the drive.
  f.files.Add(FileOp::Read, EIO).Named("dax.dxt").Under(f.drive.path());
  const RestoreResult r = f.Restore();
  EXPECT_EQ(r.outcome, RestoreResult::Outcome::Failed);
  EXPECT_NE(r.problem.find("Die Datei \"dax.dxt\" der Sicherung \"Vater\" konnte nicht gelesen werden"),
            std::string::npos);
  EXPECT_TRUE(r.restored.empty());
  EXPECT_EQ(Snapshot(f.wd.path()), before);
}

TEST(Generations, ARestoreWhoseCopyReadsBackDifferentChangesNothing) {
  RestoreFixture f;
  f.Data("alt");
  ASSERT_TRUE(f.Backup().ok);
  f.Data("neu");
  const auto before = Snapshot(f.wd.path());
  f.files.Add(FileOp::Write, EIO).Named(".portrait.txt.rueck").Corrupting();
  const RestoreResult r = f.Restore();
  EXPECT_EQ(r.outcome, RestoreResult::Outcome::Failed);
  EXPECT_NE(r.problem.find("Die Datei \"portrait.txt\" konnte nicht ins Datenverzeichnis geschrieben werden:\nDie "
                           "geschriebenen Daten lesen sich anders zurück"),
            std::string::npos)
      << r.problem;
  EXPECT_EQ(Snapshot(f.wd.path()), before);
}

// The real layer on its own: a copy never replaces anything, and a missing
// source is told apart from a failing target.
TEST(Generations, CopiesGoOnlyIntoNewFiles) {
  TempDir dir;
  PosixFileLayer files;
  WriteAll(dir / "a", std::string(3 << 20, 'a') + "end");  // more than one piece
  WriteAll(dir / "b", "old");
  Status s = files.CopyNewFile(dir / "a", dir / "b");
  EXPECT_EQ(s.path(), (dir / "b").string());
  EXPECT_EQ(ReadAll(dir / "b"), "old");
  s = files.CopyNewFile(dir / "missing", dir / "c");
  EXPECT_EQ(s.code(), Status::Code::NotFound);
  EXPECT_EQ(s.path(), (dir / "missing").string());
  EXPECT_FALSE(fs::exists(dir / "c"));
  ASSERT_TRUE(files.CopyNewFile(dir / "a", dir / "c").ok());
  EXPECT_EQ(ReadAll(dir / "c"), ReadAll(dir / "a"));
}

TEST(Generations, ARestoreFailingHalfwayLeavesEachFileOldOrNewAndNamesThem) {
  RestoreFixture f;
  f.Data("alt");
  ASSERT_TRUE(f.Backup().ok);
  f.Data("neu");
  // The working directory's disk refuses the fourth replacement.
  f.files.Add(FileOp::Rename, EIO).Under(f.wd.path()).After(3);
  const RestoreResult r = f.Restore();
  ASSERT_EQ(r.outcome, RestoreResult::Outcome::Partial);
  // Sorted byte-wise: A.dat A.idx B.dat | B.idx Bank.pls anb.dbk dax.dxt n_A.dat n_A.idx portrait.txt
  EXPECT_EQ(r.restored, (std::vector<std::string>{"A.dat", "A.idx", "B.dat"}));
  EXPECT_EQ(r.notRestored, (std::vector<std::string>{"B.idx", "Bank.pls", "anb.dbk", "dax.dxt", "n_A.dat", "n_A.idx",
                                                     "portrait.txt"}));
  for (const std::string& n : r.restored) EXPECT_NE(ReadAll(f.wd / n).find(" alt"), std::string::npos) << n;
  for (const std::string& n : r.notRestored) EXPECT_NE(ReadAll(f.wd / n).find(" neu"), std::string::npos) << n;
  for (const auto& e : fs::directory_iterator(f.wd.path())) EXPECT_NE(e.path().filename().string()[0], '.');
}

}  // namespace
}  // namespace tellurio::backup
