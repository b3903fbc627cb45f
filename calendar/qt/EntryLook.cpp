#include "calendar/qt/EntryLook.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPalette>
#include <QWidget>

namespace tellurio {

void ApplyGreyBackground(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, QColor(192, 192, 192));
  widget->setPalette(palette);
}

namespace {

// The first installed of "MS Sans Serif", its successor, the desktop's
// general font; else whatever family the font system resolves a sans-serif
// request to.
QString EntryFontFamily() {
  for (const QString& family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()}) {
    if (QFontDatabase::hasFamily(family)) return family;
  }
  QFont probe;
  probe.setStyleHint(QFont::SansSerif);
  probe.setFamilies({QStringLiteral("sans-serif")});
  return QFontInfo(probe).family();
}

}  // namespace

void ApplyEntryFont(QWidget* widget) {
  static const QString family = EntryFontFamily();
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  widget->setFont(font);
}

}  // namespace tellurio
