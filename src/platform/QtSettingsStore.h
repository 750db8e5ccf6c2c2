#pragma once

#include "platform/SettingsStore.h"

// The per-user store over QSettings: organisation and application are both
// the application name given, the section is a group. With a file path the
// store is that INI file instead (for a portable or isolated setup).
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(QString iniFile = {});
    QString Value(const QString& application, const QString& section, const QString& key,
                  const QString& defaultValue) const override;
    void SetValue(const QString& application, const QString& section, const QString& key,
                  const QString& value) override;

private:
    QString iniFile_;
};
