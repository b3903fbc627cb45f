#include "portfolio/PriceEntrySession.h"

#include <algorithm>

#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"

namespace tellurio {

namespace {

std::string NextDay(const Calendar& c, std::string date) {
  c.AddDays(date, 1);
  return date;
}

}  // namespace

PriceEntrySession::PriceEntrySession(RecordStore& store, const Calendar& calendar, Prompter& prompter)
    : store_(store), calendar_(calendar), prompter_(prompter), funds_(FundNames(store)) {
  if (!funds_.empty()) Load(0);
}

void PriceEntrySession::Load(size_t fundIndex) {
  rows_.clear();
  changedRows_.clear();
  addedRows_.clear();
  changed_ = added_ = false;
  firstStored_.clear();
  lastStored_.clear();
  currency_.clear();
  position_ = 0;
  if (fundIndex >= funds_.size()) return;
  fund_ = fundIndex;
  const std::string& name = funds_[fund_];
  if (auto m = ReadMaster(store_, name)) currency_ = m->currency;
  rows_ = PriceRows(store_, name);
  const std::string last = Calendar::FormatDate(PreviousBusinessDay(calendar_, calendar_.Today()));
  if (rows_.size() < 2) {
    rows_ = {last, "0"};
  } else {
    firstStored_ = rows_.front();
    lastStored_ = rows_[rows_.size() - 2];
    // An empty row for every business day after the last stored date.
    for (std::string day = NextDay(calendar_, lastStored_); CompareDates(day, last, 0) <= 0;
         day = NextDay(calendar_, day)) {
      if (IsBusinessDay(calendar_, Calendar::ParseDate(day))) {
        rows_.push_back(day);
        rows_.push_back("0");
      }
    }
  }
  position_ = std::max(0, RowCount() - kRows);
}

Status PriceEntrySession::SwitchFund(size_t fundIndex) {
  Status s = Commit();
  Load(fundIndex);
  return s;
}

std::array<PriceEntrySession::Row, PriceEntrySession::kRows> PriceEntrySession::Visible() const {
  std::array<Row, kRows> out;
  for (int k = 0; k < kRows; ++k) {
    const int i = position_ + k;
    if (i >= RowCount()) break;
    out[k].present = true;
    out[k].date = rows_[2 * i];
    const std::string& p = rows_[2 * i + 1];
    out[k].price = p == "0" ? std::string() : p;
  }
  return out;
}

void PriceEntrySession::Remember(std::vector<int>& list, int position) {
  if (std::find(list.begin(), list.end(), position) == list.end()) list.push_back(position);
}

void PriceEntrySession::PriceLeft(int k, const std::string& text) {
  const int i = position_ + k;
  if (k < 0 || k >= kRows || i >= RowCount()) return;
  if (!text.empty()) rows_[2 * i + 1] = text;
  const std::string& date = rows_[2 * i];
  const bool outside =
      firstStored_.empty() || CompareDates(date, firstStored_, 0) < 0 || CompareDates(date, lastStored_, 0) > 0;
  if (outside) {
    added_ = true;
    Remember(addedRows_, i);
  } else {
    changed_ = true;
    Remember(changedRows_, i);
  }
}

void PriceEntrySession::LineDown() {
  if (position_ < MaxPosition()) ++position_;
}

void PriceEntrySession::PageDown() { position_ = std::min(position_ + kPage, MaxPosition()); }

void PriceEntrySession::InsertFront() {
  std::string day = rows_.empty() ? calendar_.TodayText() : rows_.front();
  calendar_.AddDays(day, -1);
  day = PreviousBusinessDayText(calendar_, day);
  rows_.insert(rows_.begin(), {day, "0"});
  for (int& p : changedRows_) ++p;
  for (int& p : addedRows_) ++p;
}

void PriceEntrySession::LineUp() {
  if (position_ > 0)
    --position_;
  else
    InsertFront();
}

void PriceEntrySession::PageUp() {
  for (int i = 0; i < kPage; ++i) LineUp();
}

void PriceEntrySession::ScrollTo(int position) { position_ = std::clamp(position, 0, MaxPosition()); }

Status PriceEntrySession::Commit() {
  if (!changed_ && !added_) return Status::Ok();
  if (fund_ >= funds_.size()) return Status::Ok();
  const bool take = prompter_.AskYesNo("Frage", "Wollen Sie die durchgeführten Änderungen übernehmen?",
                                       MessageIcon::Question, BeepKind::Question);
  if (!take) {
    changed_ = added_ = false;
    changedRows_.clear();
    addedRows_.clear();
    return Status::Ok();
  }
  const std::string& name = funds_[fund_];
  store_.Select(name);
  for (int i : changedRows_) {
    const std::string& date = rows_[2 * i];
    const std::string& price = rows_[2 * i + 1];
    if (!price.empty())
      store_.UpdateRow(section::kPrices, {date, price}, date, 0);
    else
      store_.DeleteRow(section::kPrices, date, 0);
  }
  if (added_) {
    int first = -1;
    for (int i = 0; i < RowCount(); ++i) {
      if (ParseNumber(rows_[2 * i + 1]) != 0) {
        first = i;
        break;
      }
    }
    if (first >= 0) {
      std::vector<std::string> sorted(rows_.begin() + 2 * first, rows_.end());
      SortRowsByDate(sorted, 2, 0, false);
      store_.ReplaceRows(section::kPrices, std::move(sorted));
    }
  }
  changed_ = added_ = false;
  changedRows_.clear();
  addedRows_.clear();
  return store_.Save();
}

}  // namespace tellurio
