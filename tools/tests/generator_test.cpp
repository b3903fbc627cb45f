// The demo publisher's generator and routing, without a network: calendar,
// random walk, fund universe, documents and the command line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "Dates.h"
#include "Documents.h"
#include "Funds.h"
#include "Publisher.h"
#include "Walk.h"
#include "calendar/Calendar.h"
#include "calendar/NumberText.h"

namespace {

using demo::Date;
using demo::Lines;

double ParseComma(const std::string& text) {
  std::string t = text;
  std::replace(t.begin(), t.end(), ',', '.');
  return std::stod(t);
}

const demo::Provider& ProviderNamed(const std::string& displayName) {
  for (const demo::Provider& p : demo::DemoProviders())
    if (p.displayName == displayName) return p;
  ADD_FAILURE() << "no provider " << displayName;
  return demo::DemoProviders().front();
}

// --- Calendar -----------------------------------------------------------------

TEST(DatesTest, DayNumbersWeekdaysAndEaster) {
  EXPECT_EQ(demo::DayNumber({1970, 1, 1}), 0);
  EXPECT_EQ(demo::DayNumber({2003, 1, 1}), demo::kWalkOrigin);
  EXPECT_EQ(demo::DayNumber({2000, 3, 1}) - demo::DayNumber({2000, 2, 28}), 2);  // leap year
  EXPECT_EQ(demo::DayNumber({1900, 3, 1}) - demo::DayNumber({1900, 2, 28}), 1);
  for (long d = -800000; d < 800000; d += 997) ASSERT_EQ(demo::DayNumber(demo::DateOfDayNumber(d)), d);
  EXPECT_EQ(demo::Weekday({2003, 3, 5}), 3);  // a Wednesday
  EXPECT_EQ(demo::Weekday({2003, 3, 9}), 0);
  // The Easter days come from the program's calendar: Karfreitag 2024 is
  // 29.03., Ostermontag 2038 is 26.04.
  EXPECT_FALSE(demo::IsPriceDay({2024, 3, 29}));
  EXPECT_TRUE(demo::IsPriceDay({2024, 3, 28}));
  EXPECT_FALSE(demo::IsPriceDay({2038, 4, 26}));
}

TEST(DatesTest, PriceDaysLeaveOutWeekendsAndHolidays) {
  EXPECT_TRUE(demo::IsPriceDay({2003, 3, 5}));
  EXPECT_TRUE(demo::IsPriceDay({2003, 1, 2}));
  EXPECT_TRUE(demo::IsPriceDay({2003, 4, 17}));  // Gründonnerstag
  EXPECT_TRUE(demo::IsPriceDay({2003, 6, 19}));  // Fronleichnam is not nationwide
  for (const Date d : {Date{2003, 3, 8}, Date{2003, 3, 9}, Date{2003, 1, 1}, Date{2003, 4, 18}, Date{2003, 4, 21},
                       Date{2003, 5, 1}, Date{2003, 5, 29}, Date{2003, 6, 9}, Date{2003, 10, 3}, Date{2003, 12, 24},
                       Date{2003, 12, 25}, Date{2003, 12, 26}, Date{2003, 12, 31}})
    EXPECT_FALSE(demo::IsPriceDay(d)) << demo::DateText(d);
  EXPECT_EQ(demo::LastPriceDayOnOrBefore({2003, 4, 21}), (Date{2003, 4, 17}));
  EXPECT_EQ(demo::LastPriceDayOnOrBefore({2004, 1, 1}), (Date{2003, 12, 30}));
  EXPECT_EQ(demo::LastPriceDayOnOrBefore({2003, 3, 5}), (Date{2003, 3, 5}));
}

TEST(DatesTest, DateTextsAndMonthSteps) {
  EXPECT_EQ(demo::DateText({2004, 1, 1}), "01.01.2004");
  EXPECT_EQ(demo::ParseFileDate("05032003"), (Date{2003, 3, 5}));
  EXPECT_EQ(demo::ParseFileDate("29022004"), (Date{2004, 2, 29}));
  for (const char* bad :
       {"29022003", "31042003", "00012003", "05132003", "0503203", "050320031", "0503200a", "-5032003", ""})
    EXPECT_FALSE(demo::ParseFileDate(bad)) << bad;
  EXPECT_EQ(demo::ParseDateText("05.03.2003"), (Date{2003, 3, 5}));
  EXPECT_FALSE(demo::ParseDateText("05032003"));
  EXPECT_FALSE(demo::ParseDateText("5.3.2003"));
  EXPECT_EQ(demo::MonthsBefore({2003, 3, 31}, 1), (Date{2003, 2, 28}));
  EXPECT_EQ(demo::MonthsBefore({2004, 2, 29}, 12), (Date{2003, 2, 28}));
  EXPECT_EQ(demo::MonthsBefore({2003, 1, 15}, 1), (Date{2002, 12, 15}));
  EXPECT_EQ(demo::MonthsBefore({2003, 1, 15}, 60), (Date{1998, 1, 15}));
}

// --- Random walk ------------------------------------------------------------------

TEST(WalkTest, StepsHaveTheVarianceOfTheirLength) {
  // Increments over d days of a walk with unit daily steps have standard
  // deviation sqrt(d).  A fault in the bridge's scaling shows as steps that
  // are far too small or too large at some interval boundaries.
  for (const long days : {1L, 7L, 100L}) {
    double sum = 0, sumSquares = 0;
    const int n = 4000;
    for (int i = 0; i < n; ++i) {
      const std::uint64_t seed = demo::Mix(static_cast<std::uint64_t>(i), 5);
      const long t = 10000 + (i * 37) % 12000;
      const double step = demo::Walk(seed, t + days) - demo::Walk(seed, t);
      sum += step;
      sumSquares += step * step;
    }
    const double sd = std::sqrt(sumSquares / n - (sum / n) * (sum / n));
    EXPECT_NEAR(sd / std::sqrt(static_cast<double>(days)), 1.0, 0.08) << days << " days";
  }
  EXPECT_EQ(demo::Walk(42, demo::kWalkOrigin), 0.0);
  EXPECT_EQ(demo::Walk(42, 15000), demo::Walk(42, 15000));
  EXPECT_NE(demo::Walk(42, 15000), demo::Walk(43, 15000));
  // Outside the covered days the walk stays at its end values.
  EXPECT_EQ(demo::Walk(42, -500), demo::Walk(42, 0));
  EXPECT_EQ(demo::Walk(42, 200000), demo::Walk(42, 1L << 16));
}

// --- Funds ------------------------------------------------------------------------

TEST(FundsTest, DemoProvidersAreThoseOfTheProviderTable) {
  std::map<std::string, std::string> keys;
  for (const demo::Provider& p : demo::DemoProviders()) keys[p.displayName] = p.key;
  EXPECT_EQ(keys["Deka"], "Deka");
  EXPECT_EQ(keys["DWS"], "DWS");
  EXPECT_EQ(keys["Union-Investment Frankfurt"], "union1");
  EXPECT_EQ(keys["DWS Luxembourg"], "DWS1");
  EXPECT_EQ(keys["UNION-INVESTM. (Lux.)"], "union");
  EXPECT_EQ(demo::FindProviderByKey("union1"), &ProviderNamed("Union-Investment Frankfurt"));
  EXPECT_EQ(demo::FindProviderByKey("Union1"), nullptr);
}

TEST(FundsTest, FundsHavePlausibleUniqueMasterData) {
  const std::regex wknForm("[0-9A-Z]{6}");
  const std::regex factorForm("1,[0-9]{4}");
  std::set<std::string> wkns, names;
  std::map<std::string, int> currencies;
  int funds = 0;
  for (const demo::Provider& p : demo::DemoProviders()) {
    EXPECT_GE(p.funds.size(), 200u) << p.displayName;
    EXPECT_LE(p.funds.size(), 400u) << p.displayName;
    for (const demo::Fund& f : p.funds) {
      ++funds;
      EXPECT_EQ(f.provider, &p);
      EXPECT_TRUE(std::regex_match(f.wkn, wknForm)) << f.wkn;
      EXPECT_TRUE(wkns.insert(f.wkn).second) << "WKN twice: " << f.wkn;
      EXPECT_TRUE(names.insert(f.name).second) << "name twice: " << f.name;
      EXPECT_TRUE(std::regex_match(demo::SurchargeFactorText(f), factorForm)) << f.name;
      EXPECT_EQ(f.name.find_first_of("&<>,"), std::string::npos) << f.name;
      EXPECT_EQ(demo::FindFundByWkn(f.wkn), &f);
      ++currencies[f.currency];
    }
  }
  EXPECT_EQ(currencies.size(), 3u);
  EXPECT_GT(currencies["Euro"], funds * 3 / 4);
  EXPECT_GT(currencies["USD"], 20);
  EXPECT_GT(currencies["CHF"], 5);
  EXPECT_EQ(demo::FindFundByWkn("000000"), nullptr);
}

TEST(FundsTest, PricesMoveSlowlyButDoMove) {
  const demo::Provider& deka = ProviderNamed("Deka");
  std::vector<Date> days;
  for (long d = demo::DayNumber({2003, 1, 2}); d <= demo::DayNumber({2003, 12, 31}); ++d)
    if (demo::IsPriceDay(demo::DateOfDayNumber(d))) days.push_back(demo::DateOfDayNumber(d));
  int moved = 0;
  for (const demo::Fund& f : deka.funds) {
    double previous = demo::Price(f, days.front());
    double low = previous, high = previous;
    for (const Date d : days) {
      const double price = demo::Price(f, d);
      ASSERT_GE(price, 0.01) << f.name;
      // Even a weekend with two holidays moves a price by less than 10 %.
      ASSERT_LT(std::fabs(std::log(price / previous)), 0.10) << f.name << " " << demo::DateText(d);
      previous = price;
      low = std::min(low, price);
      high = std::max(high, price);
    }
    if (high > low) ++moved;
  }
  EXPECT_EQ(moved, static_cast<int>(deka.funds.size()));
  // Deterministic: the same day gives the same price.
  EXPECT_EQ(demo::Price(deka.funds[7], {2010, 6, 1}), demo::Price(deka.funds[7], {2010, 6, 1}));
  const double dax = demo::Dax({2003, 3, 5});
  EXPECT_GT(dax, 1000);
  EXPECT_LT(dax, 10000);
}

// --- Documents --------------------------------------------------------------------

TEST(DocumentsTest, PriceFileHasSixLinesPerLaunchedFund) {
  const demo::Provider& dws = ProviderNamed("DWS");
  const Date day{2003, 3, 5};
  const Lines lines = demo::PriceFileLines(dws, day);
  ASSERT_EQ(lines.size() % 6, 0u);
  std::set<std::string> listed;
  for (size_t i = 0; i < lines.size(); i += 6) {
    const demo::Fund* f = demo::FindFundByWkn(lines[i + 1]);
    ASSERT_NE(f, nullptr) << lines[i + 1];
    EXPECT_EQ(lines[i], f->name);
    EXPECT_EQ(lines[i + 2], demo::SurchargeFactorText(*f));
    EXPECT_EQ(lines[i + 3], f->currency);
    EXPECT_EQ(lines[i + 4], "05.03.2003");
    EXPECT_TRUE(std::regex_match(lines[i + 5], std::regex("[0-9]+,[0-9]{2}"))) << lines[i + 5];
    EXPECT_DOUBLE_EQ(ParseComma(lines[i + 5]), demo::Price(*f, day));
    listed.insert(f->wkn);
  }
  // Exactly the funds launched by then, in the provider's order.
  size_t launched = 0;
  for (const demo::Fund& f : dws.funds) {
    const bool isLaunched = demo::DayNumber(f.launch) <= demo::DayNumber(day);
    EXPECT_EQ(listed.count(f.wkn) == 1, isLaunched) << f.name;
    launched += isLaunched;
  }
  EXPECT_EQ(lines.size(), 6 * launched);
  EXPECT_LT(launched, dws.funds.size());  // some funds come later
}

TEST(DocumentsTest, FundLaunchedLaterAppearsFromItsLaunchOn) {
  for (const demo::Fund& f : ProviderNamed("Deka").funds) {
    if (demo::DayNumber(f.launch) <= demo::DayNumber({2003, 6, 1})) continue;
    const Date firstDay =
        demo::LastPriceDayOnOrBefore(demo::DateOfDayNumber(demo::DayNumber(f.launch) + 6));  // a price day after launch
    const Date before = demo::DateOfDayNumber(demo::DayNumber(f.launch) - 1);
    const Lines early = demo::PriceFileLines(*f.provider, before);
    const Lines later = demo::PriceFileLines(*f.provider, firstDay);
    EXPECT_EQ(std::count(early.begin(), early.end(), f.wkn), 0) << f.name;
    EXPECT_EQ(std::count(later.begin(), later.end(), f.wkn), 1) << f.name;
    return;
  }
  FAIL() << "no fund launched after June 2003";
}

TEST(DocumentsTest, PortraitBlockLayout) {
  const Date asOf{2003, 3, 5};
  int withChart = 0, withoutChart = 0, withoutPositions = 0;
  for (const demo::Fund& f : ProviderNamed("Union-Investment Frankfurt").funds) {
    if (demo::DayNumber(f.launch) > demo::DayNumber(asOf)) continue;
    const Lines b = demo::PortraitBlock(f, asOf);
    ASSERT_GE(b.size(), 32u);
    EXPECT_EQ(b[0], f.name);
    EXPECT_EQ(b[2], f.wkn);
    EXPECT_EQ(b[7], tellurio::FormatRounded(demo::Price(f, asOf), 2));
    EXPECT_EQ(b[9], f.currency == "Euro" ? "EUR" : f.currency);
    EXPECT_EQ(b[19], "Sektor " + f.sector);
    // A period that starts before the launch has no figure.
    const bool fiveYears =
        demo::DayNumber(f.launch) <= demo::DayNumber(demo::LastPriceDayOnOrBefore(demo::MonthsBefore(asOf, 60)));
    EXPECT_EQ(b[17] == "k.A.", !fiveYears) << f.name;
    EXPECT_EQ(b[25] == "k.A.", !fiveYears) << f.name;
    EXPECT_NE(b[18], "k.A.");

    const auto chart = std::find(b.begin(), b.end(), "Wertentwicklung");
    ASSERT_NE(chart, b.end()) << f.name;
    EXPECT_EQ(std::count(b.begin(), b.end(), f.wkn), 1);  // the block is found by its WKN
    const size_t at = static_cast<size_t>(chart - b.begin());
    if (at == 28) {
      EXPECT_EQ(b[27], "Keine Angaben");
      ++withoutPositions;
    } else {
      EXPECT_EQ((at - 27) % 2, 0u);  // name and share per position
    }
    const int n = std::stoi(b[at + 2]);
    EXPECT_TRUE(n == 12 || n == 0);
    (n == 12 ? withChart : withoutChart)++;
    ASSERT_EQ(b.size(), at + 4 + 5 * static_cast<size_t>(n)) << f.name;
    EXPECT_EQ(b[at + 3 + 3 * static_cast<size_t>(n)], "Konkurrenzanalyse");
    if (n == 12) {
      EXPECT_EQ(b[at + 3], "04/2002");
      EXPECT_EQ(b[at + 14], "03/2003");
      // Best and worst enclose the fund.
      for (size_t k = 0; k < 12; ++k) {
        const double fund = ParseComma(b[at + 15 + k]);
        EXPECT_LE(fund, ParseComma(b[at + 40 + k]));
        EXPECT_GE(fund, ParseComma(b[at + 52 + k]));
      }
    }
  }
  EXPECT_GT(withChart, 100);
  EXPECT_GT(withoutChart, 0);
  EXPECT_GT(withoutPositions, 0);
}

TEST(DocumentsTest, TextsGoOutInCodePage1252) {
  EXPECT_EQ(demo::ToCp1252("Übersee äöüß €–"),
            "\xDC"
            "bersee \xE4\xF6\xFC\xDF \x80\x96");
  EXPECT_EQ(demo::ToCp1252("a\xE2\x82"), "a?");    // cut off sequence
  EXPECT_EQ(demo::ToCp1252("\xFFz"), "?z");        // not UTF-8
  EXPECT_EQ(demo::ToCp1252("\xE4\xB8\xAD"), "?");  // no place in the code page
  EXPECT_EQ(demo::ToCp1252Lines({"a", "", "ö"}), "a\r\n\r\n\xF6\r\n");
}

TEST(DocumentsTest, IndexPageHoldsTheDaxAfterItsMarker) {
  const Lines page = demo::IndexPageLines({2003, 3, 5});
  const auto marker = std::find_if(
      page.begin(), page.end(), [](const std::string& line) { return line.find("ak_dax_stand") != std::string::npos; });
  ASSERT_NE(marker, page.end());
  ASSERT_NE(marker + 1, page.end());
  const std::string& value = *(marker + 1);
  EXPECT_EQ(value.substr(0, value.find('<')), tellurio::FormatRounded(demo::Dax({2003, 3, 5}), 2));
}

// --- Requests -----------------------------------------------------------------------

TEST(AnswerTest, RequestsGetTheirDocumentsOrNotFound) {
  const Date today{2003, 3, 5};
  const demo::Reply prices = demo::Answer("/Daten/Deka/05032003.txt", "", today, false);
  EXPECT_EQ(prices.status, 200);
  EXPECT_EQ(prices.contentType, "text/plain; charset=windows-1252");
  EXPECT_EQ(prices.body, demo::ToCp1252Lines(demo::PriceFileLines(ProviderNamed("Deka"), {2003, 3, 5})));
  // Any date has its file, the publisher's own day does not matter.
  EXPECT_EQ(demo::Answer("/Daten/Deka/01022011.txt", "", today, false).status, 200);

  for (const char* path :
       {"/Daten/Deka/08032003.txt",  // Saturday
        "/Daten/Deka/18042003.txt",  // Karfreitag
        "/Daten/deka/05032003.txt",  // keys are case-sensitive
        "/Daten/ADIG/05032003.txt",  // not a demo provider
        "/Daten/Deka/30022003.txt", "/Daten/Deka/0503203.txt", "/Daten/Deka/05032003.htm", "/", "/Daten/", "/home/"})
    EXPECT_EQ(demo::Answer(path, "", today, false).status, 404) << path;

  // With every day on, a weekend file holds Friday's prices and date.
  const demo::Reply saturday = demo::Answer("/Daten/Deka/08032003.txt", "", today, true);
  EXPECT_EQ(saturday.status, 200);
  EXPECT_EQ(saturday.body, demo::ToCp1252Lines(demo::PriceFileLines(ProviderNamed("Deka"), {2003, 3, 7})));

  const std::string wkn = ProviderNamed("Deka").funds.front().wkn;
  EXPECT_EQ(demo::Answer("/fondsportrait/popchart/wertentwicklung.hbs", wkn, today, false).status, 200);
  EXPECT_EQ(demo::Answer("/fondsportrait/popchart/konkurenz.hbs", "XXXXXX", today, false).status, 404);
  EXPECT_EQ(demo::Answer("/fondsportrait/portrait.hbs", "", today, false).status, 404);
  // Portraits and index page of a weekend are those of the Friday before.
  EXPECT_EQ(demo::Answer("/home/index.html", "", {2003, 3, 9}, false).body,
            demo::Answer("/home/index.html", "", {2003, 3, 7}, false).body);
}

TEST(ArgumentsTest, CommandLine) {
  demo::ParsedArguments p = demo::ParseArguments({"--bind", "127.0.0.1", "--port", "43210"});
  EXPECT_EQ(p.error, "");
  EXPECT_EQ(p.options.bind, "127.0.0.1");
  EXPECT_EQ(p.options.port, 43210);
  EXPECT_FALSE(p.options.today);
  EXPECT_FALSE(p.options.everyDay);

  p = demo::ParseArguments({"--today", "05.03.2003", "--every-day", "--port", "0"});
  EXPECT_EQ(p.error, "");
  EXPECT_EQ(p.options.today, (Date{2003, 3, 5}));
  EXPECT_TRUE(p.options.everyDay);
  EXPECT_EQ(p.options.port, 0);
  EXPECT_TRUE(demo::ParseArguments({"--help"}).help);

  EXPECT_EQ(demo::ParseArguments({"--port"}).error, "Zu --port fehlt der Wert.");
  EXPECT_EQ(demo::ParseArguments({"--port", "65536"}).error, "Ungültiger Port \"65536\" (0 bis 65535).");
  EXPECT_NE(demo::ParseArguments({"--port", "8o"}).error, "");
  EXPECT_NE(demo::ParseArguments({"--today", "2003-03-05"}).error, "");
  EXPECT_NE(demo::ParseArguments({"--bind", ""}).error, "");
  EXPECT_EQ(demo::ParseArguments({"--verbose"}).error, "Unbekannte Angabe \"--verbose\".");
}

}  // namespace
