#include "analysis/SavingsPlan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "analysis/Statistics.h"
#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"
#include "portfolio/Funds.h"

namespace tellurio {

namespace {

// DayNumber form 0 of a date, from its fields.
int DayOf(PackedDate d) { return PackedYear(d) * 360 + (PackedMonth(d) - 1) * 30 + PackedDay(d); }
// DayNumber form 3 (day and month only).
int DayOfYear(PackedDate d) { return (PackedMonth(d) - 1) * 30 + PackedDay(d); }

// Number texts are added up as the totals are kept: as 2-decimal texts.
double Truncated(double value) { return ParseNumber(FormatNumber(value, 2)); }

double Field(const RecordView& v, size_t i) { return i < v.size() ? ParseNumber(v[i]) : 0; }

std::vector<std::string> Copy(const RecordView& v) {
  std::vector<std::string> out;
  out.reserve(v.size());
  for (size_t i = 0; i < v.size(); ++i) out.emplace_back(v[i]);
  return out;
}

// Characters (not bytes) of a UTF-8 text.
size_t Width(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

bool IsDistributionDay(std::string_view t) {
  auto digit = [&](size_t i) { return t[i] >= '0' && t[i] <= '9'; };
  if (t.size() != 6 || !digit(0) || !digit(1) || t[2] != '.' || !digit(3) || !digit(4) || t[5] != '.') return false;
  const int day = (t[0] - '0') * 10 + (t[1] - '0');
  const int month = (t[3] - '0') * 10 + (t[4] - '0');
  // A leap year, so that 29.02. is a day of the year.
  return month >= 1 && month <= 12 && day >= 1 && day <= Calendar::DaysInMonth(2000, month);
}

double DistributionRatio(const std::vector<std::string>& holding, const std::vector<std::string>& opening,
                         const std::vector<std::string>& purchases, const std::vector<std::string>& sales) {
  double h = holding.size() >= 2 ? ParseNumber(holding[1]) : 0;
  if (opening.size() >= 2) h -= ParseNumber(opening[1]);
  double bought = 0;
  for (size_t i = 2; i < purchases.size(); i += 4) bought += ParseNumber(purchases[i]);
  const size_t saleCount = sales.size() / 4;
  double soldBeforeLast = 0;
  for (size_t k = 0; k + 1 < saleCount; ++k) soldBeforeLast += ParseNumber(sales[4 * k + 2]);
  const double sold = soldBeforeLast + (saleCount > 0 ? ParseNumber(sales[4 * (saleCount - 1) + 2]) : 0);
  const double s = bought - sold;
  double x = 0;
  if (h > 0) {
    x = (h - s) / h;
  } else if (saleCount >= 2) {
    // Without a holding the growth is measured against the shares held just
    // before the last sale; with fewer than two sales (or none held then)
    // there is nothing to measure against.
    const double s2 = bought - soldBeforeLast;
    if (s2 != 0) x = -s / s2;
  }
  if (!std::isfinite(x)) return 0;
  // (1 + X) multiplies the shares: below 0 it would turn them negative.
  return std::max(x, -1.0);
}

namespace {

// A price text that certainly reads as more than 0: at most 15 digits with
// at most one decimal comma, the first digit not 0.  Others are read to find
// out.
bool PlainPositive(std::string_view t) {
  if (t.empty() || t.size() > 15 || t[0] < '1' || t[0] > '9') return false;
  bool comma = false;
  for (char c : t) {
    if (c == ',' && !comma)
      comma = true;
    else if (c < '0' || c > '9')
      return false;
  }
  return true;
}

bool HasPrice(std::string_view t) { return PlainPositive(t) || ReadPrice(t) > 0; }

}  // namespace

bool ReadSavingsFund(const RecordStore& store, std::string_view name, SavingsFund& f) {
  const int r = store.FindKey(name);
  if (r < 0 || r >= store.RecordCount()) return false;
  const RecordView master = store.Values(section::kMaster, r);
  f.surchargeFactor = Field(master, 2);
  f.currency = master.size() > 3 ? std::string(master[3]) : std::string();
  f.distributionRatio =
      DistributionRatio(Copy(store.Values(section::kHolding, r)), Copy(store.Values(section::kOpening, r)),
                        Copy(store.Values(section::kPurchases, r)), Copy(store.Values(section::kSales, r)));
  f.source = store.Values(section::kPrices, r);
  f.dates.clear();
  f.days.clear();
  f.prices.clear();
  f.sourceDates.clear();
  f.indexed = false;
  return true;
}

void LoadSavingsRows(SavingsFund& f) {
  f.dates.clear();
  f.days.clear();
  f.prices.clear();
  const size_t rows = f.source.size() / 2;
  f.dates.reserve(rows);
  f.days.reserve(rows);
  f.prices.reserve(rows);
  bool ordered = true;
  for (size_t k = 0; k < rows; ++k) {
    const double price = ReadPrice(f.source[2 * k + 1]);
    if (!(price > 0)) continue;  // no price on that day
    const PackedDate date = ReadPriceDate(f.source[2 * k]);
    const int day = DayOf(date);
    if (!f.days.empty() && day < f.days.back()) ordered = false;
    f.dates.push_back(date);
    f.days.push_back(day);
    f.prices.push_back(price);
  }
  if (ordered) return;
  std::vector<size_t> order(f.days.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return f.days[a] < f.days[b]; });
  const std::vector<PackedDate> dates = f.dates;
  const std::vector<int> days = f.days;
  const std::vector<double> prices = f.prices;
  for (size_t k = 0; k < order.size(); ++k) {
    f.dates[k] = dates[order[k]];
    f.days[k] = days[order[k]];
    f.prices[k] = prices[order[k]];
  }
}

bool IndexSavingsRows(SavingsFund& f) {
  f.sourceDates.clear();
  f.indexed = false;
  const RecordView& v = f.source;
  const size_t n = v.size() / 2;
  f.sourceDates.reserve(n);
  // The month of the row before: the bytes ".MM.JJJJ" of its date, its year
  // and month; the day of the row before.
  std::uint64_t key = ~std::uint64_t{0};
  int year = 0, month = 0, lastDay = 0;
  for (size_t k = 0; k < n; ++k) {
    const std::string_view t = v[2 * k];
    if (t.size() != 10) return false;
    std::uint64_t rowKey;
    std::memcpy(&rowKey, t.data() + 2, sizeof rowKey);
    // The day "TT": two digits, checked at once.
    std::uint16_t tt;
    std::memcpy(&tt, t.data(), sizeof tt);
    if ((tt & 0xF0F0) != 0x3030 || ((tt + 0x0606) & 0xF0F0) != 0x3030) return false;
    const int day = (tt & 0x0F) * 10 + ((tt >> 8) & 0x0F);
    if (rowKey != key) {
      // A new month: ".MM.JJJJ" with a month 01..12, after the one before.
      int digits[6];
      for (int i = 0; i < 6; ++i) digits[i] = t[i < 2 ? 3 + i : 4 + i] - '0';
      for (int d : digits)
        if (d < 0 || d > 9) return false;
      const int m = digits[0] * 10 + digits[1];
      const int y = ((digits[2] * 10 + digits[3]) * 10 + digits[4]) * 10 + digits[5];
      if (t[2] != '.' || t[5] != '.' || m < 1 || m > 12) return false;
      if (key != ~std::uint64_t{0} && (y < year || (y == year && m <= month))) return false;
      key = rowKey;
      year = y;
      month = m;
      lastDay = 1;
    }
    if (day < lastDay || day > 31) return false;
    lastDay = day;
    f.sourceDates.push_back(MakePackedDate(year, month, day));
  }
  f.indexed = true;
  return true;
}

namespace {

// The numbers a plan starts with.
struct PlanStart {
  bool monthly;
  double amount;
  double growth;
  double rate;
  int start;
  int end;
  int distributionDay;
  explicit PlanStart(const SavingsInput& in, SavingsMode mode)
      : monthly(mode == SavingsMode::Monthly),
        amount(ParseNumber(in.initialAmount)),
        growth(1 + ParseNumber(in.yearlyIncrease) / 100),
        rate(ParseNumber(in.monthlyRate)),
        start(DayNumber(in.start, 0)),
        end(DayNumber(in.end, 0)),
        distributionDay(DayNumber(in.distributionDay, 3)) {}
};

FundPlanResult NoData() {
  FundPlanResult out;
  out.failure = SavingsFailure::NoData;
  return out;
}

// The result of a walk: amounts that overflowed (an absurd rate or
// increase over many years) have no figure to show; "0,00" would be one.
FundPlanResult Finished(FundPlanResult out, double paid, double value) {
  if (!std::isfinite(paid) || !std::isfinite(value)) {
    out.failure = SavingsFailure::TooLarge;
    return out;
  }
  out.paidIn = FormatNumber(paid, 2);
  out.finalValue = FormatNumber(value, 2);
  return out;
}

// The walk over rows in memory.
FundPlanResult WalkLoaded(const PlanStart& p, const SavingsFund& fund, double factor, int debitDay) {
  FundPlanResult out;
  const size_t n = fund.dates.size();
  // The first row in the period (a start before the first row moves to it);
  // a period without any row has no result.
  const size_t first =
      static_cast<size_t>(std::lower_bound(fund.days.begin(), fund.days.end(), p.start) - fund.days.begin());
  if (n == 0 || p.end < fund.days[0] || first == n || fund.days[first] > p.end) return NoData();
  const double f = fund.surchargeFactor;
  double rate = p.rate;

  out.start = Calendar::FormatDate(fund.dates[first]);
  double paid = p.amount;
  double shares = (p.amount / factor) / (fund.prices[first] * f);
  // This year's distribution is already past when the start lies after it.
  bool distributed = DayOfYear(fund.dates[first]) > p.distributionDay;
  int month = PackedMonth(fund.dates[first]);
  bool debited = false;
  size_t k = first;
  for (; k < n && p.end > fund.days[k]; ++k) {
    const PackedDate date = fund.dates[k];
    // A new month first, so that its first row can already be the one
    // after the debit day (or the distribution day).
    if (PackedMonth(date) != month) {
      month = PackedMonth(date);
      debited = false;
      if (month == 1) {
        distributed = false;
        if (p.monthly) rate *= p.growth;
      }
    }
    // The rate is debited on the first row after the debit day and buys at
    // the price of the row before (the last one on or before the debit day).
    if (p.monthly && !debited && PackedDay(date) > debitDay) {
      paid += rate;
      shares += (rate / factor) / (fund.prices[k == 0 ? 0 : k - 1] * f);
      debited = true;
    }
    if (!distributed && DayOfYear(date) > p.distributionDay) {
      shares *= 1 + fund.distributionRatio;
      distributed = true;
    }
  }
  // Prices that end before the period give the value of their last day.
  if (k == n) out.end = Calendar::FormatDate(fund.dates[n - 1]);
  const double finalPrice = fund.prices[k < n ? k : n - 1];
  return Finished(std::move(out), paid, shares * finalPrice * factor);
}

// The same walk over a store's rows with their dates indexed (every row,
// with or without a price): a row's price is read only where something
// happens (a new month, a debit, a distribution, the end), and of most rows
// only the day is looked at.
FundPlanResult WalkIndexed(const PlanStart& p, const SavingsFund& fund, double factor, int debitDay) {
  const RecordView& v = fund.source;
  const std::vector<PackedDate>& dates = fund.sourceDates;
  const size_t n = dates.size();
  auto priced = [&](size_t k) { return HasPrice(v[2 * k + 1]); };
  auto price = [&](size_t k) { return ReadPrice(v[2 * k + 1]); };
  constexpr size_t npos = static_cast<size_t>(-1);
  const double f = fund.surchargeFactor;

  // The month of the row looked at (year × 256 + month), its month, the day
  // number of its day 0; rows of that month before the day `due` change
  // nothing.
  int key = -1, rowMonth = 0, base = 0, due = 1;

  FundPlanResult out;
  size_t first = npos, stop = npos;
  double rate = p.rate, paid = 0, shares = 0;
  bool distributed = false, debited = false;
  int month = 0;
  auto firstDue = [&]() -> int {
    if (stop != npos) return 32;
    if (first == npos) return std::max(1, p.start - base);
    if (rowMonth != month) return 1;  // the month changes at its first row with a price
    int day = p.end - base;
    if (p.monthly && !debited) day = std::min(day, debitDay + 1);
    if (!distributed) day = std::min(day, p.distributionDay - (rowMonth - 1) * 30 + 1);
    return std::max(day, 1);
  };

  for (size_t k = 0; k < n; ++k) {
    const PackedDate date = dates[k];
    const int dayOfMonth = PackedDay(date);
    if (date >> 8 != key) {
      key = date >> 8;
      rowMonth = PackedMonth(date);
      base = PackedYear(date) * 360 + (rowMonth - 1) * 30;
      due = firstDue();
    }
    if (dayOfMonth < due) {
      // Most rows: those of this month before day `due` change nothing.  The
      // dates ascend, so the walk goes on at the first row on or after that
      // day, or at the first of a later month (due above 31 skips the month).
      const PackedDate target = key * 256 + std::min(due, 32);
      const auto from = dates.begin() + static_cast<std::ptrdiff_t>(k) + 1;
      const auto near = from + static_cast<std::ptrdiff_t>(std::min<size_t>(n - k - 1, 32));
      auto it = std::lower_bound(from, near, target);
      if (it == near) it = std::lower_bound(near, dates.end(), target);
      k = static_cast<size_t>(it - dates.begin()) - 1;
      continue;
    }
    // Something may happen in this row, if it has a price.
    const int day = base + dayOfMonth;
    const int dayOfYear = (rowMonth - 1) * 30 + dayOfMonth;
    if (first == npos) {
      if (day < p.start || !priced(k)) continue;
      if (day > p.end) return NoData();
      first = k;
      out.start = Calendar::FormatDate(date);
      paid = p.amount;
      shares = (p.amount / factor) / (price(k) * f);
      distributed = dayOfYear > p.distributionDay;
      month = rowMonth;
    } else if (!priced(k)) {
      continue;
    }
    if (day >= p.end) {
      stop = k;
      break;
    }
    if (rowMonth != month) {
      month = rowMonth;
      debited = false;
      if (month == 1) {
        distributed = false;
        if (p.monthly) rate *= p.growth;
      }
    }
    if (p.monthly && !debited && dayOfMonth > debitDay) {
      size_t before = k;  // the row before with a price, or this one when it is the first
      for (size_t j = k; j-- > 0;)
        if (priced(j)) {
          before = j;
          break;
        }
      paid += rate;
      shares += (rate / factor) / (price(before) * f);
      debited = true;
    }
    if (!distributed && dayOfYear > p.distributionDay) {
      shares *= 1 + fund.distributionRatio;
      distributed = true;
    }
    due = firstDue();
  }
  if (first == npos) return NoData();
  if (stop == npos) {
    // Prices that end before the period give the value of their last day.
    for (size_t j = n; j-- > 0;)
      if (priced(j)) {
        stop = j;
        break;
      }
    out.end = Calendar::FormatDate(dates[stop]);
  }
  return Finished(std::move(out), paid, shares * price(stop) * factor);
}

}  // namespace

FundPlanResult SimulateFund(const SavingsInput& input, const SavingsFund& fund, double factor, SavingsMode mode,
                            int debitDay) {
  const PlanStart p(input, mode);
  FundPlanResult out;
  if (!fund.dates.empty() || fund.source.empty()) {
    out = WalkLoaded(p, fund, factor, debitDay);
  } else if (fund.indexed) {
    out = WalkIndexed(p, fund, factor, debitDay);
  } else {
    SavingsFund own = fund;
    if (IndexSavingsRows(own)) {
      out = WalkIndexed(p, own, factor, debitDay);
    } else {
      LoadSavingsRows(own);
      out = WalkLoaded(p, own, factor, debitDay);
    }
  }
  if (out.failure == SavingsFailure::None && out.end.empty()) out.end = input.end;
  return out;
}

std::optional<SavingsTotals> ComputeTotals(const std::vector<FundPlanResult>& results, const std::string& end,
                                           const Calendar& calendar) {
  const FundPlanResult* first = nullptr;
  std::string last;  // the latest end of the funds
  double paid = 0, value = 0;
  for (const FundPlanResult& r : results) {
    if (r.failure != SavingsFailure::None) continue;
    if (!first) first = &r;
    const std::string& own = r.end.empty() ? end : r.end;
    if (last.empty() || CompareDates(own, last, 0) > 0) last = own;
    // A sum beyond what a number holds would be written "0,00".
    const double paidSum = paid + ParseNumber(r.paidIn), valueSum = value + ParseNumber(r.finalValue);
    if (!std::isfinite(paidSum) || !std::isfinite(valueSum)) return std::nullopt;
    paid = Truncated(paidSum);
    value = Truncated(valueSum);
  }
  if (!first) return std::nullopt;
  SavingsTotals t;
  t.paidIn = FormatNumber(paid, 2);
  t.finalValue = FormatNumber(value, 2);
  t.profit = FormatNumber(value - paid, 2);
  t.period = first->start + " - " + last;
  const int days = calendar.DateDifference(first->start, last);
  t.returnPercent = kNoReturn;
  if (days > 0 && paid > 0) {
    const double r = WithoutBinaryNoise((std::pow(value / paid, 365.0 / days) - 1) * 100);
    if (std::isfinite(r)) t.returnPercent = FormatNumber(r, 2);
  }
  return t;
}

std::string DebitDayText(int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.", day);
  return text;
}

std::string ReportNumber(std::string_view text) { return FormatNumber(ParseNumber(text), 2); }

std::vector<std::string> SavingsReport::Texts() const {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const ReportLine& l : lines) out.push_back(l.text);
  return out;
}

namespace {

// A fund line in the columns of the header line: the name at the left, each
// further cell ending where its heading ends (at least one blank apart).
std::string FundLineText(const std::vector<std::string>& cells) {
  static const char* const kHeadings[] = {"Kaufdatum",     "Anfangsbetrag", "monatliche Rate",
                                          "Dynamisierung", "Ausschüttung",  "Anlagezeitraum"};
  const std::string_view header = kReportColumnHeader;
  std::string line = cells[0];
  size_t width = Width(line);
  for (size_t c = 1; c < cells.size(); ++c) {
    const size_t at = header.find(kHeadings[c - 1]);
    const size_t headingEnd = Width(header.substr(0, at)) + Width(kHeadings[c - 1]);
    const size_t cellWidth = Width(cells[c]);
    const size_t startAt = headingEnd > cellWidth ? headingEnd - cellWidth : 0;
    const size_t pad = startAt > width ? startAt - width : 1;
    line.append(pad, ' ');
    line += cells[c];
    width += pad + cellWidth;
  }
  return line;
}

}  // namespace

SavingsReport BuildSavingsReport(const SavingsCalculation& c) {
  SavingsReport report;
  const bool oneFund = c.scope == SavingsScope::Fund;
  report.title = oneFund ? "Renditeberechnung des Fonds " + (c.inputs.empty() ? std::string() : c.inputs[0].fund)
                         : "Renditeberechnung des Depots " + c.depot;
  auto add = [&](ReportLineKind kind, std::string text) {
    report.lines.push_back(ReportLine{kind, std::move(text), {}});
  };
  add(ReportLineKind::Title, report.title);
  add(ReportLineKind::Heading, "Ausgangswerte");
  add(ReportLineKind::ColumnHeader, kReportColumnHeader);
  const std::string currency = " " + c.currency;
  for (size_t i = 0; i < c.inputs.size() && i < c.results.size(); ++i) {
    const SavingsInput& in = c.inputs[i];
    std::vector<std::string> cells = {
        in.fund,
        in.purchaseDate,
        ReportNumber(in.initialAmount) + currency,
        ReportNumber(in.monthlyRate) + currency,
        ReportNumber(in.yearlyIncrease) + "%",
        in.distributionDay,
        c.results[i].start + " - " + (c.results[i].end.empty() ? in.end : c.results[i].end)};
    std::string text = FundLineText(cells);
    report.lines.push_back(ReportLine{ReportLineKind::Fund, std::move(text), std::move(cells)});
  }
  if (c.mode == SavingsMode::Monthly) {
    add(ReportLineKind::Text, "Tag der monatlichen Abbuchung der Sparrate: " + DebitDayText(c.debitDay));
  }
  add(ReportLineKind::Heading, "Ergebis");
  const SavingsTotals& t = c.totals;
  add(ReportLineKind::Text, "Investierter Gesamtbetrag: " + t.paidIn + currency);
  add(ReportLineKind::Text, "Erzielter Endbetrag: " + t.finalValue + currency);
  add(ReportLineKind::Text, "Gewinn: " + t.profit + currency);
  add(ReportLineKind::Text, "Rendite:" + t.returnPercent + (t.returnPercent == kNoReturn ? "" : "%"));
  add(ReportLineKind::Text, "Anlagezeitraum: " + t.period);
  return report;
}

}  // namespace tellurio
