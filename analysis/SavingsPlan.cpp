#include "analysis/SavingsPlan.h"

#include <algorithm>
#include <cmath>
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
  return std::isfinite(x) ? x : 0;
}

std::optional<SavingsFund> ReadSavingsFund(const RecordStore& store, std::string_view fund) {
  const int r = store.FindKey(fund);
  if (r < 0 || r >= store.RecordCount()) return std::nullopt;
  SavingsFund f;
  const RecordView master = store.Values(section::kMaster, r);
  f.surchargeFactor = Field(master, 2);
  if (master.size() > 3) f.currency = master[3];
  f.distributionRatio =
      DistributionRatio(Copy(store.Values(section::kHolding, r)), Copy(store.Values(section::kOpening, r)),
                        Copy(store.Values(section::kPurchases, r)), Copy(store.Values(section::kSales, r)));

  const RecordView v = store.Values(section::kPrices, r);
  const size_t rows = v.size() / 2;
  f.dates.reserve(rows);
  f.prices.reserve(rows);
  f.days.reserve(rows);
  bool ordered = true;
  for (size_t k = 0; k < rows; ++k) {
    const double price = ReadPrice(v[2 * k + 1]);
    if (!(price > 0)) continue;  // no price on that day
    const PackedDate date = ReadPriceDate(v[2 * k]);
    const int day = DayOf(date);
    if (!f.days.empty() && day < f.days.back()) ordered = false;
    f.dates.push_back(date);
    f.prices.push_back(price);
    f.days.push_back(day);
  }
  if (!ordered) {
    std::vector<size_t> order(f.days.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return f.days[a] < f.days[b]; });
    SavingsFund sorted = f;
    for (size_t k = 0; k < order.size(); ++k) {
      sorted.dates[k] = f.dates[order[k]];
      sorted.prices[k] = f.prices[order[k]];
      sorted.days[k] = f.days[order[k]];
    }
    f = std::move(sorted);
  }
  return f;
}

FundPlanResult SimulateFund(const SavingsInput& input, const SavingsFund& fund, double factor, SavingsMode mode,
                            int debitDay) {
  FundPlanResult out;
  const size_t n = fund.prices.size();
  const int end = DayNumber(input.end, 0);
  // The first row in the period (a start before the first row moves to it);
  // a period without any row has no result.
  const size_t first = static_cast<size_t>(
      std::lower_bound(fund.days.begin(), fund.days.end(), DayNumber(input.start, 0)) - fund.days.begin());
  if (n == 0 || end < fund.days[0] || first == n || fund.days[first] > end) {
    out.failure = SavingsFailure::NoData;
    return out;
  }
  const bool monthly = mode == SavingsMode::Monthly;
  const double amount = ParseNumber(input.initialAmount);
  const double growth = 1 + ParseNumber(input.yearlyIncrease) / 100;
  double rate = ParseNumber(input.monthlyRate);
  const double f = fund.surchargeFactor;
  const int distributionDay = DayNumber(input.distributionDay, 3);

  out.start = Calendar::FormatDate(fund.dates[first]);
  double paid = amount;
  double shares = (amount / factor) / (fund.prices[first] * f);
  // This year's distribution is already past when the start lies after it.
  bool distributed = DayOfYear(fund.dates[first]) > distributionDay;
  int month = PackedMonth(fund.dates[first]);
  bool debited = false;
  size_t k = first;
  for (; k < n && end > fund.days[k]; ++k) {
    const PackedDate date = fund.dates[k];
    // A new month first, so that its first row can already be the one
    // after the debit day (or the distribution day).
    if (PackedMonth(date) != month) {
      month = PackedMonth(date);
      debited = false;
      if (month == 1) {
        distributed = false;
        if (monthly) rate *= growth;
      }
    }
    // The rate is debited on the first row after the debit day and buys at
    // the price of the row before (the last one on or before the debit day).
    if (monthly && !debited && PackedDay(date) > debitDay) {
      paid += rate;
      shares += (rate / factor) / (fund.prices[k == 0 ? 0 : k - 1] * f);
      debited = true;
    }
    if (!distributed && DayOfYear(date) > distributionDay) {
      shares *= 1 + fund.distributionRatio;
      distributed = true;
    }
  }
  const double finalPrice = fund.prices[k < n ? k : n - 1];
  out.paidIn = FormatNumber(paid, 2);
  out.finalValue = FormatNumber(shares * finalPrice * factor, 2);
  return out;
}

std::optional<SavingsTotals> ComputeTotals(const std::vector<FundPlanResult>& results, const std::string& end,
                                           const Calendar& calendar) {
  const FundPlanResult* first = nullptr;
  double paid = 0, value = 0;
  for (const FundPlanResult& r : results) {
    if (r.failure != SavingsFailure::None) continue;
    if (!first) first = &r;
    paid = Truncated(paid + ParseNumber(r.paidIn));
    value = Truncated(value + ParseNumber(r.finalValue));
  }
  if (!first) return std::nullopt;
  SavingsTotals t;
  t.paidIn = FormatNumber(paid, 2);
  t.finalValue = FormatNumber(value, 2);
  t.profit = FormatNumber(value - paid, 2);
  t.period = first->start + " - " + end;
  const int days = calendar.DateDifference(first->start, end);
  t.returnPercent = kNoReturn;
  if (days > 0 && paid > 0) {
    const double r = (std::pow(value / paid, 365.0 / days) - 1) * 100;
    if (std::isfinite(r)) t.returnPercent = FormatNumber(r, 2);
  }
  return t;
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
    std::vector<std::string> cells = {in.fund,
                                      in.purchaseDate,
                                      ReportNumber(in.initialAmount) + currency,
                                      ReportNumber(in.monthlyRate) + currency,
                                      ReportNumber(in.yearlyIncrease) + "%",
                                      in.distributionDay,
                                      c.results[i].start + " - " + in.end};
    std::string text = FundLineText(cells);
    report.lines.push_back(ReportLine{ReportLineKind::Fund, std::move(text), std::move(cells)});
  }
  if (c.mode == SavingsMode::Monthly) {
    const std::string day = (c.debitDay < 10 ? "0" : "") + std::to_string(c.debitDay) + ".";
    add(ReportLineKind::Text, "Tag der monatlichen Abbuchung der Sparrate: " + day);
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
