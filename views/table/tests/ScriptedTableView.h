#pragma once
// Doubles for the table view's dialogs and the printer: each dialog runs the
// next scripted function (an empty script cancels it), the printer records
// the jobs it is given.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/table/TableViewController.h"

namespace tellurio::testing {

struct ScriptedTableDialogs : TableViewDialogs {
  std::deque<std::function<std::optional<TableSelection>(TableSelectionRules&)>> tables;
  std::deque<std::function<std::optional<PrintChoice>(PrintChoiceRules&)>> prints;
  std::deque<std::optional<ExportItem>> exports;
  std::deque<std::optional<std::filesystem::path>> paths;
  std::vector<std::string> suggested;

  std::optional<TableSelection> ChooseTable(TableSelectionRules& r) override {
    if (tables.empty()) return std::nullopt;
    auto f = tables.front();
    tables.pop_front();
    return f(r);
  }
  std::optional<PrintChoice> ChoosePrintItems(PrintChoiceRules& r) override {
    if (prints.empty()) return std::nullopt;
    auto f = prints.front();
    prints.pop_front();
    return f(r);
  }
  std::optional<ExportItem> ChooseExportItem(const std::string&) override {
    if (exports.empty()) return std::nullopt;
    auto e = exports.front();
    exports.pop_front();
    return e;
  }
  std::optional<std::filesystem::path> AskCsvPath(const std::filesystem::path& dir, const std::string& name) override {
    suggested.push_back((dir / name).string());
    if (paths.empty()) return std::nullopt;
    auto p = paths.front();
    paths.pop_front();
    return p;
  }
};

struct RecordingPrinter : PrintService {
  std::vector<PrintJob> jobs;
  bool answer = true;
  bool Print(const PrintJob& job) override {
    jobs.push_back(job);
    return answer;
  }
};

}  // namespace tellurio::testing
