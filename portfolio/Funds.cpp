#include "portfolio/Funds.h"

#include <cmath>

#include "calendar/NumberText.h"
#include "storage/ListFile.h"

namespace tellurio {

namespace {

std::vector<std::string> Copy(const RecordView& v) {
  std::vector<std::string> out;
  out.reserve(v.size());
  for (size_t i = 0; i < v.size(); ++i) out.emplace_back(v[i]);
  return out;
}

FundMaster MasterOf(const RecordView& v) {
  FundMaster m;
  if (v.size() > 0) m.name = v[0];
  if (v.size() > 1) m.wkn = v[1];
  if (v.size() > 2) m.surchargeFactor = v[2];
  if (v.size() > 3) m.currency = v[3];
  return m;
}

}  // namespace

std::optional<FundMaster> ReadMaster(const RecordStore& store, std::string_view fund) {
  const int i = store.FindKey(fund);
  if (i < 0 || i >= store.RecordCount()) return std::nullopt;
  return MasterOf(store.Values(section::kMaster, i));
}

std::vector<FundMaster> AllMasters(const RecordStore& store) {
  std::vector<FundMaster> out;
  const int n = store.RecordCount();
  out.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) out.push_back(MasterOf(store.Values(section::kMaster, i)));
  return out;
}

std::vector<std::string> FundNames(const RecordStore& store) {
  std::vector<std::string> out;
  const int n = store.RecordCount();
  if (n > 0) store.GetKeys(0, n, out);
  return out;
}

std::vector<std::string> ReadSection(const RecordStore& store, int sec, std::string_view fund) {
  const int i = store.FindKey(fund);
  if (i < 0 || i >= store.RecordCount() || sec < 0 || sec >= store.SectionCount()) return {};
  return Copy(store.Values(sec, i));
}

std::optional<std::string> ExactPrice(const std::vector<std::string>& rows, std::string_view date) {
  for (size_t i = rows.size() / 2; i-- > 0;) {
    if (rows[2 * i] == date && ParseNumber(rows[2 * i + 1]) != 0) return rows[2 * i + 1];
  }
  return std::nullopt;
}

DatedPrice LatestPrice(const std::vector<std::string>& rows) {
  for (size_t i = rows.size() / 2; i-- > 0;) {
    if (ParseNumber(rows[2 * i + 1]) != 0) return DatedPrice{rows[2 * i], rows[2 * i + 1]};
  }
  return DatedPrice{};
}

namespace {

bool IsHoliday(const Calendar& calendar, const std::string& text) {
  for (const HolidayEntry& h : calendar.Holidays(0))
    if (h.date == text) return true;
  return false;
}

bool IsWeekend(PackedDate d) {
  const int w = Calendar::WeekdayOf(d);
  return w == 0 || w == 6;
}

PackedDate DayBefore(PackedDate d) {
  return Calendar::Normalise(MakePackedDate(PackedYear(d), PackedMonth(d), PackedDay(d) - 1));
}

}  // namespace

PackedDate PreviousBusinessDay(const Calendar& calendar, PackedDate date) {
  PackedDate d = Calendar::Normalise(date);
  while (IsHoliday(calendar, Calendar::FormatDate(d))) d = DayBefore(d);
  while (IsWeekend(d)) d = DayBefore(d);
  return d;
}

std::string PreviousBusinessDayText(const Calendar& calendar, std::string_view date) {
  return Calendar::FormatDate(PreviousBusinessDay(calendar, Calendar::ParseDate(date)));
}

bool IsBusinessDay(const Calendar& calendar, PackedDate date) {
  const PackedDate d = Calendar::Normalise(date);
  return !IsWeekend(d) && !IsHoliday(calendar, Calendar::FormatDate(d));
}

std::string IssuePriceText(std::string_view price, std::string_view factor) {
  return FormatNumber(ParseNumber(price) * ParseNumber(factor), 2);
}

std::string SurchargePercentText(std::string_view factor) {
  const double f = ParseNumber(factor);
  if (f == 0) return "k.A.";
  return FormatNumber(WithoutBinaryNoise((f - 1) * 100), 2);
}

std::string SurchargeFactorText(std::string_view percent) { return FormatNumber(1 + ParseNumber(percent) / 100, 4); }

std::string ShareSumText(double sum) {
  if (!std::isfinite(sum)) return FormatNumber(sum, 4);
  // + 0.0 turns a negative zero into zero.
  return FormatNumber(std::round(sum * 10000.0) / 10000.0 + 0.0, 4);
}

std::optional<std::string> StorablePrice(const RecordStore& store, const std::string& price) {
  const unsigned char key = ListKeyOf(std::to_string(store.SectionCount()));
  if (RoundTrips(price, key, false)) return price;
  if (price.find_first_of(",.") == std::string::npos) {
    const std::string whole = price + ",00";
    if (RoundTrips(whole, key, false)) return whole;
  }
  return std::nullopt;
}

}  // namespace tellurio
