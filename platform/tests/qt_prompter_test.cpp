#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/QtPrompter.h"
#include "platform/qt/QtSettings.h"

#include <QTemporaryDir>

namespace tellurio {
namespace {

// Presses the button with the given caption in the next message box, and
// records what the box showed.
struct BoxSpy {
  QString title, text;
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  void Press(const QString& caption) {
    QTimer::singleShot(0, [this, caption] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == caption) b->click();
    });
  }
};

TEST(QtPrompter, ShowsGermanButtonsAndReportsTheOnePressed) {
  QtPrompter p;
  BoxSpy spy;
  spy.Press(QStringLiteral("&Nein"));
  Answer a = p.Show(Message{"Frage", "Wollen Sie die Eingabe übernehmen?", MessageButtons::YesNo, MessageIcon::Question,
                            BeepKind::Question});
  EXPECT_EQ(a, Answer::No);
  EXPECT_EQ(spy.title, QStringLiteral("Frage"));
  EXPECT_EQ(spy.text, QStringLiteral("Wollen Sie die Eingabe übernehmen?"));
  EXPECT_EQ(spy.buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
  EXPECT_EQ(spy.icon, QMessageBox::Question);

  spy = {};
  spy.Press(QStringLiteral("&Ja"));
  EXPECT_TRUE(p.AskYesNo("Frage", "x", MessageIcon::Question, BeepKind::None));

  spy = {};
  spy.Press(QStringLiteral("OK"));
  EXPECT_EQ(p.Show(Message{"Hinweis", "y", MessageButtons::Ok, MessageIcon::Stop}), Answer::Ok);
  EXPECT_EQ(spy.icon, QMessageBox::Critical);
}

// A question whose "Ja" destroys data must not be answered yes by an Enter
// pressed in haste; an ordinary question keeps "Ja" as its default.
TEST(QtPrompter, EnterPressesTheDefaultButtonWhichIsNeinWhereAsked) {
  QtPrompter p;
  auto pressEnter = [] {
    QTimer::singleShot(0, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      ASSERT_NE(box->defaultButton(), nullptr);
      box->defaultButton()->click();
    });
  };
  pressEnter();
  EXPECT_EQ(p.Show(Message{"Frage", "x", MessageButtons::YesNo, MessageIcon::Question}), Answer::Yes);
  pressEnter();
  Message careful{"Frage", "Sollen die Depotdaten gelöscht werden?", MessageButtons::YesNo, MessageIcon::Question};
  careful.defaultNo = true;
  EXPECT_EQ(p.Show(careful), Answer::No);
}

TEST(QtSettings, MissingKeysGiveTheFallbackAndWritesPersist) {
  QTemporaryDir dir;
  const std::string path = (dir.path() + "/t.ini").toStdString();
  {
    QtSettings s(path);
    EXPECT_EQ(s.Read("Fonds", "Zins", "Fehler"), "Fehler");
    s.Write("Fonds", "Zins", "3,00");
    s.Write("Fonds", "Waehrung", "Euro");
  }
  QtSettings again(path);
  EXPECT_EQ(again.Read("Fonds", "Zins", "Fehler"), "3,00");
  EXPECT_EQ(again.Read("Fonds", "Waehrung", "Fehler"), "Euro");
}

}  // namespace
}  // namespace tellurio
