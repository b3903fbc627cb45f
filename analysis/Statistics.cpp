#include "analysis/Statistics.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "calendar/NumberText.h"
#include "platform/Clock.h"
#include "portfolio/Funds.h"

namespace tellurio {

namespace {

// A quotient that the figures may use: 0 instead of inf or nan.
double Finite(double v) { return std::isfinite(v) ? v : 0; }

// The change from before to now in percent, without the binary noise of the
// quotient (so that a change of exactly 7 % is not shown as "6,99").
double ChangePercent(double now, double before) {
  return before == 0 ? 0 : Finite(WithoutBinaryNoise((now / before - 1) * 100));
}

// A date of the usual form "TT.MM.JJJJ" at p (ten bytes), read without a
// loop; false for any other ten bytes.
inline bool UsualDate(const char* p, PackedDate& out) {
  std::uint64_t head;  // "TT.MM.JJ"
  std::uint16_t tail;  // "JJ"
  std::memcpy(&head, p, 8);
  std::memcpy(&tail, p + 8, 2);
  const std::uint64_t dots = 0x00002E00002E0000ull;
  const std::uint64_t mask = 0x0000FF0000FF0000ull;
  if ((head & mask) != dots) return false;
  // The dots replaced by '0', then all eight bytes checked for digits at
  // once (a byte is 0x30..0x39 exactly when its high half is 3 and adding
  // 6 keeps it so).
  const std::uint64_t digits = (head & ~mask) | (0x3030303030303030ull & mask);
  const bool allDigits = ((digits & 0xF0F0F0F0F0F0F0F0ull) |
                          (((digits + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4)) == 0x3333333333333333ull;
  const int t8 = (tail & 0xFF) - '0', t9 = (tail >> 8) - '0';
  if (!allDigits || static_cast<unsigned>(t8) >= 10 || static_cast<unsigned>(t9) >= 10) return false;
  const std::uint64_t v = digits - 0x3030303030303030ull;
  auto at = [v](int i) { return static_cast<int>((v >> (8 * i)) & 0xFF); };
  out = MakePackedDate(at(6) * 1000 + at(7) * 100 + t8 * 10 + t9, at(3) * 10 + at(4), at(0) * 10 + at(1));
  return true;
}

// ReadPriceDate, inline for the usual form.
inline PackedDate DateOf(std::string_view t) {
  PackedDate d;
  if (t.size() == 10 && UsualDate(t.data(), d)) return d;
  return Calendar::ParseDate(t);
}

}  // namespace

PackedDate ReadPriceDate(std::string_view t) { return DateOf(t); }

namespace {

// A price text of the usual form (digits, one decimal comma, at most 15
// digits) as its digits and the number of decimals; -1 for any other text.
// The digits form an exact integer and the power of ten is exact, so one
// division gives the same double as ParseNumber.
int PriceDigits(std::string_view t, std::uint64_t& m) {
  const char* p = t.data();
  const char* const end = p + t.size();
  m = 0;
  int digits = 0;
  while (p < end && static_cast<unsigned>(*p - '0') < 10) m = m * 10 + static_cast<unsigned>(*p++ - '0'), ++digits;
  int fraction = 0;
  if (p < end && *p == ',' && digits > 0) {
    ++p;
    while (p < end && static_cast<unsigned>(*p - '0') < 10)
      m = m * 10 + static_cast<unsigned>(*p++ - '0'), ++digits, ++fraction;
  }
  return p != end || digits == 0 || digits > 15 ? -1 : fraction;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

inline __attribute__((always_inline)) double PriceOf(std::string_view text) {
  // Most prices have one to five digits and two decimals ("123,45"): their
  // digits are read in one short loop, checked all at once.
  const size_t n = text.size();
  if (n >= 4 && n <= 8 && text[n - 3] == ',') {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    unsigned bad = 0, units = 0;
    for (size_t i = 0; i + 3 < n; ++i) {
      const unsigned d = static_cast<unsigned>(p[i]) - unsigned{'0'};
      bad |= d > 9 ? 1u : 0u;
      units = units * 10 + d;
    }
    const unsigned tenths = static_cast<unsigned>(p[n - 2]) - unsigned{'0'};
    const unsigned hundredths = static_cast<unsigned>(p[n - 1]) - unsigned{'0'};
    bad |= (tenths > 9 ? 1u : 0u) | (hundredths > 9 ? 1u : 0u);
    units = units * 100 + tenths * 10 + hundredths;
    if (!bad) return static_cast<double>(units) / 100.0;
  }
  std::uint64_t digits;
  const int fraction = PriceDigits(text, digits);
  return fraction < 0 ? ParseNumber(text) : static_cast<double>(digits) / kPowersOfTen[fraction];
}

// The length of the line at p, up to its "\n" or to end.
inline size_t LineLength(const char* p, const char* end) {
  if (end - p >= 8) {
    // The first "\n" among eight bytes: a byte of x is zero exactly there
    // (the lowest bit found is exact; bits above it may be false).
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    const std::uint64_t x = w ^ 0x0A0A0A0A0A0A0A0Aull;
    const std::uint64_t zero = (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
    if (zero) return static_cast<size_t>(__builtin_ctzll(zero)) / 8;
  }
  const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
  return static_cast<size_t>((nl ? static_cast<const char*>(nl) : end) - p);
}

}  // namespace

double ReadPrice(std::string_view text) { return PriceOf(text); }

bool ReadPriceRows(std::string_view text, size_t rows, double* price, PackedDate* date) {
  const char* p = text.data();
  const char* const end = p + text.size();
  // Prices run from day to day, so most dates have the month and year of
  // the date before: where its ".MM.JJJJ" is that of the last date read in
  // full, only the day is read.
  bool known = false;  // a date read in full
  std::uint64_t lastMonthYear = 0;
  PackedDate lastMonthStart = 0;
  for (size_t r = 0; r < rows; ++r) {
    // A date of ten characters, its "\n" or "\r\n", and a price line.
    if (end - p < 12) return false;
    std::uint64_t monthYear;
    std::memcpy(&monthYear, p + 2, 8);
    const unsigned tens = static_cast<unsigned char>(p[0]) - unsigned{'0'};
    const unsigned ones = static_cast<unsigned char>(p[1]) - unsigned{'0'};
    if (known && monthYear == lastMonthYear && tens < 10 && ones < 10) {
      date[r] = lastMonthStart + static_cast<PackedDate>(tens * 10 + ones);
    } else {
      if (!UsualDate(p, date[r])) return false;
      known = true;
      lastMonthYear = monthYear;
      lastMonthStart = date[r] - PackedDay(date[r]);
    }
    p += 10;
    if (*p == '\r') ++p;
    if (*p != '\n') return false;
    ++p;
    const size_t n = LineLength(p, end);
    const char* const next = p + n;
    price[r] = PriceOf(std::string_view(p, n > 0 && next != end && p[n - 1] == '\r' ? n - 1 : n));
    if (next == end) return r + 1 == rows;
    p = next + 1;  // past the "\n"
  }
  return true;
}

namespace {

std::vector<double> Changes(const std::vector<double>& a) {
  if (a.size() <= 1) return {0};
  std::vector<double> out;
  out.reserve(a.size() - 1);
  for (size_t k = 1; k < a.size(); ++k) out.push_back(a[k - 1] == 0 ? 100 : ChangePercent(a[k], a[k - 1]));
  return out;
}

struct Group {
  double sum = 0;
  int nonzero = 0;
  void Add(double p) {
    sum += p;
    if (p != 0) ++nonzero;
  }
  double Average() const { return nonzero == 0 ? 0 : sum / nonzero; }
};

// The weekday of a valid date straight from its fields (Gregorian, 0 =
// Sunday); dates with a day or month out of range go through the calendar.
bool IsFriday(PackedDate d) {
  int y = PackedYear(d);
  const int m = PackedMonth(d), day = PackedDay(d);
  if (m < 1 || m > 12 || day < 1 || day > 28) return Calendar::WeekdayOf(d) == 5;
  static constexpr int kOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) --y;
  return (y + y / 4 - y / 100 + y / 400 + kOffset[m - 1] + day) % 7 == 5;
}

std::vector<double> WeeklyAverages(const Statistics::Series& s) {
  std::vector<double> out;
  Group g;
  bool open = false;
  for (size_t i = 0; i < s.price.size(); ++i) {
    const bool friday = IsFriday(s.date[i]);
    if (i == 0 && friday) continue;  // a series starting on a Friday leaves that price out
    g.Add(s.price[i]);
    open = true;
    if (friday) {
      out.push_back(g.Average());
      g = Group{};
      open = false;
    }
  }
  if (open) out.push_back(g.Average());
  return out;
}

// Monthly groups by the month alone, advancing one month per group, so a
// month without prices gives a group of its own with average 0: the groups
// from the first row of s on, when the walk's month before it was `key`
// (the walk over a whole series starts before the first row's month; it is
// in the month of row r - 1 when it reaches row r at a change of month, as
// every row joins the group of its own month).  Records the first price of
// every January as a year start, when asked.
std::vector<double> MonthlyGroups(const Statistics::Series& s, int key, std::vector<size_t>* yearStarts) {
  std::vector<double> out;
  const size_t n = s.price.size();
  auto month = [&](size_t i) { return PackedMonth(s.date[i]); };
  size_t pos = 0;
  int empty = 0;
  while (pos < n) {
    key = key == 12 ? 1 : key + 1;
    // A month that never comes round (a damaged date) forms its own group.
    if (empty >= 12) key = month(pos);
    const size_t start = pos;
    Group g;
    while (pos < n && month(pos) == key) g.Add(s.price[pos++]);
    if (pos == start && empty >= 12) g.Add(s.price[pos++]);
    empty = pos == start ? empty + 1 : 0;
    if (yearStarts && key == 1 && pos > start && start != 0) yearStarts->push_back(start);
    out.push_back(g.Average());
  }
  return out;
}

std::vector<double> MonthlyAverages(const Statistics::Series& s, std::vector<size_t>& yearStarts) {
  if (s.price.empty()) return {};
  const int first = PackedMonth(s.date[0]);
  if (first == 12) yearStarts.push_back(0);
  return MonthlyGroups(s, first == 1 ? 12 : first - 1, &yearStarts);
}

// The two figures of a fund's ranking line from its monthly averages and
// changes: the change of the last month with a nonzero average against
// the month before it, and the last nonzero monthly change.  True when
// both were there (for averages and changes of a series' last months:
// when they decide the figures of the whole series).
bool RankingFigures(const std::vector<double>& averages, const std::vector<double>& changes, double& change,
                    double& percent) {
  size_t j = averages.size();
  while (j > 0 && averages[j - 1] == 0) --j;
  change = j >= 2 ? averages[j - 1] - averages[j - 2] : 0;
  percent = 0;
  for (size_t k = changes.size(); k > 0; --k) {
    if (changes[k - 1] != 0) {
      percent = changes[k - 1];
      return j >= 2;
    }
  }
  return false;
}

// Yearly groups advancing one year per group; a year without prices gives
// average 0.  A series that is not in date order (a year lower than the
// current one) starts a new group at that year instead of running on.
std::vector<double> YearlyAverages(const Statistics::Series& s) {
  std::vector<double> out;
  const size_t n = s.price.size();
  if (n == 0) return out;
  auto year = [&](size_t i) { return PackedYear(s.date[i]); };
  int key = year(0) - 1;
  size_t pos = 0;
  while (pos < n) {
    ++key;
    if (year(pos) < key) key = year(pos);
    Group g;
    while (pos < n && year(pos) == key) g.Add(s.price[pos++]);
    out.push_back(g.Average());
  }
  return out;
}

// The ranking figures of an archived fund from its last months alone (see
// Statistics::TailRanking): `line(i)` gives the i-th of its `values` price
// values (date and price by turns).
template <class Line>
bool TailFiguresOf(const Line& line, size_t values, double& change, double& percent) {
  const size_t n = values / 2;
  if (n == 0) {
    // No prices: no averages, one change of 0.
    change = percent = 0;
    return true;
  }
  // The rows from the start of the second run of one month from the end
  // (or the whole series): the walk over them gives the last groups of the
  // whole walk, their averages and the changes between them.  Two runs tell
  // the ranking of a fund whose last month has prices and differs from the
  // month before.
  constexpr int kRuns = 2;
  thread_local std::vector<PackedDate> backwards;
  backwards.assign(1, DateOf(line(2 * (n - 1))));
  size_t start = n - 1;
  int keyBefore = 0;
  bool whole = true;
  for (int runs = 1; start > 0; --start) {
    const PackedDate d = DateOf(line(2 * (start - 1)));
    if (PackedMonth(d) != PackedMonth(backwards.back()) && ++runs > kRuns) {
      keyBefore = PackedMonth(d);
      whole = false;
      break;
    }
    backwards.push_back(d);
  }
  thread_local Statistics::SeriesData tail;
  tail.date.assign(backwards.rbegin(), backwards.rend());
  tail.price.resize(n - start);
  for (size_t r = start; r < n; ++r) tail.price[r - start] = PriceOf(line(2 * r + 1));
  if (whole) {
    std::vector<size_t> yearStarts;
    const std::vector<double> averages = MonthlyAverages(tail.View(), yearStarts);
    RankingFigures(averages, Changes(averages), change, percent);
    return true;
  }
  // The last nonzero average and the one before it must both lie in the
  // tail, and so must the last nonzero change.
  const std::vector<double> groups = MonthlyGroups(tail.View(), keyBefore, nullptr);
  return RankingFigures(groups, Changes(groups), change, percent);
}

double Field(const RecordView& v, size_t i) { return i < v.size() ? ParseNumber(v[i]) : 0; }

}  // namespace

std::vector<std::string> DerivedLabels(PackedDate first, int kind, size_t count) {
  std::vector<std::string> out;
  out.reserve(count);
  int month = PackedMonth(first), year = PackedYear(first);
  // A change is that of an average against the one before: it belongs to
  // the later month or year, so the changes start one after the first price.
  if (kind == 3) ++year;
  if (kind == 2 && ++month == 13) {
    month = 1;
    ++year;
  }
  for (size_t i = 0; i < count; ++i) {
    if (kind == 0 || kind == 2) {
      // "%02d/%02d", written digit by digit (a chart asks for hundreds).
      const int mm = month % 100, yy = ((year % 100) + 100) % 100;
      if (mm >= 0) {
        const char text[5] = {static_cast<char>('0' + mm / 10), static_cast<char>('0' + mm % 10), '/',
                              static_cast<char>('0' + yy / 10), static_cast<char>('0' + yy % 10)};
        out.emplace_back(text, sizeof text);
      } else {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02d/%02d", mm, yy);
        out.emplace_back(buf);
      }
      if (++month == 13) {
        month = 1;
        ++year;
      }
    } else {
      out.push_back(std::to_string(year++));
    }
  }
  return out;
}

std::string PadToWidth(std::string text, int target, const std::function<int(const std::string&)>& width) {
  for (int guard = 0; width(text) < target - 2 && guard < 1000; ++guard) text += ' ';
  return text;
}

const RecordStore& Statistics::StoreOf(Scope scope) const {
  return scope == Scope::DepotFunds ? state_.depotStore : state_.auxiliaryStore;
}

void ReadPriceSection(const RecordView& v, double* price, PackedDate* date) {
  const size_t rows = v.size() / 2;
  if (rows == 0 || ReadPriceRows(v.Text(), rows, price, date)) return;
  auto readRow = [&](size_t r) {
    date[r] = ReadPriceDate(v[2 * r]);
    price[r] = ReadPrice(v[2 * r + 1]);
  };
  const size_t split = v.InFirstPiece();
  if (split < 2 * rows) {
    // One section of a large store lies in both halves: the rows wholly in
    // the first, the row whose date and price are split (if any), and the
    // rest in the second.
    const size_t before = split / 2, after = (split + 1) / 2;
    if (ReadPriceRows(v.Text(0, 2 * before), before, price, date)) {
      if (after > before) readRow(before);
      if (ReadPriceRows(v.Text(2 * after, 2 * (rows - after)), rows - after, price + after, date + after)) return;
    }
  }
  for (size_t r = 0; r < rows; ++r) readRow(r);
}

void Statistics::ReadOne(Scope scope, int record, double* price, PackedDate* date) const {
  ReadPriceSection(StoreOf(scope).Values(section::kPrices, record), price, date);
}

void Statistics::ReadOne(Scope scope, int record, SeriesData& s) const {
  const size_t rows = StoreOf(scope).Values(section::kPrices, record).size() / 2;
  s.price.resize(rows);
  s.date.resize(rows);
  ReadOne(scope, record, s.price.data(), s.date.data());
}

std::vector<Statistics::SeriesData> Statistics::ReadSeries(Scope scope) const {
  const int n = StoreOf(scope).RecordCount();
  std::vector<SeriesData> out(static_cast<size_t>(std::max(0, n)));
  for (int i = 0; i < n; ++i) ReadOne(scope, i, out[static_cast<size_t>(i)]);
  return out;
}

std::optional<Statistics::RowSource> Statistics::SourceOf(Scope scope, int record,
                                                          const detail::LineTable* table) const {
  static constexpr int kDepotSections[5] = {section::kPrices, section::kPurchases, section::kSales, section::kHolding,
                                            section::kOpening};
  const RecordStore& store = StoreOf(scope);
  const int sections = scope == Scope::DepotFunds ? 5 : 1;
  RowSource src;
  for (int k = 0; k < sections; ++k) {
    const RecordView v = store.Values(kDepotSections[k], record);
    if (!table || v.Table() != table) return std::nullopt;
    src.first[static_cast<size_t>(k)] = v.FirstLine();
    src.size[static_cast<size_t>(k)] = static_cast<uint32_t>(v.size());
  }
  return src;
}

void Statistics::RecomputeStatistics(Scope scope) {
  Recompute(scope, true);
  // After this recompute the views show the ranking of all funds.
  if (scope == Scope::AllFunds) StartTailJob();
}

void Statistics::RecomputeWithoutWeekly(Scope scope) { Recompute(scope, false); }

void Statistics::Recompute(Scope scope, bool weekly) {
  const bool archive = scope == Scope::AllFunds;
  if (archive) tailJob_.reset();  // its figures are of the rows before
  ranking_[archive ? 1 : 0].valid = false;
  std::vector<FundStatistics>& table = TableOf(scope);
  const RecordStore& store = StoreOf(scope);
  const int n = std::max(0, store.RecordCount());
  const RiskInputs risk = Inputs();

  // Rows computed before from the same lines of the same table with the
  // same risk inputs are taken over (after a command, all funds but those
  // it changed); the others are computed.  An archive row not computed yet
  // is taken over as one still to compute, with its ranking figures.
  ScopeSource& source = source_[archive ? 1 : 0];
  std::vector<char> pendingBefore;
  std::vector<TailFigures> tailsBefore;
  if (archive) {
    pendingBefore = std::move(pending_);
    tailsBefore = std::move(tails_);
    pending_.assign(static_cast<size_t>(n), 0);
    tails_.assign(static_cast<size_t>(n), TailFigures{});
    pendingCount_ = 0;
  }
  const std::shared_ptr<const detail::LineTable> lines = store.SharedTable();
  std::vector<FundStatistics> before = std::move(table);
  std::unordered_map<uint32_t, size_t> previous;  // first price line -> row computed before
  if (lines && source.table.lock() == lines && source.risk.rate == risk.rate &&
      source.risk.indexChange == risk.indexChange && source.weekly == weekly) {
    for (size_t j = 0; j < source.rows.size() && j < before.size(); ++j)
      if (source.rows[j]) previous.emplace(source.rows[j]->first[0], j);
  }
  std::vector<std::optional<RowSource>> sources(static_cast<size_t>(n));
  table.assign(static_cast<size_t>(n), FundStatistics{});
  std::vector<int> todo;
  todo.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    std::optional<RowSource>& src = sources[static_cast<size_t>(i)];
    src = SourceOf(scope, i, lines.get());
    auto it = src ? previous.find(src->first[0]) : previous.end();
    if (it != previous.end() && source.rows[it->second] == src) {
      const size_t j = it->second;
      table[static_cast<size_t>(i)] = std::move(before[j]);
      if (archive && j < pendingBefore.size() && pendingBefore[j]) {
        pending_[static_cast<size_t>(i)] = 1;
        ++pendingCount_;
        if (j < tailsBefore.size()) tails_[static_cast<size_t>(i)] = tailsBefore[j];
      }
      previous.erase(it);  // a row is taken over once
    } else if (archive) {
      pending_[static_cast<size_t>(i)] = 1;
      ++pendingCount_;
    } else {
      todo.push_back(i);
    }
  }
  source.table = lines;
  source.risk = risk;
  source.weekly = weekly;
  source.rows = std::move(sources);

  // The archive's rows are computed when they are first read (most
  // archived funds are only seen in the ranking, which needs the last
  // months alone).
  if (archive) return;
  ComputeRows(scope, todo, weekly, risk);
  Totals();
}

void Statistics::ComputeRows(Scope scope, const std::vector<int>& todo, bool weekly, const RiskInputs& risk) const {
  std::vector<FundStatistics>& table = TableOf(scope);
  // Every fund's figures depend on that fund alone, so each fund runs all
  // passes at once from one reading of its prices, and the funds can be
  // shared between two threads.  Only the depot totals add up the funds,
  // in their order, afterwards.
  auto run = [&](size_t from, size_t to) {
    // One buffer per thread for the prices of the fund at hand.
    SeriesData own;
    for (size_t k = from; k < to; ++k) {
      const int i = todo[k];
      ReadOne(scope, i, own);
      const Series s = own.View();
      FundStatistics& st = table[static_cast<size_t>(i)];
      if (scope == Scope::DepotFunds && weekly) FundPass(scope, Period::Weekly, i, s, st);
      FundPass(scope, Period::Monthly, i, s, st);
      FundPass(scope, Period::Yearly, i, s, st);
      FundRisk(s, st, risk);
    }
  };
  // Two threads when there are many prices to read (thousands of archived
  // funds, or a depot of long series), each with about half of them.
  const RecordStore& store = StoreOf(scope);
  const size_t count = todo.size();
  std::vector<size_t> rowsBefore(count + 1, 0);
  for (size_t k = 0; k < count; ++k)
    rowsBefore[k + 1] = rowsBefore[k] + store.Values(section::kPrices, todo[k]).size() / 2;
  if (count >= 2 && rowsBefore[count] >= 100000) {
    const size_t half = static_cast<size_t>(
        std::lower_bound(rowsBefore.begin(), rowsBefore.end(), rowsBefore[count] / 2) - rowsBefore.begin());
    const size_t split = std::clamp<size_t>(half, 1, count - 1);
    std::thread other(run, split, count);
    run(0, split);
    other.join();
  } else {
    run(0, count);
  }
}

bool Statistics::Pending(size_t record) const { return record < pending_.size() && pending_[record]; }

void Statistics::SettleRows(const std::vector<int>& todo) const {
  // Computed from the store as it is now.  A record that is no longer made
  // of the lines seen by the last recompute (the store was changed without
  // one) keeps no source, so that its row is never taken over for them.
  const int n = std::max(0, StoreOf(Scope::AllFunds).RecordCount());
  std::vector<int> rows;
  rows.reserve(todo.size());
  for (int i : todo)
    if (i < n && i < static_cast<int>(all_.size())) rows.push_back(i);
  ScopeSource& source = source_[1];
  ComputeRows(Scope::AllFunds, rows, source.weekly, source.risk);
  const std::shared_ptr<const detail::LineTable> lines = StoreOf(Scope::AllFunds).SharedTable();
  for (int i : todo) {
    const size_t k = static_cast<size_t>(i);
    if (k < source.rows.size() && source.rows[k] && source.rows[k] != SourceOf(Scope::AllFunds, i, lines.get()))
      source.rows[k].reset();
    pending_[k] = 0;
  }
  pendingCount_ -= todo.size();
}

void Statistics::SettleRow(int record) const {
  if (record < 0 || !Pending(static_cast<size_t>(record))) return;
  SettleRows({record});
}

void Statistics::SettleAll() const {
  if (pendingCount_ == 0) return;
  std::vector<int> todo;
  todo.reserve(pendingCount_);
  for (size_t i = 0; i < pending_.size(); ++i)
    if (pending_[i]) todo.push_back(static_cast<int>(i));
  SettleRows(todo);
}

const std::vector<FundStatistics>& Statistics::Table(Scope scope) const {
  if (scope == Scope::DepotFunds) return depot_;
  SettleAll();
  return all_;
}

void Statistics::ComputeSeriesAndValues(Scope scope, Period period) {
  if (scope == Scope::AllFunds) SettleAll();                 // the pass adds to whole rows
  source_[scope == Scope::DepotFunds ? 0 : 1].rows.clear();  // a single pass: the rows are no longer whole
  ranking_[scope == Scope::DepotFunds ? 0 : 1].valid = false;
  std::vector<FundStatistics>& table = TableOf(scope);
  table.resize(static_cast<size_t>(std::max(0, StoreOf(scope).RecordCount())));
  const std::vector<SeriesData> series = ReadSeries(scope);
  for (size_t i = 0; i < table.size(); ++i) FundPass(scope, period, static_cast<int>(i), series[i].View(), table[i]);
  if (scope == Scope::DepotFunds && period == Period::Monthly) Totals();
}

void Statistics::ComputeRiskFigures(Scope scope) {
  if (scope == Scope::AllFunds) SettleAll();                 // the risk figures use the rows' averages
  source_[scope == Scope::DepotFunds ? 0 : 1].rows.clear();  // computed with other risk inputs
  ranking_[scope == Scope::DepotFunds ? 0 : 1].valid = false;
  std::vector<FundStatistics>& table = TableOf(scope);
  table.resize(static_cast<size_t>(std::max(0, StoreOf(scope).RecordCount())));
  // The averages that the risk figures use are those of the last passes.
  const std::vector<SeriesData> series = ReadSeries(scope);
  const RiskInputs risk = Inputs();
  for (size_t i = 0; i < table.size(); ++i) FundRisk(series[i].View(), table[i], risk);
}

void Statistics::FundPass(Scope scope, Period period, int record, const Series& s, FundStatistics& st) const {
  if (s.price.empty()) {
    (period == Period::Weekly    ? st.weeklyChanges
     : period == Period::Monthly ? st.monthlyChanges
                                 : st.yearlyChanges) = {0};
    return;
  }
  if (period == Period::Weekly) {
    st.weeklyChanges = Changes(WeeklyAverages(s));
    return;
  }
  if (period == Period::Yearly) {
    st.yearlyAverages = YearlyAverages(s);
    st.yearlyChanges = Changes(st.yearlyAverages);
    return;
  }
  std::vector<size_t> yearStarts;
  st.monthlyAverages = MonthlyAverages(s, yearStarts);
  st.monthlyChanges = Changes(st.monthlyAverages);

  // V1: the newest price that is not zero (the first when all are).
  size_t newest = s.price.size() - 1;
  while (newest > 0 && s.price[newest] == 0) --newest;
  if (s.price[newest] == 0) newest = 0;
  const double p = s.price[newest];
  st.changeSinceYearStart = yearStarts.empty() ? 0 : ChangePercent(p, s.price[yearStarts.back()]);
  st.changeSinceFirst = ChangePercent(p, s.price[0]);
  if (scope != Scope::DepotFunds) return;

  const RecordStore& store = StoreOf(scope);
  const RecordView purchases = store.Values(section::kPurchases, record);
  const RecordView sales = store.Values(section::kSales, record);
  const RecordView holding = store.Values(section::kHolding, record);
  const RecordView opening = store.Values(section::kOpening, record);
  st.changeSinceLastPurchase =
      purchases.size() >= 4 ? ChangePercent(p, Field(purchases, purchases.size() / 4 * 4 - 4 + 1)) : 0;
  double invested = 0, received = 0;
  // A savings plan books hundreds of purchases: their amounts are read with
  // the price reader's short cut (the same numbers as ParseNumber).
  for (size_t r = 0; r + 3 < purchases.size(); r += 4) invested += ReadPrice(purchases[r + 3]);
  if (opening.size() >= 2) invested += ParseNumber(opening[0]);
  for (size_t r = 0; r + 3 < sales.size(); r += 4) received += ReadPrice(sales[r + 3]);
  if (holding.size() >= 2) {
    st.value = p * ParseNumber(holding[1]);
    received += st.value;
  }
  st.profit = received - invested;

  // V6: the annual return over the time from the first to the newest price.
  auto dayNumber = [](PackedDate d) { return DaysFromCivil(CivilDate{PackedYear(d), PackedMonth(d), PackedDay(d)}); };
  const long long days = std::llabs(dayNumber(s.date[newest]) - dayNumber(s.date[0]));
  const double years = static_cast<double>(days) / 365.0;
  st.annualReturn = invested == 0 || days == 0 || received / invested < 0
                        ? 0
                        : Finite(WithoutBinaryNoise((std::pow(received / invested, 1 / years) - 1) * 100));
}

void Statistics::Totals() {
  // V5: the totals in the display currency, cut to 2 decimals after every fund.
  depotValue_.clear();
  depotProfit_.clear();
  const RecordStore& store = state_.depotStore;
  const std::vector<std::string>& factors = state_.currencyFactors;
  for (size_t i = 0; i < depot_.size(); ++i) {
    const RecordView master = store.Values(section::kMaster, static_cast<int>(i));
    const std::string_view currency = master.size() > 3 ? master[3] : std::string_view();
    double factor = 1;
    for (size_t k = 0; k + 1 < factors.size(); k += 2) {
      if (factors[k] == currency) {
        factor = ParseNumber(factors[k + 1]);
        break;
      }
    }
    depotValue_ = FormatNumber(ParseNumber(depotValue_) + depot_[i].value * factor, 2);
    depotProfit_ = FormatNumber(ParseNumber(depotProfit_) + depot_[i].profit * factor, 2);
  }
}

Statistics::RiskInputs Statistics::Inputs() const {
  // The index change of the newest DAX day: the values are the second of
  // each (date, value) pair, and only the last two are read (the history
  // holds thousands of days).
  const std::vector<std::string>& series = state_.daxSeries;
  const size_t values = series.size() / 2;
  RiskInputs in;
  if (values >= 2) {
    const double before = ParseNumber(series[2 * values - 3]), newest = ParseNumber(series[2 * values - 1]);
    in.indexChange = before == 0 ? -1 : newest / before - 1;
  }
  in.rate = state_.moneyMarketRate;
  return in;
}

void Statistics::FundRisk(const Series& s, FundStatistics& st, const RiskInputs& in) {
  const size_t n = s.price.size();
  if (n == 0) {
    st.volatility = 1;
    st.maximumLoss = st.longestLossPeriod = st.sharpeRatio = st.treynorRatio = 0;
    return;
  }
  // The last 36 months of averages; a price belongs to the month whose
  // MM/JJ label it carries (labels count on from the first price's month).
  const std::vector<double>& avg = st.monthlyAverages;
  const size_t first = avg.size() > 36 ? avg.size() - 36 : 0;
  st.volatility = 0;
  if (!avg.empty()) {
    std::array<int, 13 * 100> monthOfLabel;
    monthOfLabel.fill(-1);
    int month = PackedMonth(s.date[0]), year = PackedYear(s.date[0]);
    for (size_t k = 0; k < avg.size(); ++k) {
      const int label = (month % 13) * 100 + ((year % 100) + 100) % 100;
      if (k >= first && monthOfLabel[static_cast<size_t>(label)] < 0)
        monthOfLabel[static_cast<size_t>(label)] = static_cast<int>(k);
      if (++month == 13) {
        month = 1;
        ++year;
      }
    }
    double largest = 0, smallest = 0;
    // Prices of one month follow each other: its label is looked up once.
    PackedDate lastMonth = -1;
    int k = -1;
    for (size_t r = 0; r < n; ++r) {
      const PackedDate month = s.date[r] / 256;
      if (month != lastMonth) {
        lastMonth = month;
        const int m0 = PackedMonth(s.date[r]);
        k = m0 < 0 || m0 > 12
                ? -1
                : monthOfLabel[static_cast<size_t>(m0 * 100 + ((PackedYear(s.date[r]) % 100) + 100) % 100)];
      }
      if (k < 0) continue;
      const double deviation = s.price[r] - avg[static_cast<size_t>(k)];
      largest = std::max(largest, deviation);
      smallest = std::min(smallest, deviation);
    }
    st.volatility = largest - smallest;
  }
  st.maximumLoss = n > 60 ? s.price[n - 1] - s.price[n - 61] : s.price[n - 1] - s.price[0];
  int run = 0, longest = 0;
  for (size_t k = first + 1; k < avg.size(); ++k) {
    run = avg[k] < avg[k - 1] ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  st.longestLossPeriod = longest;

  const std::vector<double>& y = st.yearlyAverages;
  double excess = 0;
  if (!y.empty()) {
    const double divisor = y.size() < 4 ? y[0] : y[y.size() - 4];
    const double q = divisor == 0 ? 0 : y.back() / divisor;
    excess = (q - 1) * 100 - in.rate;
  }
  st.sharpeRatio = y.empty() || st.volatility == 0 ? 0 : Finite(excess / st.volatility);
  st.treynorRatio = 0;
  if (n > 2) {
    double b = s.price[n - 1] - s.price[n - 2];
    if (in.indexChange != 0) b /= in.indexChange;
    st.treynorRatio = b == 0 ? 0 : Finite(excess / b);
  }
}

std::vector<std::string> Statistics::DerivedSeriesList(int fund, Scope scope, int kind) const {
  if (scope == Scope::AllFunds) SettleRow(fund);
  const std::vector<FundStatistics>& table = TableOf(scope);
  if (fund < 0 || static_cast<size_t>(fund) >= table.size()) return {};
  const FundStatistics& st = table[static_cast<size_t>(fund)];
  const std::vector<double>& values = kind == 0   ? st.monthlyAverages
                                      : kind == 1 ? st.yearlyAverages
                                      : kind == 2 ? st.monthlyChanges
                                                  : st.yearlyChanges;
  const RecordView prices = StoreOf(scope).Values(section::kPrices, fund);
  const PackedDate first = prices.size() >= 2 ? ReadPriceDate(prices[0]) : calendar_.Today();
  std::vector<std::string> labels = DerivedLabels(first, kind, values.size());
  std::vector<std::string> out;
  out.reserve(2 * values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    out.push_back(std::move(labels[i]));
    out.push_back(FormatNumber(values[i], 2));
  }
  return out;
}

std::array<std::string, 2> Statistics::DepotTotalLines(const std::function<int(const std::string&)>& width) const {
  const std::string profitLabel = "Gewinn des Depots: ";
  const std::string valueLabel = PadToWidth("Wert des Depots: ", width(profitLabel), width);
  std::string value = FormatNumber(ParseNumber(depotValue_), 2);
  std::string profit = FormatNumber(ParseNumber(depotProfit_), 2);
  std::string& shorter = width(value) < width(profit) ? value : profit;
  const int target = std::max(width(value), width(profit));
  for (int guard = 0; width(shorter) < target - 2 && guard < 1000; ++guard) shorter.insert(shorter.begin(), ' ');
  const std::string currency = " " + state_.currency;
  return {valueLabel + value + currency, profitLabel + profit + currency};
}

const std::array<const char*, 14> Statistics::kFundInfoLabels = {"Wert des Fonds",
                                                                 "Gewinn des Fonds:",
                                                                 "Wertanstieg/Anteil seit dem ersten Kauf",
                                                                 "Wertanstieg/Anteil seit dem letzten Jahr",
                                                                 "Wertanstieg/Anteil seit dem letzten Kauf",
                                                                 "Anstieg im Verhältnis zum Vorjahr",
                                                                 "Anstieg im Verhältnis zur Vormonat",
                                                                 "Anstieg im Verhältnis zur Vorwoche",
                                                                 "Rendite des Fonds",
                                                                 "Volatilität",
                                                                 "Maximaler Verlust",
                                                                 "Längste Verlustperiode",
                                                                 "Sharpe-Ratio",
                                                                 "Treyner-Ratio"};

std::array<std::string, 14> Statistics::FundInfoLines(int fund, Scope scope) const {
  std::array<std::string, 14> out;
  if (scope == Scope::AllFunds) SettleRow(fund);
  const std::vector<FundStatistics>& table = TableOf(scope);
  if (fund < 0 || static_cast<size_t>(fund) >= table.size()) return out;
  const FundStatistics& st = table[static_cast<size_t>(fund)];
  const RecordStore& store = StoreOf(scope);
  const std::optional<FundMaster> master = ReadMaster(store, store.Keys()[static_cast<size_t>(fund)]);
  const std::string currency = " " + (master ? master->currency : std::string());
  auto last = [](const std::vector<double>& v) { return v.empty() ? 0.0 : v.back(); };
  auto f = [](double v) { return FormatNumber(v, 2); };
  out = {f(st.value) + currency,
         f(st.profit) + currency,
         f(st.changeSinceFirst) + " %",
         f(st.changeSinceYearStart) + " %",
         f(st.changeSinceLastPurchase) + " %",
         f(last(st.yearlyChanges)) + " %",
         f(last(st.monthlyChanges)) + " %",
         f(last(st.weeklyChanges)) + " %",
         f(st.annualReturn) + " %",
         f(st.volatility) + currency,
         f(st.maximumLoss) + currency,
         f(st.longestLossPeriod) + (st.longestLossPeriod == 1 ? " Monat" : " Monate"),
         f(st.sharpeRatio),
         f(st.treynorRatio)};
  return out;
}

const std::vector<RankingLine>& Statistics::FundRanking(Scope scope) const {
  const std::vector<FundStatistics>& table = TableOf(scope);
  const std::vector<std::string>& keys = StoreOf(scope).Keys();
  const size_t n = std::min(table.size(), keys.size());
  RankingCache& cache = ranking_[scope == Scope::DepotFunds ? 0 : 1];
  // Built again after the table was computed, or when the fund list no
  // longer has the names the ranking was built with.
  if (cache.valid && cache.names.size() == n && std::equal(cache.names.begin(), cache.names.end(), keys.begin()))
    return cache.lines;
  if (scope == Scope::AllFunds && pendingCount_ > 0) {
    TakeTailJob();
    // The archived funds whose rows are not computed yet, from their last
    // months; each fund alone, so thousands are shared between two threads.
    std::vector<int> unknown;
    for (size_t i = 0; i < n; ++i)
      if (Pending(i) && !tails_[i].known) unknown.push_back(static_cast<int>(i));
    auto run = [&](size_t from, size_t to) {
      for (size_t k = from; k < to; ++k) {
        TailFigures& tail = tails_[static_cast<size_t>(unknown[k])];
        tail.known = TailRanking(unknown[k], tail.change, tail.percent);
      }
    };
    if (unknown.size() >= 1000) {
      std::thread other(run, unknown.size() / 2, unknown.size());
      run(0, unknown.size() / 2);
      other.join();
    } else {
      run(0, unknown.size());
    }
    // Where the last months do not tell, the whole rows do: computed all
    // at once.
    std::vector<int> whole;
    for (int i : unknown)
      if (!tails_[static_cast<size_t>(i)].known) whole.push_back(i);
    if (!whole.empty()) SettleRows(whole);
  }
  std::vector<RankingLine> lines;
  lines.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    RankingLine l;
    l.fund = keys[i];
    double p = 0;
    // An archived fund whose row is still not computed: its last months
    // tell.
    if (scope == Scope::AllFunds && Pending(i)) {
      l.change = tails_[i].change;
      p = tails_[i].percent;
    } else {
      RankingFigures(table[i].monthlyAverages, table[i].monthlyChanges, l.change, p);
    }
    l.changeText = FormatNumber(l.change, 2);
    l.percentText = FormatNumber(p, 2) + "%";
    lines.push_back(std::move(l));
  }
  // Largest change first; equal changes keep the order of the fund list, as
  // a repeated search for the largest remaining one gives it.
  std::stable_sort(lines.begin(), lines.end(),
                   [](const RankingLine& a, const RankingLine& b) { return a.change > b.change; });
  cache.names.assign(keys.begin(), keys.begin() + static_cast<long>(n));
  cache.lines = std::move(lines);
  cache.valid = true;
  return cache.lines;
}

bool Statistics::TailRanking(int record, double& change, double& percent) const {
  const RecordView v = StoreOf(Scope::AllFunds).Values(section::kPrices, record);
  return TailFiguresOf([&v](size_t i) { return v[i]; }, v.size(), change, percent);
}

// The tail figures of the archived funds that a ranking of all funds will
// need, computed on another thread while the user-interface thread goes on
// (at the start: building and showing the main window).  The job reads only
// the decoded table of the archive store, which never changes and which it
// keeps alive while it reads (and no longer: a store opened again meanwhile
// frees the old table); each fund is remembered by where its prices lie
// there.
struct Statistics::TailJob {
  struct Item {
    int record = 0;
    uint32_t first = 0, size = 0;  // the price values in the table
    TailFigures figures;
  };
  std::shared_ptr<const detail::LineTable> reading;  // the job thread's alone once it runs
  std::weak_ptr<const detail::LineTable> table;      // the table the figures are of
  std::vector<Item> items;
  std::atomic<bool> cancel{false};
  std::thread thread;
};

void Statistics::TailJobStop::operator()(TailJob* job) const {
  job->cancel = true;
  if (job->thread.joinable()) job->thread.join();
  delete job;
}

void Statistics::StartTailJob() {
  tailJob_.reset();
  const RecordStore& store = StoreOf(Scope::AllFunds);
  std::shared_ptr<const detail::LineTable> table = store.SharedTable();
  if (!table || pendingCount_ < kTailJobMinimum) return;
  std::unique_ptr<TailJob, TailJobStop> job(new TailJob);
  const int n = std::min(store.RecordCount(), static_cast<int>(pending_.size()));
  for (int i = 0; i < n; ++i) {
    if (!pending_[static_cast<size_t>(i)] || tails_[static_cast<size_t>(i)].known) continue;
    // Edited records have no place in the table: the ranking reads them.
    const RecordView v = store.Values(section::kPrices, i);
    if (v.Table() != table.get()) continue;
    job->items.push_back(TailJob::Item{i, v.FirstLine(), static_cast<uint32_t>(v.size()), TailFigures{}});
  }
  if (job->items.size() < kTailJobMinimum) return;
  job->table = table;
  job->reading = std::move(table);
  TailJob* j = job.get();
  // Without a thread (none can be made now) the ranking reads the funds
  // itself, as it does for a few.
  try {
    job->thread = std::thread([j] {
      const detail::LineTable& t = *j->reading;
      for (TailJob::Item& it : j->items) {
        if (j->cancel.load(std::memory_order_relaxed)) break;
        const uint32_t first = it.first;
        TailFigures& f = it.figures;
        f.known = TailFiguresOf([&t, first](size_t i) { return t.line(first + i); }, it.size, f.change, f.percent);
      }
      j->reading.reset();
    });
  } catch (const std::system_error&) {
    return;
  }
  tailJob_ = std::move(job);
}

void Statistics::TakeTailJob() const {
  if (!tailJob_) return;
  tailJob_->thread.join();
  // Only figures of funds still waiting for them, whose prices are still the
  // lines the job read (the store may have been changed or opened again
  // since, and records may have moved).
  const RecordStore& store = StoreOf(Scope::AllFunds);
  const std::shared_ptr<const detail::LineTable> table = tailJob_->table.lock();
  const int n = table ? store.RecordCount() : 0;
  for (const TailJob::Item& it : tailJob_->items) {
    const size_t i = static_cast<size_t>(it.record);
    if (it.record >= n || !Pending(i) || i >= tails_.size() || tails_[i].known) continue;
    const RecordView v = store.Values(section::kPrices, it.record);
    if (v.Table() != table.get() || v.FirstLine() != it.first || v.size() != it.size) continue;
    tails_[i] = it.figures;
  }
  tailJob_.reset();
}

}  // namespace tellurio
