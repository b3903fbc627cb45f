// Start-up benchmark: the program's own start, offscreen, on a large working
// directory (depot of 50 funds x 5,000 prices, fund archive of 3,000 funds x
// 781 prices, a small second depot, a portrait file of 600,000 lines, twenty
// years of DAX history), with the depot choice answered by script.
//
// Every start runs in a fresh process (this program started again with
// --child), built as main() builds the program: it begins with the restart
// that puts the C library's heap on huge pages (counted in the whole
// process, before the choice), then the document's start of the
// depot session with the price acquisition as its hooks and the Qt status
// windows, then the main window with its panes, shown and painted.  Only the
// shell dialogs (the depot choice, the new depot) and the prompter answer by
// script, and the web library is the offline double (a start that would call
// it is reported).  The child prints monotonic time stamps; this process
// compares them with
//   - the floor: `cat` of every file of the directory (what the start reads);
//   - one start of the program in an empty working directory (first use:
//     the questions answered, a new depot created), measured in the same run.
//
// Figures (median of --runs starts each, default 5):
//   start        the start after the depot choice, phase by phase
//                (stores, statistics, reconciliation, portrait index, rest
//                of the start, main window and the first paint of all panes);
//                target: at most 3 x floor + the empty start's same span;
//   switch       "Depot wechseln" from the small depot to the large one, from
//                the choice to the painted panes; the same target;
//   fund choice  a fund tile pressed and a line of the list of all funds
//                clicked, to the painted panes; target: at most 2 x (Open of
//                the depot store + the long-term chart drawn into an image of
//                the chart pane's size), measured in the same process;
//   memory       the peak resident size of the large start (with three fund
//                choices) against 1.5 x the data files + the empty start's peak
//                (VmHWM of the child, the figure /usr/bin/time -v reports).
//
//   startup_bench [--dir DIR] [--runs N] [--keep]

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "acquisition/PriceAcquisition.h"
#include "acquisition/qt/AcquisitionDialogsQt.h"
#include "app/core/CTellurioDoc.h"
#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ProgramWindow.h"
#include "app/qt/ShellDialogsQt.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "calendar/Calendar.h"
#include "platform/Clock.h"
#include "platform/HugePages.h"
#include "platform/Settings.h"
#include "platform/qt/Translations.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/RecordingPrompter.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/ChartRenderer.h"
#include "weblib/testing/FakeWebLibrary.h"

extern char** environ;

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

// "Today" of every start: the day after the last price of the data.
constexpr CivilDate kToday{2026, 12, 1};
constexpr const char* kTodayText = "01.12.2026";

double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// ---- the child: one start of the program ------------------------------------------

// --scripted-choice: the depot is chosen without the choice dialog (its
// widgets then are the first the start makes after the choice).
bool g_scriptedChoice = false;

// Time stamps of one child, printed as "name value" lines.
std::map<std::string, double> g_stamps;
void Stamp(const std::string& name) { g_stamps[name] = NowMs(); }
void Print(const std::string& name, double value) { std::printf("%s %.3f\n", name.c_str(), value); }

// Double-clicks the depot's line of the depot choice (as the list reports
// it) once the dialog is on the screen; tries for about two seconds.
void AnswerChoice(const std::string& depot, int attempt) {
  QTimer::singleShot(attempt == 0 ? 0 : 10, [depot, attempt] {
    QDialog* d = testing::ActiveDialog();
    QListWidget* list = d ? d->findChild<QListWidget*>(QStringLiteral("depots")) : nullptr;
    const QList<QListWidgetItem*> items =
        list ? list->findItems(QString::fromStdString(depot), Qt::MatchExactly) : QList<QListWidgetItem*>();
    if (items.isEmpty() || !d->windowHandle() || !d->windowHandle()->isExposed()) {
      if (attempt < 200)
        AnswerChoice(depot, attempt + 1);
      else if (d)
        d->reject();  // the start then fails instead of waiting
      return;
    }
    list->setCurrentItem(items.front());
    emit list->itemDoubleClicked(items.front());
  });
}

// The shell dialogs with the user's answers: the depot choice, a new depot
// "Leer" of the provider "Bank" with the web provider "Deka".  Each answer
// stamps the moment the dialog returns.
class ScriptedDialogs : public ShellDialogs {
 public:
  std::vector<std::string> choices;  // the depots to choose, in order
  // The program's own "Depotauswahl", answered by a double click on the
  // depot's line once it is on the screen, as a user chooses; otherwise
  // the choice is returned without a dialog.
  bool realChoice = true;

  std::optional<std::string> ChooseDepot(const std::vector<std::string>& depots) override {
    if (choices.empty()) return std::nullopt;
    std::string depot = choices.front();
    choices.erase(choices.begin());
    if (realChoice) {
      RecordingPrompter unused;
      ShellDialogsQt real(unused, nullptr);
      AnswerChoice(depot, 0);
      const std::optional<std::string> chosen = real.ChooseDepot(depots);
      if (chosen != depot) throw std::runtime_error("the depot choice was not answered");
    }
    Stamp("choice");
    return depot;
  }
  std::optional<NewDepotChoice> NewDepot(
      const std::vector<std::string>&, const std::vector<std::string>&,
      const std::function<std::optional<NameRefusal>(const NewDepotChoice&)>& check) override {
    NewDepotChoice c{"Leer", "Bank"};
    if (check(c)) return std::nullopt;
    Stamp("choice");
    return c;
  }
  std::optional<std::string> AssignWebProvider(const std::vector<std::string>&) override { return "Deka"; }
  std::optional<std::string> ChooseDepotToDelete(const std::vector<std::string>&) override { return std::nullopt; }
  std::optional<std::string> ChooseCurrency(const std::string&) override { return std::nullopt; }
  std::optional<std::string> EnterMoneyMarketRate(const std::string&) override { return std::nullopt; }
  std::optional<std::string> EnterConversionFactor(const std::string&, const std::string&) override {
    return std::string("1,95583");
  }
};

// Stamps before and after the start steps of the hooks between which it is
// placed (the price acquisition's).
class StepStamps : public SubsystemHooks {
 public:
  explicit StepStamps(const char* when) : when_(when) {}
  void ReconcileArchives() override { Stamp(std::string("reconcile.") + when_); }
  void BuildPortraitIndex() override { Stamp(std::string("portrait.") + when_); }

 private:
  const char* when_;
};

// Stands for the main window while the start of the depot session runs
// (the program has none yet): the depot's status text is set right after
// its stores are open, the chart is reset right after the statistics.
class StartViews : public ViewHost {
 public:
  void UpdateAllViews() override {}
  void SetStatusText(int pane, const std::string&) override {
    if (pane == 1) Stamp("stores");
  }
  void ResetChartView(bool) override { Stamp("statistics"); }
};

// Watches the paint events of the panes and of their lists.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(CMainFrame& frame) : frame_(frame) { qApp->installEventFilter(this); }
  ~PaintWatch() override { qApp->removeEventFilter(this); }

  // Runs events until every pane and every list in a pane has been painted
  // since the call began; the stamp is taken when the event that painted the
  // last of them is done.
  bool WaitForPanes(const std::function<void()>& action, const std::string& stamp) {
    painted_.clear();
    if (action) action();
    QElapsedTimer guard;
    guard.start();
    while (!AllPainted()) {
      if (guard.elapsed() > 20000) return false;
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    Stamp(stamp);
    return true;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted_.insert(watched);
    return false;
  }

 private:
  bool AllPainted() const {
    if (frame_.Panes().size() < 3) return false;
    for (CChildFrame* pane : frame_.Panes()) {
      CTellurioView* view = pane->View();
      if (!view || !painted_.count(view)) return false;
      for (QListWidget* list : {view->FundList(), view->TotalsList(), view->RankingList()})
        if (list && list->isVisible() && !painted_.count(list->viewport())) return false;
    }
    return true;
  }
  CMainFrame& frame_;
  std::set<QObject*> painted_;
};

// The peak resident size of this process in kB (from /proc: the figure
// /usr/bin/time reports, without what a spawning parent left in it).
long PeakKb() {
  long kb = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(f);
  }
  return kb;
}

// The offscreen platform's notes about what it cannot do are no faults.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (text.contains(QLatin1String("propagateSizeHints")) || text.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
  std::fprintf(stderr, "Qt %d: %s\n", static_cast<int>(type), text.toLocal8Bit().constData());
}

int RunChild(const std::string& mode, const fs::path& dir, const std::string& depot, int argc, char** argv) {
  Stamp("main");
  qInstallMessageHandler(QuietMessages);
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Vaskor"));
  QApplication::setApplicationName(QStringLiteral("Tellurio"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  const std::unique_ptr<QTranslator> qtGerman = InstallGermanQtTranslation();

  FixedClock clock(kToday);
  RecordingPrompter prompter;
  prompter.Script({Answer::No});  // an empty directory: no restore
  MemorySettings settings;
  if (mode != "empty") {
    settings.Write(kSettingsSection, "Portrait", std::string(kTodayText).substr(3, 2));
    settings.Write(kSettingsSection, "Zins", "3,00");
    settings.Write(kSettingsSection, "Waehrung", "Euro");
  }
  marabu::testing::FakeWebLibrary web;
  web.today = kTodayText;
  web.daxValue = "15000,00";
  web.providers = {"Deka"};
  ScriptedDialogs dialogs;
  dialogs.realChoice = !g_scriptedChoice;
  if (mode == "switch")
    dialogs.choices = {kSmallDepot, depot};
  else
    dialogs.choices = {depot};
  AcquisitionDialogsQt acquisitionDialogs(nullptr);
  PriceAcquisition acquisition(acquisitionDialogs, web);
  StepStamps before("begin"), after("end");
  CTellurioDoc doc(DocumentServices{prompter, settings, clock, web, dialogs, {&before, &acquisition, &after}});
  acquisition.SetSession(&doc);
  StartViews startViews;
  doc.SetViewHost(&startViews);
  Stamp("startup.begin");
  if (doc.StartUp(dir) == CTellurioDoc::StartResult::Exit) {
    std::fprintf(stderr, "the start ended without a depot\n");
    return 2;
  }
  Stamp("startup.end");
  doc.SetViewHost(nullptr);

  int status = 0;
  {
    ProgramWindow window(doc, acquisition, prompter);
    CMainFrame& frame = window.frame();
    acquisitionDialogs.SetParent(&frame);
    Stamp("window");
    PaintWatch watch(frame);
    if (!watch.WaitForPanes([&] { frame.show(); }, "painted")) {
      std::fprintf(stderr, "the panes were not painted\n");
      return 3;
    }
    const QSize client = frame.FindPane(QStringLiteral("Fenster1"))->View()->size();
    Print("pane.width", client.width());
    Print("pane.height", client.height());

    if (mode == "switch") {
      if (!watch.WaitForPanes([&] { window.commands().Execute(cmd::kSwitchDepot); }, "switch.painted")) status = 3;
    }
    if (mode == "choice" || mode == "peak") {
      CTellurioView* depotPane = frame.FindPane(QStringLiteral("Fenster3"))->View();
      CTellurioView* listPane = frame.FindPane(QStringLiteral("Fenster2"))->View();
      CTellurioView* chartPane = frame.FindPane(QStringLiteral("Fenster1"))->View();
      const DepotState& s = doc.State();
      const int rounds = mode == "peak" ? 3 : 5;
      for (int k = 0; k < rounds && status == 0; ++k) {
        // The floor: Open of the depot store and the long-term chart of the
        // fund the tile chooses, into an image of the chart pane's size.
        const std::vector<std::string> funds = FundNames(s.depotStore);
        const std::string fund = funds[static_cast<size_t>(k * 7) % funds.size()];
        if (mode == "choice") {
          const double a = NowMs();
          RecordStore store;
          Require(store.Create(s.depotStore.BasePath(), 6, fileset::kDepotRowWidths));
          Require(store.Open());
          chart::ChartInput in;
          in.kind = chart::ChartKind::LongTerm;
          in.fund = fund;
          const std::vector<std::string> series = PriceRows(store, fund);
          QImage image(chartPane->size(), QImage::Format_RGB32);
          image.fill(Qt::white);
          {
            QPainter p(&image);
            chart::ScrollState scroll;
            DrawChart(p, image.rect(), in, series, scroll);
          }
          Print("floor." + std::to_string(k), NowMs() - a);
        }
        // A tile of the depot pane.
        const std::vector<QPushButton*>& tiles = depotPane->Tiles();
        QPushButton* tile = tiles[static_cast<size_t>(k * 7) % tiles.size()];
        double a = NowMs();
        if (!watch.WaitForPanes([&] { QTest::mouseClick(tile, Qt::LeftButton); }, "x")) status = 3;
        Print("tile." + std::to_string(k), g_stamps["x"] - a);
        if (s.selectedFund != fund) {
          std::fprintf(stderr, "the tile chose %s, not %s\n", s.selectedFund.c_str(), fund.c_str());
          status = 4;
        }
        // A line of the list of all funds.
        QListWidget* list = listPane->FundList();
        QListWidgetItem* item = list->item((k * 13 + 2) % std::max(1, std::min(list->count(), 10)));
        list->scrollToItem(item);
        QCoreApplication::processEvents();
        const QPoint at = list->visualItemRect(item).center();
        a = NowMs();
        if (!watch.WaitForPanes([&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); }, "x")) status = 3;
        Print("list." + std::to_string(k), g_stamps["x"] - a);
        if (s.selectedFund.empty() || !chartPane->ChartActive()) {
          std::fprintf(stderr, "the list line chose no fund\n");
          status = 4;
        }
      }
    }
    acquisitionDialogs.SetParent(nullptr);
  }
  // Anything the start said or asked beyond the scripted first-use questions
  // would have waited for the user.
  const size_t expected = mode == "empty" ? 2 : 0;
  if (prompter.Messages().size() != expected) {
    for (const Message& m : prompter.Messages()) std::fprintf(stderr, "message: %s\n", m.text.c_str());
    status = 5;
  }
  for (const std::string& call : web.calls) {
    if (mode != "empty" && call.rfind("ArbeitsverzeichnisEinstellen", 0) != 0) {
      std::fprintf(stderr, "web call: %s\n", call.c_str());
      status = 5;
    }
  }
  for (const auto& [name, t] : g_stamps) Print(name, t);
  Print("peak.kb", static_cast<double>(PeakKb()));
  std::fflush(stdout);
  return status;
}

// ---- the parent: starts children and compares ---------------------------------------

struct ChildResult {
  std::map<std::string, double> values;
  double spawned = 0;  // when the child was started
};

fs::path g_self;

ChildResult RunChildProcess(const std::string& mode, const fs::path& dir, const std::string& depot) {
  const fs::path out = fs::temp_directory_path() / ("tellurio-startup-bench-" + std::to_string(getpid()) + ".txt");
  std::vector<std::string> args = {g_self.string(), "--child", mode, "--dir", dir.string(), "--depot", depot};
  if (g_scriptedChoice) args.push_back("--scripted-choice");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ChildResult r;
  r.spawned = NowMs();
  pid_t pid = 0;
  if (posix_spawn(&pid, g_self.c_str(), &fa, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " + g_self.string());
  posix_spawn_file_actions_destroy(&fa);
  int status = 0;
  waitpid(pid, &status, 0);
  std::FILE* f = std::fopen(out.c_str(), "r");
  char name[128];
  double value = 0;
  while (f && std::fscanf(f, "%127s %lf", name, &value) == 2) r.values[name] = value;
  if (f) std::fclose(f);
  fs::remove(out);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("the " + mode + " start failed (status " + std::to_string(status) + ")");
  return r;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Median time of `cat` over the files, run as a separate process.
double CatFloorMs(const std::vector<fs::path>& files) {
  std::vector<std::string> args = {"cat"};
  for (const fs::path& f : files) args.push_back(f.string());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return MedianMs(3, [&] {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cat", &fa, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&fa);
  });
}

// The phases of a start, in the order they run, as differences of stamps.
const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> kPhases = {
    {"process and Qt up to the start", {"spawn", "startup.begin"}},
    {"lists, DAX, settings (to the choice)", {"startup.begin", "choice"}},
    {"stores (after the choice)", {"choice", "stores"}},
    {"statistics of the depot and of all funds", {"stores", "statistics"}},
    {"to the reconciliation", {"statistics", "reconcile.begin"}},
    {"archive reconciliation", {"reconcile.begin", "reconcile.end"}},
    {"portrait index", {"portrait.begin", "portrait.end"}},
    {"rest of the start", {"portrait.end", "startup.end"}},
    {"main window made", {"startup.end", "window"}},
    {"shown, first paint of all panes", {"window", "painted"}},
};

double Span(const ChildResult& r, const std::string& from, const std::string& to) {
  auto at = [&](const std::string& n) { return n == "spawn" ? r.spawned : r.values.at(n); };
  return at(to) - at(from);
}

int RunParent(fs::path dir, int runs, bool keep) {
  const bool temporary = dir.empty();
  if (temporary) dir = fs::temp_directory_path() / "tellurio-bench-startup";
  const fs::path empty = dir.string() + "-leer";
  LargeData data;
  std::printf("Generating %s ...\n", dir.c_str());
  std::fflush(stdout);
  fs::remove_all(dir);
  GenerateProgramDirectory(dir, data, kTodayText);
  std::vector<fs::path> files;
  uintmax_t bytes = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    files.push_back(e.path());
    bytes += e.file_size();
  }
  std::sort(files.begin(), files.end());
  std::printf("%zu data files, %.1f MB\n", files.size(), static_cast<double>(bytes) / 1e6);
  std::printf("load: ");
  std::fflush(stdout);
  std::system("uptime");

  // Every run makes each kind of start once, in turn, so that all meet the
  // same machine.
  std::vector<double> floors, emptySpan, emptyWhole, startSpan, switchSpan, tile, list, choiceFloor;
  std::vector<double> largePeak, emptyPeak;
  std::map<std::string, std::vector<double>> phases;
  for (int run = 0; run < runs; ++run) {
    floors.push_back(CatFloorMs(files));
    fs::remove_all(empty);
    fs::create_directories(empty);
    const ChildResult e = RunChildProcess("empty", empty, "");
    emptySpan.push_back(Span(e, "choice", "painted"));
    emptyWhole.push_back(Span(e, "spawn", "painted"));
    emptyPeak.push_back(e.values.at("peak.kb"));
    const ChildResult s = RunChildProcess("start", dir, data.depot);
    startSpan.push_back(Span(s, "choice", "painted"));
    for (const auto& [name, span] : kPhases) phases[name].push_back(Span(s, span.first, span.second));
    phases["whole start, process to painted"].push_back(Span(s, "spawn", "painted"));
    const ChildResult w = RunChildProcess("switch", dir, data.depot);
    switchSpan.push_back(Span(w, "choice", "switch.painted"));
    const ChildResult c = RunChildProcess("choice", dir, data.depot);
    for (int k = 0; c.values.count("tile." + std::to_string(k)); ++k) {
      tile.push_back(c.values.at("tile." + std::to_string(k)));
      list.push_back(c.values.at("list." + std::to_string(k)));
      choiceFloor.push_back(c.values.at("floor." + std::to_string(k)));
    }
    const ChildResult p = RunChildProcess("peak", dir, data.depot);
    largePeak.push_back(p.values.at("peak.kb"));
    if (run == 0)
      std::printf("chart pane %d x %d\n\n", static_cast<int>(s.values.at("pane.width")),
                  static_cast<int>(s.values.at("pane.height")));
  }

  const double floor = Median(floors);
  const double emptyStart = Median(emptySpan);
  std::printf("%-48s %9.1f ms\n", "floor: cat of all data files", floor);
  std::printf("%-48s %9.1f ms   (whole process %.1f ms)\n", "empty directory: new depot to painted panes", emptyStart,
              Median(emptyWhole));
  std::printf("\nlarge directory, phases (median of %d):\n", runs);
  for (const auto& [name, span] : kPhases) std::printf("  %-46s %9.1f ms\n", name.c_str(), Median(phases[name]));
  std::printf("  %-46s %9.1f ms\n", "whole start, process to painted",
              Median(phases["whole start, process to painted"]));
  std::printf("\n");
  const double startTarget = 3 * floor + emptyStart;
  Report("Start after the choice to painted panes", Median(startSpan), "3 x cat + empty start", startTarget, 1.0);
  Report("Switch to the large depot", Median(switchSpan), "3 x cat + empty start", startTarget, 1.0);
  const double choiceFloorMs = Median(choiceFloor);
  Report("Fund choice: tile to painted panes", Median(tile), "Open depot store + chart", choiceFloorMs, 2.0);
  Report("Fund choice: list line to painted panes", Median(list), "Open depot store + chart", choiceFloorMs, 2.0);
  const double dataMb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  const double emptyMb = Median(emptyPeak) / 1024.0;
  const double largeMb = Median(largePeak) / 1024.0;
  std::printf("%-48s %9.1f MB   %-28s %8.1f MB   ratio %5.2f   target <= 1.00  %s\n",
              "Peak resident size, large directory", largeMb, "1.5 x data + empty peak", 1.5 * dataMb + emptyMb,
              largeMb / (1.5 * dataMb + emptyMb), largeMb <= 1.5 * dataMb + emptyMb ? "met" : "MISSED");
  std::printf("  (data files %.1f MB, empty-directory peak %.1f MB)\n", dataMb, emptyMb);
  const bool met = AllTargetsMet() && largeMb <= 1.5 * dataMb + emptyMb;
  if (!keep && temporary) fs::remove_all(dir);
  fs::remove_all(empty);
  std::printf("\n%s\n", met ? "All targets met." : "Some targets MISSED.");
  return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // A child is a start of the program: it begins as the program's main
  // does, restarting itself with the C library's heap on huge pages.
  if (argc > 2 && std::string(argv[1]) == "--child") UseHugePagesForMalloc(argv);
  g_self = fs::canonical("/proc/self/exe");
  std::string mode, depot;
  fs::path dir;
  int runs = 5;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--child" && i + 1 < argc)
      mode = argv[++i];
    else if (a == "--dir" && i + 1 < argc)
      dir = argv[++i];
    else if (a == "--depot" && i + 1 < argc)
      depot = argv[++i];
    else if (a == "--runs" && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--keep")
      keep = true;
    else if (a == "--scripted-choice")
      g_scriptedChoice = true;
  }
  // The program draws offscreen, on a screen of a usual desktop size.
  if (!std::getenv("QT_QPA_PLATFORM")) {
    const fs::path config = fs::temp_directory_path() / "tellurio-startup-bench-screen.json";
    if (std::FILE* f = std::fopen(config.c_str(), "w")) {
      std::fputs(R"({"screens":[{"name":"bench","x":0,"y":0,"width":1400,"height":1000,"logicalDpi":96}]})", f);
      std::fclose(f);
    }
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
  }
  try {
    if (!mode.empty()) return RunChild(mode, dir, depot, argc, argv);
    return RunParent(dir, runs, keep);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
}
