#include "Documents.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Walk.h"
#include "calendar/NumberText.h"

namespace demo {

namespace {

std::string CurrencyCode(const Fund& fund) { return fund.currency == "Euro" ? "EUR" : fund.currency; }

std::string Rating(const Fund& fund) {
  return fund.ratingStars == 0 ? "keine Angaben" : std::string(static_cast<size_t>(fund.ratingStars), '*');
}

// Percent change from a to b.
double Change(double a, double b) { return a == 0 ? 0 : (b / a - 1.0) * 100.0; }

// The start day of each performance period for a portrait as of asOf.
std::vector<Date> PeriodStarts(const Fund& fund, Date asOf) {
  return {
      LastPriceDayOnOrBefore(MonthsBefore(asOf, 1)),
      LastPriceDayOnOrBefore(MonthsBefore(asOf, 6)),
      LastPriceDayOnOrBefore(Date{asOf.year - 1, 12, 31}),
      LastPriceDayOnOrBefore(MonthsBefore(asOf, 12)),
      LastPriceDayOnOrBefore(MonthsBefore(asOf, 36)),
      LastPriceDayOnOrBefore(MonthsBefore(asOf, 60)),
      fund.launch,
  };
}

bool Before(Date a, Date b) { return DayNumber(a) < DayNumber(b); }

// Seven performance texts of the fund and of its comparison group.
void Performance(const Fund& fund, Date asOf, Lines& fundValues, Lines& groupValues) {
  const double fundNow = Price(fund, asOf);
  const double groupNow = SectorIndex(fund, asOf);
  for (const Date start : PeriodStarts(fund, asOf)) {
    if (Before(start, fund.launch)) {
      fundValues.push_back("k.A.");
      groupValues.push_back("k.A.");
      continue;
    }
    fundValues.push_back(tellurio::FormatRounded(Change(Price(fund, start), fundNow), 2));
    groupValues.push_back(tellurio::FormatRounded(Change(SectorIndex(fund, start), groupNow), 2));
  }
}

std::string MonthLabel(Date d) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%04d", d.month, d.year);
  return text;
}

// The comparison pages write their chart values with a decimal point.
std::string PointNumber(double value) {
  std::string s = tellurio::FormatRounded(value, 2);
  std::replace(s.begin(), s.end(), ',', '.');
  return s;
}

std::string JoinedPoints(const std::vector<double>& values) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ',';
    text += PointNumber(values[i]);
  }
  return text;
}

// Appends UTF-8 code point cp in code page 1252, "?" when it has no place.
void AppendCp1252(std::string& out, unsigned cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
    out += static_cast<char>(cp);
  else if (cp == 0x20AC)
    out += '\x80';
  else if (cp == 0x2013)
    out += '\x96';
  else
    out += '?';
}

Lines ComparisonPage(const Fund& fund, Date asOf, bool competitors) {
  const ChartData chart = Chart(fund, asOf);
  Lines page = {
      std::string("<html><head><title>") + (competitors ? "Konkurrenzanalyse" : "Wertentwicklung") + "</title>",
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"></head>",
      "<body>",
  };
  if (chart.fund.empty()) {
    page.push_back("<p>Für diesen Fonds liegen noch keine Daten vor.</p>");
  } else {
    page.push_back("<script type=\"text/javascript\">");
    std::string data = "chart(" + fund.wkn + "," + JoinedPoints(chart.fund) + ";";
    if (competitors)
      data += JoinedPoints(chart.best) + ";" + JoinedPoints(chart.worst);
    else
      data += JoinedPoints(chart.reference);
    page.push_back(data + ");");
    page.push_back("</script>");
  }
  page.push_back("</body></html>");
  return page;
}

}  // namespace

const std::vector<std::string> kPeriodNames = {"1 Monat", "6 Monate", "lfd.Jahr",  "1 Jahr",
                                               "3 Jahre", "5 Jahre",  "seit.Aufl."};

std::string ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned cp = 0;
    size_t length = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      length = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      length = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      length = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    if (i + length > utf8.size()) {
      out += '?';
      break;
    }
    bool valid = true;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    AppendCp1252(out, cp);
    i += length;
  }
  return out;
}

std::string ToCp1252Lines(const Lines& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += ToCp1252(line);
    bytes += "\r\n";
  }
  return bytes;
}

Lines PriceFileLines(const Provider& provider, Date date) {
  Lines lines;
  const std::string dateText = DateText(date);
  for (const Fund& fund : provider.funds) {
    if (Before(date, fund.launch)) continue;
    lines.push_back(fund.name);
    lines.push_back(fund.wkn);
    lines.push_back(SurchargeFactorText(fund));
    lines.push_back(fund.currency);
    lines.push_back(dateText);
    lines.push_back(tellurio::FormatRounded(Price(fund, date), 2));
  }
  return lines;
}

ChartData Chart(const Fund& fund, Date asOf) {
  ChartData chart;
  for (int k = 0; k <= 12; ++k) chart.points.push_back(LastPriceDayOnOrBefore(MonthsBefore(asOf, 12 - k)));
  chart.points.back() = asOf;
  if (Before(chart.points.front(), fund.launch)) return chart;

  const Date start = chart.points.front();
  const double fund0 = Price(fund, start);
  const double group0 = SectorIndex(fund, start);
  std::vector<double> peers0;
  for (int p = 0; p < kPeerCount; ++p) peers0.push_back(PeerIndex(fund, p, start));
  for (size_t k = 1; k < chart.points.size(); ++k) {
    const Date d = chart.points[k];
    const double f = Change(fund0, Price(fund, d));
    double best = f, worst = f;
    for (int p = 0; p < kPeerCount; ++p) {
      const double v = Change(peers0[static_cast<size_t>(p)], PeerIndex(fund, p, d));
      best = std::max(best, v);
      worst = std::min(worst, v);
    }
    // The values as the pages write them (two decimals), so that the page and
    // the portrait file agree to the digit.
    auto two = [](double v) { return std::round(v * 100.0) / 100.0; };
    chart.fund.push_back(two(f));
    chart.reference.push_back(two(Change(group0, SectorIndex(fund, d))));
    chart.best.push_back(two(best));
    chart.worst.push_back(two(worst));
  }
  return chart;
}

Lines PortraitBlock(const Fund& fund, Date asOf) {
  const Provider& provider = *fund.provider;
  Lines block = {
      fund.name,
      provider.company,
      fund.wkn,
      fund.assetClass,
      fund.management,
      provider.kag,
      tellurio::FormatRounded(fund.volumeMillions, 1),
      tellurio::FormatRounded(Price(fund, asOf), 2),
      tellurio::FormatRounded(fund.surchargePercent, 2) + "%",
      CurrencyCode(fund),
      Rating(fund),
      fund.strategy,
  };
  Lines fundValues, groupValues;
  Performance(fund, asOf, fundValues, groupValues);
  block.insert(block.end(), fundValues.begin(), fundValues.end());
  block.push_back("Sektor " + fund.sector);
  block.insert(block.end(), groupValues.begin(), groupValues.end());
  if (fund.positions.empty()) {
    block.push_back("Keine Angaben");
  } else {
    for (const Position& p : fund.positions) {
      block.push_back(p.name);
      block.push_back(p.share);
    }
  }

  // The chart section is always there, with a count of 0 when the fund is
  // younger than the year: a reader looking for "Wertentwicklung" must not
  // run into the next fund's block.
  const ChartData chart = Chart(fund, asOf);
  const size_t n = chart.fund.size();
  block.push_back("Wertentwicklung");
  block.push_back("Sektor " + fund.sector);
  block.push_back(std::to_string(n));
  for (size_t k = 0; k < n; ++k) block.push_back(MonthLabel(chart.points[k + 1]));
  for (double v : chart.fund) block.push_back(tellurio::FormatRounded(v, 2));
  for (double v : chart.reference) block.push_back(tellurio::FormatRounded(v, 2));
  block.push_back("Konkurrenzanalyse");
  for (double v : chart.best) block.push_back(tellurio::FormatRounded(v, 2));
  for (double v : chart.worst) block.push_back(tellurio::FormatRounded(v, 2));
  return block;
}

Lines PortraitFileLines(Date asOf) {
  Lines lines;
  for (const Provider& provider : DemoProviders())
    for (const Fund& fund : provider.funds) {
      if (Before(asOf, fund.launch)) continue;
      const Lines block = PortraitBlock(fund, asOf);
      lines.insert(lines.end(), block.begin(), block.end());
    }
  return lines;
}

Lines PortraitPageLines(const Fund& fund, Date asOf) {
  const Lines block = PortraitBlock(fund, asOf);
  auto row = [](const std::string& label, const std::string& value) {
    return "<tr><td>" + label + "</td><td CLASS=wert>" + value + "</td></tr>";
  };
  Lines page = {
      "<html><head><title>Fondportrait</title>",
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"></head>",
      "<body>",
      "<table><tr><td class=titel>Fonds Portrait</td></tr>",
      "<tr><td class=name>&nbsp;" + block[0] + "</td></tr>",
      "<tr><td class=firma>&nbsp;" + block[1] + "</td></tr>",
      row("WKN:", block[2]),
      row("Anlage:", block[3]),
      row("Management:", block[4]),
      row("KAG:", block[5]),
      row("Vol. in Mio. EUR", block[6]),
      row("Kurs", block[7]),
      row("Ausgabeaufschlag:", block[8]),
      row("Fondsw&auml;hrung:", block[9]),
      row("Rating:", block[10]),
      "</table>",
      "<p>Strategie</p><div CLASS=text>" + block[11] + "</div>",
  };
  std::string head = "<table><tr><td class=kopf>Performance in %</td>";
  for (const std::string& period : kPeriodNames) head += "<td class=kopf>" + period + "</td>";
  page.push_back(head + "</tr>");
  std::string fundRow = "<tr><td>Fonds</td>";
  for (size_t i = 12; i <= 18; ++i) fundRow += "<td CLASS=p>" + block[i] + "</td>";
  page.push_back(fundRow + "</tr>");
  std::string groupRow = "<tr><td CLASS=v>" + block[19] + "</td>";
  for (size_t i = 20; i <= 26; ++i) groupRow += "<td CLASS=p>" + block[i] + "</td>";
  page.push_back(groupRow + "</tr>");
  page.push_back("</table>");
  page.push_back("<p>Positionen im Fonds</p>");
  if (fund.positions.empty()) {
    page.push_back("<table><tr><td colspan=2><p>Keine Angaben</p></td></tr></table>");
  } else {
    page.push_back("<table><tr><td colspan=2><TABLE width=100%>");
    for (const Position& p : fund.positions)
      page.push_back("<tr><td CLASS=pos>" + p.name + "</td><td CLASS=pos>" + p.share + "</td></tr>");
    page.push_back("</TABLE></td></tr></table>");
  }
  page.push_back("</body></html>");
  return page;
}

Lines IndexPageLines(Date asOf) {
  struct Index {
    const char* name;
    const char* cssClass;
    double (*value)(Date);
    bool dax;
  };
  static const Index kIndices[] = {
      {"Deutscher Aktienindex", "ak_dax_stand", &Dax, true},
      {"Dow Jones Industrial", "ak_dj_stand",
       [](Date d) {
         const long t = DayNumber(d);
         return std::round(8300.0 *
                           std::exp(0.06 * static_cast<double>(t - kWalkOrigin) / 365.0 +
                                    0.18 / std::sqrt(365.0) * Walk(SeedOf("Dow Jones"), t)) *
                           100.0) /
                100.0;
       },
       false},
      {"Euro Stoxx 50", "ak_stoxx_stand",
       [](Date d) {
         const long t = DayNumber(d);
         return std::round(2400.0 *
                           std::exp(0.05 * static_cast<double>(t - kWalkOrigin) / 365.0 +
                                    0.21 / std::sqrt(365.0) * Walk(SeedOf("Euro Stoxx"), t)) *
                           100.0) /
                100.0;
       },
       false},
  };
  const Date previous = LastPriceDayOnOrBefore(DateOfDayNumber(DayNumber(asOf) - 1));
  Lines page = {
      "<html><head><title>Börse aktuell – Indizes</title>",
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"></head>",
      "<body>",
      "<h1>Indizes, Schlussstände vom " + DateText(asOf) + "</h1>",
      "<table class=indizes>",
  };
  for (const Index& index : kIndices) {
    const double now = index.value(asOf);
    const double change = Change(index.value(previous), now);
    page.push_back(std::string("<tr><td class=name>") + index.name + "</td><td class=\"" + index.cssClass + "\"" +
                   (index.dax ? " title=\"DAX\"" : "") + ">");
    page.push_back(tellurio::FormatRounded(now, 2) + "</td><td class=veraenderung>" + (change > 0 ? "+" : "") +
                   tellurio::FormatRounded(change, 2) + " %</td></tr>");
  }
  page.push_back("</table></body></html>");
  return page;
}

Lines PerformancePageLines(const Fund& fund, Date asOf) { return ComparisonPage(fund, asOf, false); }

Lines CompetitorPageLines(const Fund& fund, Date asOf) { return ComparisonPage(fund, asOf, true); }

}  // namespace demo
