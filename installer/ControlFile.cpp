#include "installer/ControlFile.h"

#include <charconv>

#include "platform/Codec1252.h"

namespace tellurio {

std::vector<std::string> ControlLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(Utf8FromCp1252(bytes.substr(start)));
      break;
    }
    lines.push_back(Utf8FromCp1252(bytes.substr(start, end - start)));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

std::string ControlFileBytes(const std::vector<std::string>& lines, bool* exact) {
  std::string bytes;
  bool allExact = true;
  for (const std::string& line : lines) {
    bool lineExact = true;
    bytes += Cp1252FromUtf8(line, &lineExact);
    bytes += "\r\n";
    allExact = allExact && lineExact;
  }
  if (exact) *exact = allExact;
  return bytes;
}

std::optional<size_t> FindKey(const std::vector<std::string>& lines, std::string_view key) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(key) != std::string::npos) return i;
  return std::nullopt;
}

std::string KeyValue(const std::vector<std::string>& lines, std::string_view key) {
  const std::optional<size_t> line = FindKey(lines, key);
  if (!line) return {};
  const std::string& text = lines[*line];
  return text.substr(text.rfind('=') + 1);
}

std::optional<std::uint64_t> ParseCount(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

ListEntries ReadList(const std::vector<std::string>& lines, std::string_view key) {
  ListEntries list;
  list.keyLine = FindKey(lines, key);
  if (!list.keyLine) return list;
  const std::string value = KeyValue(lines, key);
  if (value.empty()) return list;
  const std::optional<std::uint64_t> count = ParseCount(value);
  if (!count) {
    list.problem = std::string(key) + value + ": keine gültige Anzahl";
    return list;
  }
  const size_t available = lines.size() - *list.keyLine - 1;
  const size_t taken = *count < available ? static_cast<size_t>(*count) : available;
  list.entries.assign(lines.begin() + static_cast<std::ptrdiff_t>(*list.keyLine + 1),
                      lines.begin() + static_cast<std::ptrdiff_t>(*list.keyLine + 1 + taken));
  if (*count > available)
    list.problem = std::string(key) + value + ": es folgen nur " + std::to_string(available) + " Zeilen";
  return list;
}

}  // namespace tellurio
