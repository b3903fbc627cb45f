#include "platform/qt/QtSettings.h"

#include <QSettings>

namespace tellurio {
namespace {
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

QtSettings::QtSettings()
    : settings_(std::make_unique<QSettings>(QStringLiteral("Vaskor"), QStringLiteral("Tellurio"))) {}

QtSettings::QtSettings(const std::string& iniPath)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

QtSettings::~QtSettings() = default;

std::string QtSettings::Read(std::string_view section, std::string_view key, std::string_view fallback) const {
  const QString k = Q(section) + QLatin1Char('/') + Q(key);
  if (!settings_->contains(k)) return std::string(fallback);
  return settings_->value(k).toString().toStdString();
}

void QtSettings::Write(std::string_view section, std::string_view key, std::string_view value) {
  settings_->setValue(Q(section) + QLatin1Char('/') + Q(key), Q(value));
  settings_->sync();
}

}  // namespace tellurio
