#pragma once

#include "config/LoggerSettings.h"

#include <QMap>
#include <QString>

// The factory defaults of a logger with these channel counts.
LoggerSettings DefaultRecord(int analogChannels = 3, int digitalChannels = 2);

// Every field of a record as text, keyed by field name ("AnalogEnable[2]"),
// so that tests compare whole records and a failure names the field.
// Doubles are written with all 17 digits.
QMap<QString, QString> DescribeSettings(const LoggerSettings& settings);

// The fields whose text differs, as "Field: actual != expected" lines.
QString SettingsDifferences(const LoggerSettings& actual, const LoggerSettings& expected);
