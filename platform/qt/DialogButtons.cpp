#include "platform/qt/DialogButtons.h"

#include <QPaintEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace tellurio {

namespace {

const char* Caption(DialogButton kind) {
  switch (kind) {
    case DialogButton::Ok:
      return "OK";
    case DialogButton::Cancel:
      return "ABBR";
    case DialogButton::Target:
      return "ZIEL";
    case DialogButton::Calculate:
      return "BERR";
    case DialogButton::Print:
      return "DRUCKEN";
    case DialogButton::Edit:
      return "EDIT";
    case DialogButton::Delete:
      return "LOESCHEN";
  }
  return "OK";
}

// Paints the image of its state instead of a styled face; the word is part
// of the images, text() carries it for the keyboard and accessibility.
class BitmapButton : public QPushButton {
 public:
  BitmapButton(DialogButton kind, QWidget* parent)
      : QPushButton(DialogButtonText(kind), parent),
        up_(DialogButtonImage(kind, 'U')),
        down_(DialogButtonImage(kind, 'D')),
        focused_(DialogButtonImage(kind, 'F')) {
    const QSize size = up_.isValid() ? up_.defaultSize() : QSize(112, 28);
    setFixedSize(size);
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QSvgRenderer& image = isDown() ? down_ : hasFocus() ? focused_ : up_;
    if (!isEnabled()) p.setOpacity(0.45);
    if (image.isValid()) {
      image.render(&p, QRectF(rect()));
      return;
    }
    // Without its image (a resource missing from the build) the button
    // still shows its word.
    p.fillRect(rect(), palette().button());
    p.setPen(palette().buttonText().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect(), Qt::AlignCenter, text());
  }

 private:
  QSvgRenderer up_, down_, focused_;
};

}  // namespace

QString DialogButtonText(DialogButton kind) {
  switch (kind) {
    case DialogButton::Ok:
      return QStringLiteral("OK");
    case DialogButton::Cancel:
      return QStringLiteral("Abbrechen");
    case DialogButton::Target:
      return QStringLiteral("Ziel");
    case DialogButton::Calculate:
      return QStringLiteral("Berechnen");
    case DialogButton::Print:
      return QStringLiteral("Drucken");
    case DialogButton::Edit:
      return QStringLiteral("Übernehmen");
    case DialogButton::Delete:
      return QStringLiteral("Löschen");
  }
  return QString();
}

QString DialogButtonImage(DialogButton kind, char state) {
  return QStringLiteral(":/buttons/%1%2.svg").arg(QString::fromLatin1(Caption(kind))).arg(QLatin1Char(state));
}

QPushButton* MakeDialogButton(DialogButton kind, QWidget* parent) { return new BitmapButton(kind, parent); }

OkCancelRow MakeOkCancelRow(QDialog* dialog) {
  OkCancelRow row{new QHBoxLayout, MakeDialogButton(DialogButton::Ok, dialog),
                  MakeDialogButton(DialogButton::Cancel, dialog)};
  row.ok->setObjectName(QStringLiteral("ok"));
  row.ok->setDefault(true);
  row.cancel->setObjectName(QStringLiteral("cancel"));
  row.layout->addStretch();
  row.layout->addWidget(row.ok);
  row.layout->addWidget(row.cancel);
  QObject::connect(row.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return row;
}

}  // namespace tellurio
