#pragma once
// Price files: the six-line price records of a downloaded daily price file
// or of a text file prepared for import.
//
//   line 1  fund name
//   line 2  WKN (the key that matches a held fund)
//   line 3  surcharge factor, issue price / redemption price ("1,0500")
//   line 4  fund currency ("Euro")
//   line 5  date "TT.MM.JJJJ"
//   line 6  redemption price, decimal comma
//
// Every price of a file is dated with the date of its first group.  Lines
// after the last complete group are ignored.

#include <string>
#include <string_view>
#include <vector>

namespace tellurio {

struct PriceRecord {
  std::string name;
  std::string wkn;
  std::string surchargeFactor;
  std::string currency;
  std::string date;   // the file date, not the group's own date line
  std::string price;  // as written in the file, without surrounding blanks
};

struct PriceFile {
  std::string date;                  // the date of the first group; empty without one
  std::vector<PriceRecord> records;  // the groups that carry a price, in file order
  int groups = 0;                    // complete six-line groups in the file
};

// Reads the groups of a price file.  A group is left out when its price is
// not a number or is zero, or when its own date line is not a valid date.
// When the date of the first group is not a valid date the file has no date
// to store its prices under and yields no record at all (an error page, a
// file of another format).
PriceFile ReadPriceRecords(const std::vector<std::string>& lines);

// "TT.MM.JJJJ" with a day that exists in that month.
bool IsDateText(std::string_view text);

// Digits with an optional decimal part after "," or ".", optionally
// surrounded by blanks: what a price line holds.  No sign: a redemption
// price is never negative.
bool IsPriceText(std::string_view text);

}  // namespace tellurio
