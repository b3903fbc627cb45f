#include "calendar/widgets/EntryLook.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace tellurio {

void ApplyGreyBackground(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, QColor(192, 192, 192));
  widget->setPalette(palette);
}

void ApplyEntryFont(QWidget* widget) {
  const QString preferred = QStringLiteral("MS Sans Serif");
  QFont font = QFontDatabase::hasFamily(preferred) ? QFont(preferred)
                                                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  widget->setFont(font);
}

}  // namespace tellurio
