#include "platform/DesktopLinks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// A string value of a desktop entry: the escapes \s, \n, \t, \r and \\.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
  return out;
}

// One argument of the Exec key: quoted when it holds a reserved character,
// with ", `, $ and \ escaped inside the quotes; "%" doubled as a field code
// would otherwise be read.
std::string ExecArgument(const std::string& arg) {
  static const std::string kReserved = " \t\n\"'\\><~|&;$*?#()`%";
  std::string quoted;
  bool needsQuotes = arg.empty();
  for (char c : arg) {
    if (kReserved.find(c) != std::string::npos) needsQuotes = true;
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return needsQuotes ? "\"" + quoted + "\"" : quoted;
}

int WriteAtomically(const fs::path& path, const std::string& bytes) {
  std::string tmpl = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return errno;
  int err = 0;
  size_t done = 0;
  while (done < bytes.size() && err == 0) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) err = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (err == 0 && ::fchmod(fd, 0644) != 0) err = errno;
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(tmpl.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(tmpl.c_str());
  return err;
}

}  // namespace

std::string DesktopEntryText(const ShellLink& link) {
  std::string text = "[Desktop Entry]\nType=Application\nVersion=1.4\n";
  text += "Name=" + EscapeValue(link.name) + "\n";
  if (!link.description.empty()) text += "Comment=" + EscapeValue(link.description) + "\n";
  // The Exec key is a string value too: its escapes come on top of the quoting.
  text += "Exec=" + EscapeValue(ExecArgument(link.target.string())) + "\n";
  if (!link.workingDirectory.empty()) text += "Path=" + EscapeValue(link.workingDirectory.string()) + "\n";
  if (!link.icon.empty()) text += "Icon=" + EscapeValue(link.icon.string()) + "\n";
  text += "Terminal=false\n";
  if (!link.categories.empty()) text += "Categories=" + link.categories + "\n";
  return text;
}

int DesktopEntryFiles::Save(const ShellLink& link, const fs::path& folder, const std::string& file) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return ec.value();
  return WriteAtomically(folder / file, DesktopEntryText(link));
}

}  // namespace tellurio
