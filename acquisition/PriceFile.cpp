#include "acquisition/PriceFile.h"

#include "calendar/Calendar.h"
#include "calendar/NumberText.h"

namespace tellurio {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

int TwoDigits(std::string_view s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

}  // namespace

bool IsDateText(std::string_view text) {
  text = Trimmed(text);
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return false;
  for (size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u})
    if (!IsDigit(text[i])) return false;
  const int day = TwoDigits(text, 0);
  const int month = TwoDigits(text, 3);
  const int year = TwoDigits(text, 6) * 100 + TwoDigits(text, 8);
  if (month < 1 || month > 12 || day < 1) return false;
  return day <= Calendar::DaysInMonth(year, month);
}

bool IsPriceText(std::string_view text) {
  text = Trimmed(text);
  size_t i = 0;
  const size_t n = text.size();
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (digits == 0) return false;
  if (i < n && (text[i] == ',' || text[i] == '.')) {
    ++i;
    size_t decimals = 0;
    while (i < n && IsDigit(text[i])) ++i, ++decimals;
    if (decimals == 0) return false;
  }
  return i == n;
}

PriceFile ReadPriceRecords(const std::vector<std::string>& lines) {
  PriceFile file;
  file.groups = static_cast<int>(lines.size() / 6);
  if (file.groups == 0) return file;
  if (!IsDateText(lines[4])) return file;
  file.date = std::string(Trimmed(lines[4]));
  file.records.reserve(static_cast<size_t>(file.groups));
  for (size_t g = 0; g < static_cast<size_t>(file.groups); ++g) {
    const std::string* f = &lines[6 * g];
    if (!IsDateText(f[4]) || !IsPriceText(f[5])) continue;
    const std::string_view price = Trimmed(f[5]);
    if (ParseNumber(price) == 0) continue;
    file.records.push_back(PriceRecord{f[0], f[1], f[2], f[3], file.date, std::string(price)});
  }
  return file;
}

}  // namespace tellurio
