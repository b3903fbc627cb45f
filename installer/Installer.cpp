#include "installer/Installer.h"

#include <algorithm>
#include <cerrno>

#include "installer/ControlFile.h"
#include "installer/FileCopy.h"
#include "installer/SizeText.h"
#include "platform/Codec1252.h"
#include "platform/ErrorText.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& text, const char* end) {
  const std::string e(end);
  return text.size() >= e.size() && text.compare(text.size() - e.size(), e.size(), e) == 0;
}

fs::path ExistingAncestor(fs::path p) {
  std::error_code ec;
  while (!p.empty() && !fs::is_directory(p, ec) && p != p.root_path()) p = p.parent_path();
  return p;
}

bool Cp1252Exact(const std::string& text) {
  bool exact = true;
  Cp1252FromUtf8(text, &exact);
  return exact;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : "\n") + l;
  return text;
}

constexpr const char* kProgramDescription = "Investmentfonds in Depots verwalten";

}  // namespace

Installer::Installer(InstallerServices services, InstallerView& view, InstallerDialogs& dialogs)
    : s_(services), view_(view), dialogs_(dialogs) {}

bool Installer::Open(const fs::path& sourceDirectory) {
  source_ = sourceDirectory;
  std::string bytes;
  if (!ReadFileBytes(source_ / kInstallControlFile, bytes).ok()) {
    s_.prompter.Show(Message{"Fehler",
                             std::string("Die Datei ") + kInstallControlFile +
                                 " ist nicht vorhanden.\nDie Installation wird deshalb abgebrochen.",
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return false;
  }
  control_ = ReadInstallControl(ControlLines(bytes));
  if (!control_.problems.empty()) {
    s_.prompter.Show(Message{"Fehler",
                             std::string("Die Datei ") + kInstallControlFile +
                                 " enthält Einträge, denen das Installationsprogramm nicht folgt:\n" +
                                 Joined(control_.problems) + "\nDie Installation wird deshalb abgebrochen.",
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return false;
  }
  ApplyRenames();
  if (!control_.licenceFile.empty()) licence_ = ReadTextFile(control_.licenceFile);
  if (!control_.notesFile.empty()) notes_ = ReadTextFile(control_.notesFile);

  view_.ShowSource(source_.string());
  std::error_code ec;
  const fs::path programme = s_.paths.installRoot / "Programme";
  target_ = (fs::is_directory(programme, ec) ? programme / kProgramFolder : s_.paths.installRoot / kProgramFolder)
                .lexically_normal();
  view_.ShowTarget(target_.string());
  view_.ShowNeededSpace(SizeText(control_.neededSpace));
  ShowSpaceAndStatus();
  const size_t extras = control_.withExtras ? control_.extras.size() : 0;
  totalSteps_ = static_cast<int>(control_.files.size() + extras);
  view_.SetFileProgress(0, 100);
  view_.SetTotalProgress(0, totalSteps_);
  return true;
}

void Installer::ApplyRenames() {
  std::vector<std::string> failed;
  for (const Rename& r : control_.renames) {
    std::error_code ec;
    const fs::path from = source_ / r.from;
    const fs::path to = source_ / r.to;
    // Renamed by an earlier run that was then cancelled.
    if (!fs::exists(fs::symlink_status(from, ec)) && fs::exists(fs::symlink_status(to, ec))) continue;
    const std::string problem = CopyFileChecked(from, to);
    if (!problem.empty()) {
      failed.push_back(problem);
      continue;
    }
    // The new name holds the same bytes; an old name that stays is harmless.
    fs::remove(from, ec);
  }
  if (!failed.empty())
    s_.prompter.Show(Message{"Fehler", "Nicht alle Dateien konnten umbenannt werden:\n" + Joined(failed),
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
}

std::vector<std::string> Installer::ReadTextFile(const std::string& name) {
  std::string bytes;
  // An unreadable file switches its step off, as an empty value would.
  if (!ReadFileBytes(source_ / name, bytes).ok()) return {};
  return ControlLines(bytes);
}

std::optional<std::uint64_t> Installer::FreeSpaceOfTarget() const {
  return s_.drives.FreeSpace(ExistingAncestor(target_));
}

void Installer::ShowSpaceAndStatus() {
  const std::optional<std::uint64_t> free = FreeSpaceOfTarget();
  if (!free || *free <= control_.neededSpace) {
    view_.ShowStatus("Installation auf diesem Laufwerk nicht möglich");
    if (free) view_.ShowFreeSpace(SizeText(*free));
    return;
  }
  view_.ShowStatus("Installation auf diesem Laufwerk möglich");
  view_.ShowFreeSpace(SizeText(*free));
}

void Installer::ChangeTarget() {
  PathChoice rules(s_.prompter, s_.drives, target_);
  if (!dialogs_.ChooseTarget(rules)) return;
  target_ = rules.Chosen();
  view_.ShowTarget(target_.string());
  ShowSpaceAndStatus();
}

void Installer::RemoveFromSource(const std::string& name) {
  std::error_code ec;
  // Only ever called once the file's copy is known to be complete; a file
  // that cannot be removed just stays in the source directory.
  fs::remove(source_ / name, ec);
}

bool Installer::CopyOne(const fs::path& from, const fs::path& to, const std::string& name) {
  view_.ShowAction("Kopiere die Datei " + name);
  view_.SetFileProgress(0, 100);
  const std::string problem = CopyFileChecked(from, to, [this](size_t block, size_t blocks) {
    view_.SetFileProgress(static_cast<int>(block + 1), static_cast<int>(blocks));
  });
  ++totalDone_;
  view_.SetTotalProgress(std::min(totalDone_, totalSteps_), totalSteps_);
  if (!problem.empty()) failures_.push_back(problem);
  return problem.empty();
}

void Installer::InstallExtras(std::vector<std::string>& skipped) {
  if (!control_.withExtras || control_.registrationProgram.empty()) return;
  const fs::path& system = s_.paths.systemDirectory;
  for (const std::string& e : control_.extras) {
    bool done = CopyOne(source_ / e, target_ / e, e);
    const bool library = EndsWith(e, "dll") || EndsWith(e, "ocx");
    std::error_code ec;
    if (library && fs::exists(fs::symlink_status(system / e, ec))) {
      skipped.push_back(e);
    } else if (library) {
      fs::create_directories(system, ec);
      const bool copied = CopyOne(source_ / e, system / e, e);
      done = done && copied;
      if (copied && EndsWith(e, "ocx")) {
        if (const int err = s_.process.Start(control_.registrationProgram, {"/s", e}, system); err != 0)
          failures_.push_back("Das Registrierungsprogramm " + control_.registrationProgram +
                              " konnte nicht gestartet werden: " + GermanErrorText(err));
      }
    }
    if (done) RemoveFromSource(e);
  }
}

std::string Installer::CreateLinks() {
  const std::optional<std::string> program = FindProgramFile(control_.files, target_);
  if (!program) return {};
  const std::string name = ProgramName(*program);
  const std::string title = MenuTitle(name);
  const fs::path folder = s_.paths.applicationsDirectory / title;
  const std::string icon = FindIconFile(control_.files);
  const fs::path iconPath = icon.empty() ? fs::path() : target_ / icon;
  auto save = [&](const ShellLink& link, const std::string& file) {
    if (const int err = s_.links.Save(link, folder, file); err != 0)
      failures_.push_back("Die Verknüpfung " + (folder / file).string() +
                          " konnte nicht angelegt werden: " + GermanErrorText(err));
  };
  save(ShellLink{title, kProgramDescription, target_ / *program, target_, iconPath}, name + ".desktop");
  std::error_code ec;
  if (fs::exists(target_ / kUninstallerProgram, ec))
    save(ShellLink{title + " deinstallieren", title + " vom Rechner entfernen", target_ / kUninstallerProgram, target_,
                   iconPath},
         std::string(kUninstallerProgram) + ".desktop");
  return (folder / (name + ".desktop")).string();
}

void Installer::RuntimeFiles() {
  static const std::pair<const char*, const char*> kRuntime[] = {{"Mfc42.ssl", "Mfc42.dll"},
                                                                 {"Msvcrt.ssl", "Msvcrt.dll"}};
  for (const auto& [from, to] : kRuntime) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target_ / from, ec))) continue;
    const std::string problem = CopyFileChecked(target_ / from, target_ / to);
    if (!problem.empty()) {
      failures_.push_back(problem);
      continue;
    }
    fs::remove(target_ / from, ec);  // the copy is in place; a left ".ssl" file is harmless
  }
}

DialogStep Installer::Start() {
  const std::optional<std::uint64_t> free = FreeSpaceOfTarget();
  if (!free || *free <= control_.neededSpace) {
    s_.prompter.Show(Message{"Fehler", "Auf dem ausgewählten Laufwerk kann das Programm nicht installiert werden.",
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return DialogStep::Stay;
  }
  std::error_code ec;
  // Installing into the source directory would delete every file after
  // "copying" it onto itself.
  if (fs::weakly_canonical(target_, ec) == fs::weakly_canonical(source_, ec)) {
    s_.prompter.Show(Message{"Fehler",
                             "Das Zielverzeichnis ist das Quellverzeichnis.\nBitte wählen Sie mit \"Ändern...\" "
                             "ein anderes Zielverzeichnis.",
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return DialogStep::Stay;
  }
  // The uninstaller finds the program directory and the menu link through
  // uinstall.txt, which holds code page 1252 only.
  const std::string linkFolder = (s_.paths.applicationsDirectory / kProgramFolder).string();
  for (const std::string& path : {target_.string(), linkFolder}) {
    if (Cp1252Exact(path)) continue;
    s_.prompter.Show(Message{"Fehler",
                             "Der Pfad " + path +
                                 " enthält Zeichen, die das Deinstallationsprogramm nicht lesen kann.\n"
                                 "Bitte wählen Sie mit \"Ändern...\" ein anderes Zielverzeichnis.",
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return DialogStep::Stay;
  }
  if (!licence_.empty() && !dialogs_.AcceptLicence(licence_)) return DialogStep::Cancel;

  fs::create_directories(target_, ec);
  if (ec || !fs::is_directory(target_)) {
    s_.prompter.Show(Message{"Fehler",
                             "Das Verzeichnis " + target_.string() +
                                 " kann nicht angelegt werden: " + GermanErrorText(ec ? ec.value() : ENOTDIR),
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return DialogStep::Stay;
  }

  failures_.clear();
  totalDone_ = 0;
  for (const std::string& f : control_.files)
    if (CopyOne(source_ / f, target_ / f, f)) RemoveFromSource(f);
  std::vector<std::string> skipped;
  InstallExtras(skipped);
  const std::string linkPath = CreateLinks();
  RuntimeFiles();

  const std::vector<std::string> lines = UninstallLines(control_.lines, target_, skipped, linkPath);
  const Status written = WriteFileAtomically(target_ / kUninstallControlFile, ControlFileBytes(lines));
  if (!written.ok()) failures_.push_back(written.Describe());
  view_.ShowAction("");

  if (failures_.empty()) {
    // The source directory has done its work only now; after a failure its
    // control file stays for another run.
    RemoveFromSource(kInstallControlFile);
    if (!control_.licenceFile.empty()) RemoveFromSource(control_.licenceFile);
    if (!control_.notesFile.empty()) RemoveFromSource(control_.notesFile);
  } else {
    s_.prompter.Show(Message{"Fehler",
                             "Bei der Installation sind Fehler aufgetreten:\n" + Joined(failures_) +
                                 "\n\nDie Datei install.txt bleibt im Quellverzeichnis, damit die Installation "
                                 "wiederholt werden kann.",
                             MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  }
  if (!notes_.empty()) dialogs_.ShowNotes(notes_);
  return DialogStep::Accept;
}

}  // namespace tellurio
