#include "views/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace tellurio {

namespace {

QString Installed(const QStringList& candidates, const QString& fallback) {
  const QStringList families = QFontDatabase::families();
  for (const QString& c : candidates)
    if (families.contains(c, Qt::CaseInsensitive)) return c;
  return fallback;
}

}  // namespace

QFont ProgramFont(const QString& classicName, int pixelHeight, int weight, bool underline) {
  static const QString sans =
      Installed({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")},
                QStringLiteral("Sans Serif"));
  static const QString serif =
      Installed({QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif")},
                QStringLiteral("Serif"));
  const bool isSerif = classicName.contains(QLatin1String("Times"), Qt::CaseInsensitive);
  QFont f(isSerif ? serif : sans);
  f.setStyleHint(isSerif ? QFont::Serif : QFont::SansSerif);
  f.setPixelSize(std::max(1, pixelHeight));
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setUnderline(underline);
  return f;
}

}  // namespace tellurio
