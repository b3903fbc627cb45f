#pragma once
// "Werteeingabe": typing prices by hand.  A window of five rows slides over
// the working list of a fund (its stored price rows, then an empty row for
// every business day up to the previous business day of today); scrolling
// above the first row grows the list backwards one business day at a time.
// Edits stay in the session until Commit, which asks first.

#include <array>
#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "portfolio/Funds.h"
#include "storage/RecordStore.h"
#include "storage/Status.h"

namespace tellurio {

class PriceEntrySession {
 public:
  static constexpr int kRows = 5;
  static constexpr int kPage = 10;

  struct Row {
    bool present = false;  // false beyond the end of the list
    std::string date;
    std::string price;  // empty for a row without a price ("0")
  };

  // store: the depot store (funds in key order); all must outlive the session.
  PriceEntrySession(RecordStore& store, const Calendar& calendar, Prompter& prompter);

  const std::vector<std::string>& Funds() const { return funds_; }
  size_t FundIndex() const { return fund_; }
  const std::string& Currency() const { return currency_; }

  // Loads the fund at that index: the working list, no changes, the last
  // rows shown.
  void Load(size_t fundIndex);
  // Commits the current fund (asking), then loads another.
  Status SwitchFund(size_t fundIndex);

  int Position() const { return position_; }
  int RowCount() const { return static_cast<int>(rows_.size() / 2); }
  // Highest scroll position: the last row at the top.
  int MaxPosition() const { return RowCount() > 0 ? RowCount() - 1 : 0; }
  std::array<Row, kRows> Visible() const;

  // The price field of visible row k was left after its text changed.
  void PriceLeft(int k, const std::string& text);

  void LineDown();
  void PageDown();
  void LineUp();
  void PageUp();
  // Thumb dragging: straight to a position (clamped).
  void ScrollTo(int position);

  bool HasChanges() const { return changed_ || added_; }
  // Asks and writes the changes to the store; the status of the save (ok
  // also when nothing was written).
  Status Commit();

  // The working list, date and price pairs (for tests and the dialog).
  const std::vector<std::string>& WorkingRows() const { return rows_; }

 private:
  void InsertFront();
  void Remember(std::vector<int>& list, int position);

  RecordStore& store_;
  const Calendar& calendar_;
  Prompter& prompter_;
  std::vector<std::string> funds_;
  size_t fund_ = 0;
  std::string currency_;
  std::vector<std::string> rows_;  // date, price pairs
  std::string firstStored_, lastStored_;
  std::vector<int> changedRows_, addedRows_;
  bool changed_ = false, added_ = false;
  int position_ = 0;
};

}  // namespace tellurio
