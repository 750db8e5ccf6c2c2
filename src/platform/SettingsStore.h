#pragma once

#include <QString>

// A per-user key-value store: application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString Value(const QString& application, const QString& section, const QString& key,
                          const QString& defaultValue) const = 0;
    virtual void SetValue(const QString& application, const QString& section, const QString& key,
                          const QString& value) = 0;
};
