// The windows of price acquisition on the offscreen platform: the status
// window's lines, the archive progress dialog running its work, the import
// dialog's fund panel, and the portrait dialog's tabs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <cstdlib>

#include "acquisition/qt/AcquisitionDialogsQt.h"
#include "acquisition/qt/PortraitDialog.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"

namespace tellurio::testing {
namespace {

QWidget* TopLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
  return nullptr;
}

template <typename T>
T* In(QWidget* w, const char* name) {
  return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

TEST(StatusWindowQt, ShowsTheDepotLinesAndGoesAwayWithItsObject) {
  AcquisitionDialogsQt dialogs(nullptr);
  {
    std::unique_ptr<StatusWindow> w = dialogs.OpenStatusWindow("Kursdownload");
    QWidget* shown = TopLevel("statusWindow");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("Kursdownload"));
    w->ShowDepotLines();
    w->SetRemaining(12345);
    w->SetCurrent("Altersvorsorge");
    EXPECT_FALSE(In<QLabel>(shown, "subjectLead")->isVisible());
    EXPECT_EQ(In<QLabel>(shown, "currentLead")->text(), QStringLiteral("Die Daten des Depots"));
    EXPECT_EQ(In<QLabel>(shown, "current")->text(), QStringLiteral("Altersvorsorge"));
    EXPECT_EQ(In<QLabel>(shown, "remainingTail")->text(), QStringLiteral("Depots müssen aktualisiert werden"));
    // The number fits without a layout pass: the work keeps the event loop
    // from running while it changes the texts.
    QLabel* remaining = In<QLabel>(shown, "remaining");
    EXPECT_EQ(remaining->text(), QStringLiteral("12345"));
    EXPECT_GE(remaining->width(), remaining->fontMetrics().horizontalAdvance(remaining->text()));
  }
  EXPECT_EQ(TopLevel("statusWindow"), nullptr);
}

TEST(StatusWindowQt, PortraitFetchShowsOnlyItsText) {
  AcquisitionDialogsQt dialogs(nullptr);
  std::unique_ptr<StatusWindow> w = dialogs.OpenStatusWindow("Portraitdaten aktualisieren");
  w->SetSubject("Portraitdaten");
  w->SetCurrent("Der Vorgang kann einige Minuten dauern");
  w->ShowTextOnly();
  QWidget* shown = TopLevel("statusWindow");
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(In<QLabel>(shown, "subject")->isVisible());
  EXPECT_EQ(In<QLabel>(shown, "subject")->text(), QStringLiteral("Portraitdaten"));
  for (const char* hidden : {"currentLead", "currentTail", "remainingLead", "remainingTail"})
    EXPECT_FALSE(In<QLabel>(shown, hidden)->isVisible()) << hidden;
}

TEST(ArchiveProgressQt, RunsItsWorkOnceShownAndCannotBeClosedBeforeTheEnd) {
  AcquisitionDialogsQt dialogs(nullptr);
  std::vector<std::string> seen;
  bool wasShown = false;
  QString title, total;
  dialogs.RunArchiveProgress("Alpha", 3, [&](const ArchiveStep& step) {
    QDialog* d = ActiveDialog();
    wasShown = d && d->isVisible();
    if (d) {
      title = d->windowTitle();
      total = In<QLabel>(d, "total")->text();
    }
    for (int k = 0; k < 3; ++k) {
      step(k, "Fonds " + std::to_string(k));
      seen.push_back(In<QLabel>(d, "fund")->text().toStdString() + "/" + In<QLabel>(d, "number")->text().toStdString() +
                     "/" + std::to_string(In<QProgressBar>(d, "progress")->value()));
      // Escape or the close button in the middle of the work change nothing.
      if (k == 0 && d) d->reject();
    }
  });
  EXPECT_TRUE(wasShown);
  EXPECT_EQ(title, QStringLiteral("Aktuallisiertes Depot: Alpha"));
  EXPECT_EQ(total, QStringLiteral("3"));
  EXPECT_EQ(seen, (std::vector<std::string>{"Fonds 0/1/0", "Fonds 1/2/1", "Fonds 2/3/2"}));
  EXPECT_EQ(ActiveDialog(), nullptr);
}

// During a download the archive progress dialog opens while the status
// window is up: both are on the screen before any work is done, and neither
// covers the other's texts.
TEST(ArchiveProgressQt, OpensBesideTheStatusWindowNotOverIt) {
  QWidget main;
  main.resize(800, 560);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  AcquisitionDialogsQt dialogs(&main);
  std::unique_ptr<StatusWindow> status = dialogs.OpenStatusWindow("Kursdownload");
  status->ShowDepotLines();
  QWidget* statusWindow = TopLevel("statusWindow");
  ASSERT_NE(statusWindow, nullptr);
  EXPECT_TRUE(statusWindow->windowHandle()->isExposed()) << "on the screen before the work starts";
  bool checked = false;
  dialogs.RunArchiveProgress("Alpha", 1, [&](const ArchiveStep& step) {
    QDialog* d = ActiveDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->windowHandle()->isExposed());
    EXPECT_TRUE(statusWindow->isVisible());
    EXPECT_FALSE(d->frameGeometry().intersects(statusWindow->frameGeometry()))
        << "status " << statusWindow->frameGeometry().y() << "+" << statusWindow->frameGeometry().height()
        << ", progress " << d->frameGeometry().y() << "+" << d->frameGeometry().height();
    EXPECT_TRUE(d->screen()->availableGeometry().contains(d->frameGeometry()));
    step(0, "Fonds 0");
    checked = true;
  });
  EXPECT_TRUE(checked);
}

TEST(ImportDialogQt, ThePanelSelectsOneFundAndTheDialogReturnsTheFiles) {
  TempDir dir;
  WriteAll(dir / "a.txt", "x\r\n");
  WriteAll(dir / "b.txt", "y\r\n");
  RecordingPrompter prompter;
  ImportPanelRules rules(prompter, {"Alpha", "Beta"});
  AcquisitionDialogsQt dialogs(nullptr);
  WhenShown([&] {
    auto* d = qobject_cast<QFileDialog*>(ActiveDialog());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Kursdaten importieren"));
    EXPECT_EQ(d->directory().absolutePath(), QString::fromStdString(dir.path().string()));
    EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Text-Dateien (*.txt)")});
    EXPECT_EQ(d->labelText(QFileDialog::Accept), QStringLiteral("Importieren"));
    auto* box = In<QCheckBox>(d, "allFunds");
    auto* combo = In<QComboBox>(d, "fund");
    ASSERT_TRUE(box && combo);
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(combo->count(), 2);
    box->click();
    EXPECT_TRUE(combo->isEnabled());
    combo->setCurrentIndex(1);
    d->selectFile(QStringLiteral("\"a.txt\" \"b.txt\""));
    auto* buttons = d->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    ASSERT_NE(buttons->button(QDialogButtonBox::Open), nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("Importieren"));
    buttons->button(QDialogButtonBox::Open)->click();
  });
  const std::optional<ImportChoice> c = dialogs.ChooseImportFiles(dir.path(), rules);
  ASSERT_TRUE(c.has_value());
  ASSERT_EQ(c->files.size(), 2u);
  EXPECT_EQ(c->files[0].filename(), "a.txt");
  EXPECT_EQ(c->files[1].filename(), "b.txt");
  EXPECT_TRUE(c->files[0].is_absolute());
  EXPECT_FALSE(c->allFunds);
  EXPECT_EQ(c->fund, "Beta");
}

TEST(ImportDialogQt, ADepotWithoutFundsKeepsTheBoxChecked) {
  TempDir dir;
  RecordingPrompter prompter;
  prompter.Script({Answer::Ok});
  ImportPanelRules rules(prompter, {});
  AcquisitionDialogsQt dialogs(nullptr);
  WhenShown([&] {
    QDialog* d = ActiveDialog();
    auto* box = In<QCheckBox>(d, "allFunds");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(In<QComboBox>(d, "fund")->isVisible());
    box->click();
    EXPECT_TRUE(box->isChecked());
    d->reject();
  });
  EXPECT_FALSE(dialogs.ChooseImportFiles(dir.path(), rules).has_value());
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_EQ(prompter.Last().text.rfind("Es sind im aktuellen Depot keine Fonds vorhanden.", 0), 0u);
}

// Two blocks: "Uni Global" first, then "Uni", whose name is part of the
// first one's.
std::string PortraitFile() {
  std::vector<std::string> lines;
  auto block = [&](const std::string& name, const std::string& wkn, const std::string& perf) {
    for (const std::string& l :
         std::vector<std::string>{name, "Union Investment", wkn, "Aktienfonds", "Anna Muster", "Union KAG", "120,5",
                                  "55,10", "5,00%", "EUR", "****", "Weltweit in Aktien."})
      lines.push_back(l);
    for (int i = 0; i < 7; ++i) lines.push_back(i == 5 ? "k.A." : perf);
    lines.push_back("Sektor Aktien Welt");
    for (int i = 0; i < 7; ++i) lines.push_back("1,00");
    for (const std::string& l : std::vector<std::string>{"Nestle",
                                                         "3,2",
                                                         "Apple",
                                                         "2,9",
                                                         "Wertentwicklung",
                                                         "Sektor Aktien Welt",
                                                         "3",
                                                         "10/2026",
                                                         "11/2026",
                                                         "12/2026",
                                                         "1,00",
                                                         "-2,00",
                                                         "4,50",
                                                         "0,50",
                                                         "1,00",
                                                         "2,00",
                                                         "Konkurrenzanalyse",
                                                         "5,00",
                                                         "6,00",
                                                         "7,00",
                                                         "-1,00",
                                                         "-3,00",
                                                         "-2,00"})
      lines.push_back(l);
  };
  block("Uni Global", "849105", "12,50");
  block("Uni", "849106", "0,00");
  std::string bytes;
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

TEST(PortraitDialogQt, EveryTabShowsTheFundChosenByItsPlaceInTheList) {
  TempDir dir;
  WriteAll(dir / "portrait.txt", PortraitFile());
  const PortraitIndex index = {{"Uni Global", 0}, {"Uni", 50}};
  PortraitDialog d(nullptr, index, dir / "portrait.txt");
  d.show();
  auto* tabs = In<QTabWidget>(&d, "tabs");
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("Stammdaten"));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("Strategie/Performance"));
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("Wertentwicklung"));
  EXPECT_EQ(tabs->tabText(3), QStringLiteral("Größte Positionen im Fond"));
  EXPECT_EQ(tabs->currentIndex(), 0);
  auto* funds = In<QComboBox>(&d, "funds");
  ASSERT_EQ(funds->count(), 2);
  EXPECT_EQ(In<QLabel>(&d, "field1001")->text(), QStringLiteral("Uni Global"));

  // "Uni" is contained in "Uni Global", which comes first: the portrait
  // shown must still be Uni's own.
  funds->setCurrentIndex(1);
  EXPECT_EQ(In<QLabel>(&d, "field1001")->text(), QStringLiteral("Uni"));
  EXPECT_EQ(In<QLabel>(&d, "field1050")->text(), QStringLiteral("849106"));
  EXPECT_EQ(In<QLabel>(&d, "field1040")->text(), QStringLiteral("****"));

  tabs->setCurrentIndex(1);
  EXPECT_EQ(In<QGroupBox>(&d, "frame1056")->title(), QStringLiteral("Performace in %"));
  auto* table = In<PerformanceTable>(&d, "performanceTable");
  EXPECT_EQ(table->Cell(0, 1), QStringLiteral("1 Monat"));
  EXPECT_EQ(table->Cell(0, 7), QStringLiteral("seit.Aufl."));
  EXPECT_EQ(table->Cell(1, 0), QStringLiteral("Fond"));
  EXPECT_EQ(table->Cell(1, 1), QStringLiteral("0.00 %"));
  EXPECT_EQ(table->Cell(1, 6), QStringLiteral("k.A."));
  EXPECT_EQ(table->Cell(2, 0), QStringLiteral("Sektor Aktien Welt"));
  EXPECT_EQ(table->Cell(2, 3), QStringLiteral("1,00 %"));

  tabs->setCurrentIndex(2);
  EXPECT_FALSE(In<QLabel>(&d, "noChart")->isVisible());
  EXPECT_EQ(In<PortraitChart>(&d, "chart1042")->SeriesCount(), 2);
  EXPECT_EQ(In<PortraitChart>(&d, "chart1043")->SeriesCount(), 3);
  EXPECT_EQ(In<QLabel>(&d, "field1058")->text(), QStringLiteral("-- Referenz: Sektor Aktien Welt"));

  tabs->setCurrentIndex(3);
  auto* positions = In<QTreeWidget>(&d, "field1052");
  ASSERT_EQ(positions->topLevelItemCount(), 2);
  EXPECT_EQ(positions->topLevelItem(1)->text(0), QStringLiteral("Apple"));
  EXPECT_EQ(positions->topLevelItem(1)->text(1), QStringLiteral("2,9"));

  tabs->setCurrentIndex(2);
  d.resize(820, 600);
  ASSERT_TRUE(QTest::qWaitFor([&d] { return d.size() == QSize(820, 600); }));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const QImage shot = d.grab().toImage();
  EXPECT_FALSE(shot.isNull());
  if (const char* out = std::getenv("TELLURIO_SCREENSHOT_DIR"))
    shot.save(QString::fromLocal8Bit(out) + QStringLiteral("/portrait_wertentwicklung.png"));
}

TEST(PortraitDialogQt, ABlockWithoutChartDataSaysSo) {
  TempDir dir;
  WriteAll(dir / "portrait.txt", "Kurz\r\nFirma\r\n123456\r\n");
  PortraitDialog d(nullptr, {{"Kurz", 0}}, dir / "portrait.txt");
  d.show();
  In<QTabWidget>(&d, "tabs")->setCurrentIndex(2);
  EXPECT_TRUE(In<QLabel>(&d, "noChart")->isVisible());
  EXPECT_EQ(In<QLabel>(&d, "field1021")->text(), QString());
  In<QTabWidget>(&d, "tabs")->setCurrentIndex(3);
  auto* positions = In<QTreeWidget>(&d, "field1052");
  ASSERT_EQ(positions->topLevelItemCount(), 1);
  EXPECT_EQ(positions->topLevelItem(0)->text(0), QStringLiteral("Keine Angaben"));
}

}  // namespace
}  // namespace tellurio::testing
