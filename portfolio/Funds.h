#pragma once
// Funds and their price series in the stores of a depot: the master row, the
// price rows, and the price look-ups that every other part of the program
// uses (exact price on a date, previous business day, latest price, issue
// price, surcharge percent).
//
// Depot store sections: 0 master (name, WKN, surcharge factor, currency),
// 1 prices (date, price), 2 purchases, 3 sales (date, price, shares, amount),
// 4 holding (date, shares), 5 opening holding (capital, shares).  The fund
// archive store has sections 0 and 1 only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Calendar.h"
#include "storage/RecordStore.h"

namespace tellurio {

namespace section {
inline constexpr int kMaster = 0;
inline constexpr int kPrices = 1;
inline constexpr int kPurchases = 2;
inline constexpr int kSales = 3;
inline constexpr int kHolding = 4;
inline constexpr int kOpening = 5;
}  // namespace section

inline constexpr const char* kNoPriceDate = "00.00.0000";

struct FundMaster {
  std::string name;
  std::string wkn;
  std::string surchargeFactor;  // "1,0500" for 5 %
  std::string currency;

  std::vector<std::string> Row() const { return {name, wkn, surchargeFactor, currency}; }
};

// The master row of the fund with that key, or nothing.
std::optional<FundMaster> ReadMaster(const RecordStore& store, std::string_view fund);
// The master rows of all funds in key order.
std::vector<FundMaster> AllMasters(const RecordStore& store);
// The names of all funds in key order (empty for an empty store).
std::vector<std::string> FundNames(const RecordStore& store);

// All values of the fund's rows in a section, row after row; empty when the
// fund is not there.
std::vector<std::string> ReadSection(const RecordStore& store, int section, std::string_view fund);
// The price text as the store can hold it: unchanged when it reads back as
// it is; a whole number that the format would lose (a single digit whose
// code is written as a blank, such as "7" in a fund archive) with ",00"
// added; nothing when it cannot be stored at all (hundreds of digits).
std::optional<std::string> StorablePrice(const RecordStore& store, const std::string& price);

inline std::vector<std::string> PriceRows(const RecordStore& store, std::string_view fund) {
  return ReadSection(store, section::kPrices, fund);
}

// From the last row backwards, the first price on exactly that date that is
// not zero.
std::optional<std::string> ExactPrice(const std::vector<std::string>& priceRows, std::string_view date);

struct DatedPrice {
  std::string date = kNoPriceDate;
  std::string price = "0,00";
};
// The newest row whose price is not zero; "00.00.0000" / "0,00" without one.
DatedPrice LatestPrice(const std::vector<std::string>& priceRows);

// Moves date back over the current year's holidays, then over a weekend.
PackedDate PreviousBusinessDay(const Calendar& calendar, PackedDate date);
std::string PreviousBusinessDayText(const Calendar& calendar, std::string_view date);
// Neither a holiday of the current year nor a Saturday or Sunday.
bool IsBusinessDay(const Calendar& calendar, PackedDate date);

// Price × surcharge factor with 2 decimals.
std::string IssuePriceText(std::string_view price, std::string_view factor);
// (factor − 1) × 100 with 2 decimals ("k.A." when the factor is 0).
std::string SurchargePercentText(std::string_view factor);
// 1 + percent / 100 with 4 decimals.
std::string SurchargeFactorText(std::string_view percent);

// A sum or difference of share counts as number text with 4 decimals.  The
// counts are stored with 4 decimals, so their sum has no more: it is rounded
// to them, which drops the binary noise of the arithmetic instead of letting
// the truncating format turn it into a figure ("0,00" for a sum of zero,
// never "-0,00" or "-0,0001").
std::string ShareSumText(double sum);

}  // namespace tellurio
