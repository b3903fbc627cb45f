// Wiring of the entry fields: keys, paste and focus changes reach the rules,
// their outcome reaches the widget, and warnings shown from a focus change
// do not recurse.

#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "calendar/qt/DateEdit.h"
#include "calendar/qt/NumericEdit.h"
#include "platform/Clock.h"
#include "platform/qt/QtPrompter.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

using Texts = std::vector<std::string>;

// A window with a date field, a numeric field and a plain field to move the
// focus to.
class EntryWindow {
 public:
  explicit EntryWindow(Prompter& prompter) {
    auto* layout = new QVBoxLayout(&window);
    date = new DateEdit(prompter, clock, &window);
    numeric = new NumericEdit(prompter, &window);
    other = new QLineEdit(&window);
    layout->addWidget(date);
    layout->addWidget(numeric);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    active = QTest::qWaitForWindowActive(&window);
  }

  // Lets queued calls (the leave-field check) run.
  static void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  FixedClock clock{CivilDate{2001, 3, 5}};
  QWidget window;
  DateEdit* date = nullptr;
  NumericEdit* numeric = nullptr;
  QLineEdit* other = nullptr;
  bool active = false;
};

TEST(DateEdit, LooksGreyInASmallInstalledSansSerifFont) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  EXPECT_EQ(w.date->palette().color(QPalette::Base), QColor(192, 192, 192));
  EXPECT_EQ(w.numeric->palette().color(QPalette::Base), QColor(192, 192, 192));
  EXPECT_EQ(w.date->font().pointSize(), 8);
  EXPECT_TRUE(QFontDatabase::hasFamily(w.date->font().family())) << w.date->font().family().toStdString();
}

TEST(DateEdit, TypedKeysPassTheKeystrokeRules) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  w.date->setFocus();
  QTest::keyClicks(w.date, "120");
  EXPECT_EQ(w.date->text(), "12");
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie müssen nach der Tagesangabe einen Punkt setzen"}));

  w.date->clear();
  prompter.Clear();
  QTest::keyClicks(w.date, "12.03.2001");
  EXPECT_EQ(w.date->text(), "12.03.2001");
  w.other->setFocus();
  EntryWindow::Settle();
  EXPECT_TRUE(prompter.Events().empty());
  EXPECT_TRUE(w.other->hasFocus());
}

// A full date, all of it selected (as a dialog shows its default date),
// is typed over like an empty field; a partly selected one counts what the
// key leaves standing.
TEST(DateEdit, TypingOverASelectedDateReplacesIt) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  w.date->setFocus();
  w.date->setText(QStringLiteral("05.03.2001"));
  w.date->selectAll();
  QTest::keyClicks(w.date, "12.03.2001");
  EXPECT_EQ(w.date->text(), "12.03.2001");
  EXPECT_TRUE(prompter.Events().empty());

  // "2001" selected: six characters stay, the first digit is the year's.
  w.date->setSelection(6, 4);
  QTest::keyClicks(w.date, "2002");
  EXPECT_EQ(w.date->text(), "12.03.2002");
  EXPECT_TRUE(prompter.Events().empty());

  // Nothing selected: the full field still refuses an eleventh character.
  w.date->deselect();
  w.date->end(false);
  QTest::keyClick(w.date, Qt::Key_1);
  EXPECT_EQ(w.date->text(), "12.03.2002");
  EXPECT_EQ(prompter.Texts(),
            (Texts{"das Datum kann maximal 10 Stellen haben.\nGeben Sie das Datum bitte im Format TT.MM.JJJJ ein"}));
}

// Guards against the leave-field warning being lost, shown twice, or leaving
// the focus elsewhere.
TEST(DateEdit, LeavingWithABadDateWarnsEmptiesAndTakesTheFocusBack) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  w.date->setFocus();
  QTest::keyClicks(w.date, "31.04.2001");
  w.other->setFocus();
  EntryWindow::Settle();
  EXPECT_EQ(prompter.Texts(), (Texts{"Der Monat April hat nur 30 Tage!"}));
  EXPECT_EQ(w.date->text(), "");
  EXPECT_TRUE(w.date->hasFocus());
  EXPECT_FALSE(w.date->isModified());

  // Leaving the emptied field again asks nothing.
  w.other->setFocus();
  EntryWindow::Settle();
  EXPECT_EQ(prompter.Messages().size(), 1u);
}

// A button about to use the text settles the field first: the check that
// leaving queued runs at once and only once, and a text in a field that
// still has the focus (Enter) is checked too.
TEST(DateEdit, SettleChecksTheTextBeforeAButtonUsesIt) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  w.date->setFocus();
  QTest::keyClicks(w.date, "31.04.2001");
  w.other->setFocus();  // the check is queued, not run
  EXPECT_TRUE(prompter.Messages().empty());
  EXPECT_FALSE(SettleDateFields(w.window));
  EXPECT_EQ(prompter.Texts(), (Texts{"Der Monat April hat nur 30 Tage!"}));
  EXPECT_EQ(w.date->text(), "");
  EntryWindow::Settle();
  EXPECT_EQ(prompter.Messages().size(), 1u);

  // Still in the field.
  QTest::keyClicks(w.date, "12.13.2001");
  ASSERT_TRUE(w.date->hasFocus());
  EXPECT_FALSE(w.date->Settle());
  EXPECT_EQ(prompter.Texts().back(), "Das Jahr hat nur 12 Monate !");
  EXPECT_EQ(w.date->text(), "");

  // A good date, and an empty field nobody left, are for the button.
  QTest::keyClicks(w.date, "12.03.2001");
  EXPECT_TRUE(w.date->Settle());
  EXPECT_EQ(w.date->text(), "12.03.2001");
  w.date->clear();
  EXPECT_TRUE(SettleDateFields(w.window));
  EXPECT_EQ(prompter.Messages().size(), 2u);
}

// With real modal boxes the box itself takes the focus from the field; that
// must neither re-run the check nor stack a second box.
TEST(DateEdit, ARealWarningBoxDoesNotRecurse) {
  QtPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  prompter.SetParent(&w.window);
  QStringList shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown << box->text();
      box->accept();
    }
  });
  closer.start(10);
  w.date->setFocus();
  QTest::keyClicks(w.date, "31.04.2001");
  w.other->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&shown] { return !shown.isEmpty(); }));
  // A second box would come from a call queued by the first one; everything
  // queued runs (the closer still answers boxes) before the count is taken.
  ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }));
  EntryWindow::Settle();
  closer.stop();
  EXPECT_EQ(shown, QStringList{QStringLiteral("Der Monat April hat nur 30 Tage!")});
  EXPECT_EQ(w.date->text(), "");
  // The window's focus widget gets the focus when the window is active again.
  EXPECT_EQ(w.window.focusWidget(), w.date);
}

// Paste used to be a way around the keystroke rules.
TEST(DateEdit, PasteIsCheckedLikeTyping) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  w.date->setFocus();
  QGuiApplication::clipboard()->setText("12032001");
  QTest::keySequence(w.date, QKeySequence::Paste);
  EXPECT_EQ(w.date->text(), "");
  EXPECT_EQ(prompter.Texts(), (Texts{"Sie müssen nach der Tagesangabe einen Punkt setzen"}));

  QGuiApplication::clipboard()->setText("12.03.2001");
  QTest::keySequence(w.date, QKeySequence::Paste);
  EXPECT_EQ(w.date->text(), "12.03.2001");

  // The context menu's paste goes the same way (the menu is not popped up:
  // the offscreen platform cannot grab the keyboard for it).
  QGuiApplication::clipboard()->setText("x");
  w.date->selectAll();
  std::unique_ptr<QMenu> menu(w.date->CreateContextMenu());
  int pasteActions = 0;
  for (QAction* a : menu->actions()) {
    if (!a->text().contains(QLatin1String("Paste"))) continue;
    ++pasteActions;
    a->trigger();
  }
  ASSERT_EQ(pasteActions, 1);
  EXPECT_EQ(w.date->text(), "12.03.2001");
  EXPECT_EQ(prompter.Texts().back(), "Sie dürfen nur Zahlen und den Punkt als Trennzeichen eingeben !");
}

TEST(NumericEdit, DropsALetterWithTheWarning) {
  RecordingPrompter prompter;
  EntryWindow w(prompter);
  ASSERT_TRUE(w.active);
  w.numeric->setFocus();
  QTest::keyClicks(w.numeric, "1a2,5");
  EXPECT_EQ(w.numeric->text(), "12,5");
  QTest::keyClick(w.numeric, Qt::Key_Backspace);
  EXPECT_EQ(w.numeric->text(), "12,");
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_EQ(prompter.Last().text, "Sie dürfen nur Zahlen und das Komma als Dezimaltrennzeichen eingeben !");
  EXPECT_EQ(prompter.Last().title, "Hinweis");
  EXPECT_EQ(prompter.Last().beep, BeepKind::Exclamation);

  QGuiApplication::clipboard()->setText("3.5");
  QTest::keySequence(w.numeric, QKeySequence::Paste);
  EXPECT_EQ(w.numeric->text(), "12,");
  EXPECT_EQ(prompter.Messages().size(), 2u);
}

}  // namespace
}  // namespace tellurio
