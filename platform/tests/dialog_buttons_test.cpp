// The dialog buttons: one German word per caption, three images each, and
// the image shown follows the button's state.

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/qt/DialogButtons.h"

namespace tellurio {
namespace {

const std::pair<DialogButton, const char*> kWords[] = {
    {DialogButton::Ok, "OK"},         {DialogButton::Cancel, "Abbrechen"},
    {DialogButton::Target, "Ziel"},   {DialogButton::Calculate, "Berechnen"},
    {DialogButton::Print, "Drucken"}, {DialogButton::Edit, "Übernehmen"},
    {DialogButton::Delete, "Löschen"}};

TEST(DialogButtons, EveryCaptionHasOneGermanWordAndThreeDistinctImages) {
  for (const auto& [kind, word] : kWords) {
    QWidget parent;
    QPushButton* b = MakeDialogButton(kind, &parent);
    EXPECT_EQ(b->text(), QString::fromUtf8(word));
    QByteArray images[3];
    for (int i = 0; i < 3; ++i) {
      const QString path = DialogButtonImage(kind, "UDF"[i]);
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
      images[i] = file.readAll();
      EXPECT_TRUE(QSvgRenderer(images[i]).isValid()) << path.toStdString();
      // The word the user reads is in the picture.
      EXPECT_TRUE(images[i].contains(QByteArray(word))) << path.toStdString();
    }
    EXPECT_NE(images[0], images[1]) << word;
    EXPECT_NE(images[0], images[2]) << word;
    EXPECT_NE(images[1], images[2]) << word;
  }
  EXPECT_EQ(DialogButtonImage(DialogButton::Cancel, 'U'), QStringLiteral(":/buttons/ABBRU.svg"));
  EXPECT_EQ(DialogButtonImage(DialogButton::Edit, 'F'), QStringLiteral(":/buttons/EDITF.svg"));
}

// What the image of a state looks like at the button's size.
QImage Rendered(DialogButton kind, char state, QSize size) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  QSvgRenderer(DialogButtonImage(kind, state)).render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
  return img;
}

QImage Shown(QWidget* w) {
  QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  return img;
}

TEST(DialogButtons, ShowTheUpDownAndFocusedImage) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  QPushButton* other = MakeDialogButton(DialogButton::Ok, &window);
  QPushButton* b = MakeDialogButton(DialogButton::Delete, &window);
  layout->addWidget(other);
  layout->addWidget(b);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  other->setFocus();
  EXPECT_EQ(Shown(b), Rendered(DialogButton::Delete, 'U', b->size()));
  b->setFocus();
  EXPECT_EQ(Shown(b), Rendered(DialogButton::Delete, 'F', b->size()));
  b->setDown(true);
  EXPECT_EQ(Shown(b), Rendered(DialogButton::Delete, 'D', b->size()));
  b->setDown(false);
  int clicks = 0;
  QObject::connect(b, &QPushButton::clicked, [&clicks] { ++clicks; });
  QTest::mouseClick(b, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace tellurio
