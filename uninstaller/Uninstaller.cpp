#include "uninstaller/Uninstaller.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "installer/ControlFile.h"
#include "installer/InstallControl.h"
#include "platform/DirectoryLock.h"
#include "storage/Directory.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : "\n") + l;
  return text;
}

// Deletes name inside the directory dir when it is a regular file there (a
// symbolic link or a directory is left alone).  True when it was deleted.
bool DeleteRegularFile(const fs::path& dir, const std::string& name) {
  if (!IsPlainFileName(name)) return false;
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dirFd < 0) return false;
  struct stat st {};
  const bool deleted = ::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
                       ::unlinkat(dirFd, name.c_str(), 0) == 0;
  ::close(dirFd);
  return deleted;
}

fs::path Resolved(const fs::path& p) {
  std::error_code ec;
  fs::path r = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : r;
}

}  // namespace

bool IsDepotDataFile(const std::string& name) {
  return EndsWith(name, ".dat") || EndsWith(name, ".idx") || EndsWith(name, ".pls") ||
         name == fileset::kProviderAssignments || name == fileset::kDaxHistory || name == fileset::kPortraitFile;
}

Uninstaller::Uninstaller(UninstallerServices services, UninstallerView& view) : s_(services), view_(view) {}

bool Uninstaller::RefuseDirectory(const std::string& reason) {
  s_.prompter.Show(Message{"Fehler", reason + "\nDas Programm wird deshalb abgebrochen.", MessageButtons::Ok,
                           MessageIcon::Stop, BeepKind::Stop});
  return false;
}

bool Uninstaller::Open(const fs::path& startDirectory) {
  startDirectory_ = startDirectory;
  std::string bytes;
  if (!ReadFileBytes(startDirectory / kUninstallControlFile, bytes).ok())
    return RefuseDirectory(std::string("Die Datei ") + kUninstallControlFile + " ist nicht vorhanden.");
  const std::vector<std::string> lines = ControlLines(bytes);

  const fs::path here = Resolved(startDirectory);
  const std::string vorgabe = KeyValue(lines, "Vorgabe=");
  const fs::path named = vorgabe.empty() ? here : fs::path(vorgabe);
  if (!named.is_absolute() || Resolved(named) != here)
    return RefuseDirectory(std::string("Die Datei ") + kUninstallControlFile + " nennt das Programmverzeichnis \"" +
                           vorgabe + "\", liegt aber in " + here.string() + ".");
  // A program directory of its own, never a directory the system or the
  // user's other files live in.
  const fs::path guarded[] = {s_.paths.installRoot, s_.paths.systemDirectory, s_.paths.applicationsDirectory};
  const bool topLevel = std::distance(here.begin(), here.end()) < 3;
  if (topLevel || std::any_of(std::begin(guarded), std::end(guarded),
                              [&](const fs::path& g) { return !g.empty() && Resolved(g) == here; }))
    return RefuseDirectory("Das Verzeichnis " + here.string() + " ist kein Programmverzeichnis.");
  programDirectory_ = here;

  std::error_code ec;
  for (fs::directory_iterator it(programDirectory_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->symlink_status(typeError).type() == fs::file_type::regular)
      files_.push_back(it->path().filename().string());
  }
  std::sort(files_.begin(), files_.end());

  std::vector<std::string> problems;
  ReadSystemFiles(lines, problems);
  if (!lines.empty()) linkPath_ = lines.back();
  CheckLink(problems);
  if (!problems.empty())
    s_.prompter.Show(Message{"Fehler",
                             std::string("Diese Einträge der Datei ") + kUninstallControlFile +
                                 " werden nicht befolgt:\n" + Joined(problems),
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});

  view_.ShowFiles(files_);
  view_.ShowSystemFiles(systemFiles_);
  view_.SetProgress(0, static_cast<int>(files_.size() + systemFiles_.size()));
  return true;
}

void Uninstaller::ReadSystemFiles(const std::vector<std::string>& lines, std::vector<std::string>& problems) {
  if (KeyValue(lines, "Zusatz=") != "1") return;
  withSystemFiles_ = true;
  registrationProgram_ = KeyValue(lines, "Programm=");
  const std::string countText = KeyValue(lines, "Zusatzanzahl=");
  const std::optional<std::uint64_t> count = ParseCount(countText);
  if (!count) {
    if (!countText.empty()) problems.push_back("Zusatzanzahl=" + countText + ": keine gültige Anzahl");
    return;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find("Zusatzanzahl=") == std::string::npos) continue;
    for (size_t k = 1; k <= *count && i + k < lines.size(); ++k) {
      const std::string& name = lines[i + k];
      if (!EndsWith(name, "ocx") && !EndsWith(name, "dll")) continue;
      if (IsPlainFileName(name))
        systemFiles_.push_back(name);
      else
        problems.push_back("\"" + name + "\" ist kein einfacher Dateiname");
    }
  }
}

void Uninstaller::CheckLink(std::vector<std::string>& problems) {
  if (linkPath_.empty()) return;
  const fs::path link(linkPath_);
  const fs::path apps = Resolved(s_.paths.applicationsDirectory);
  const fs::path folder = Resolved(link.parent_path());
  const fs::path rel = folder.lexically_relative(apps);
  const bool inside = link.is_absolute() && !rel.empty() && *rel.begin() != "..";
  if (inside && EndsWith(link.filename().string(), ".desktop") && IsPlainFileName(link.filename().string())) return;
  problems.push_back("\"" + linkPath_ + "\" ist keine Verknüpfung im Anwendungsverzeichnis " +
                     s_.paths.applicationsDirectory.string());
  linkPath_.clear();
}

void Uninstaller::RemoveLinks() {
  if (linkPath_.empty()) return;
  const fs::path link(linkPath_);
  const fs::path folder = Resolved(link.parent_path());
  // A link that is missing already is skipped silently.
  DeleteRegularFile(folder, link.filename().string());
  DeleteRegularFile(folder, std::string(kUninstallerProgram) + ".desktop");
  // The menu folder goes only when it is empty and is not the applications
  // directory itself.
  if (folder != Resolved(s_.paths.applicationsDirectory)) ::rmdir(folder.c_str());
}

void Uninstaller::Uninstall() {
  std::error_code ec;
  const fs::path priceTree = programDirectory_ / fileset::kPriceRoot;
  const bool hasData =
      std::any_of(files_.begin(), files_.end(), IsDepotDataFile) || fs::is_directory(fs::symlink_status(priceTree, ec));
  bool deleteData = false;
  if (hasData)
    deleteData = s_.prompter.Show(Message{"Frage",
                                          "Im Programmverzeichnis " + programDirectory_.string() +
                                              " liegen Ihre Depotdaten (Depots, Fondanbieter, Kurse, DAX-Stände und "
                                              "Fondportraits).\n"
                                              "Sollen die Depotdaten ebenfalls gelöscht werden?\n\n"
                                              "Mit \"Nein\" bleiben sie mit dem Verzeichnis erhalten.",
                                          MessageButtons::YesNo, MessageIcon::Question, BeepKind::Question,
                                          /*defaultNo=*/true}) == Answer::Yes;

  const int total = static_cast<int>(files_.size() + systemFiles_.size());
  int done = 0;
  for (const std::string& name : std::vector<std::string>(files_)) {
    if (!IsDepotDataFile(name) || deleteData) {
      view_.ShowAction("Ich lösche die Datei " + name);
      if (DeleteRegularFile(programDirectory_, name)) {
        view_.FileRemoved(name);
        files_.erase(std::find(files_.begin(), files_.end(), name));
      }
    }
    view_.SetProgress(++done, total);
  }

  if (withSystemFiles_) {
    for (const std::string& name : systemFiles_) {
      view_.ShowAction("Die Datei " + name + "wird aus der Registry entfernt.");
      // The unregistration is started and not watched; where there is no
      // registration program it simply does not start.
      if (EndsWith(name, "ocx")) (void)s_.process.Start("regsvr32.exe", {"/u", "/s", name}, s_.paths.systemDirectory);
    }
    for (const std::string& name : std::vector<std::string>(systemFiles_)) {
      view_.ShowAction("Ich lösche die Datei " + name);
      if (DeleteRegularFile(s_.paths.systemDirectory, name)) {
        view_.SystemFileRemoved(name);
        systemFiles_.erase(std::find(systemFiles_.begin(), systemFiles_.end(), name));
      }
      view_.SetProgress(++done, total);
    }
  }

  RemoveLinks();
  if (deleteData) {
    // Failures leave files behind, which the directory then keeps.
    (void)Directory(priceTree).DeleteTree(programDirectory_);
    // The lock file of the data directory goes with the data (a program
    // still running there keeps its lock on the removed file).
    (void)DeleteRegularFile(programDirectory_, DirectoryLock::kFileName);
  }
  // Removed only when nothing is left in it (the user kept no data).
  ::rmdir(programDirectory_.c_str());
  view_.ShowAction("");
}

}  // namespace tellurio
