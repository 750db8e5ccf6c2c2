#include "platform/QtSettingsStore.h"

#include <QSettings>
#include <memory>
#include <utility>

namespace {

std::unique_ptr<QSettings> OpenSettings(const QString& iniFile, const QString& application)
{
    if (iniFile.isEmpty()) {
        return std::make_unique<QSettings>(application, application);
    }
    return std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
}

} // namespace

QtSettingsStore::QtSettingsStore(QString iniFile) : iniFile_(std::move(iniFile)) {}

QString QtSettingsStore::Value(const QString& application, const QString& section, const QString& key,
                               const QString& defaultValue) const
{
    const auto settings = OpenSettings(iniFile_, application);
    settings->beginGroup(section);
    return settings->value(key, defaultValue).toString();
}

void QtSettingsStore::SetValue(const QString& application, const QString& section, const QString& key,
                               const QString& value)
{
    const auto settings = OpenSettings(iniFile_, application);
    settings->beginGroup(section);
    settings->setValue(key, value);
}
