#pragma once

#include "platform/SettingsStore.h"

#include <QMap>
#include <QStringList>

// Stands in for QtSettingsStore, tested in tests/platform; records the keys written, in order.
class MemorySettingsStore : public SettingsStore {
public:
    QString Value(const QString& application, const QString& section, const QString& key,
                  const QString& defaultValue) const override
    {
        return values.value(path(application, section, key), defaultValue);
    }
    void SetValue(const QString& application, const QString& section, const QString& key,
                  const QString& value) override
    {
        values.insert(path(application, section, key), value);
        writtenKeys.append(key);
    }

    static QString path(const QString& application, const QString& section, const QString& key)
    {
        return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }

    QMap<QString, QString> values;
    QStringList writtenKeys;
};
