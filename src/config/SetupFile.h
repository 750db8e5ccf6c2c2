#pragma once

#include "config/LoggerSettings.h"

#include <QLocale>
#include <QString>
#include <QTime>
#include <QStringList>

struct RatingState;

// A setup file keeps a complete set of logger settings on disk: 141 lines of
// key=value in a fixed order, in Latin-1, each ended by CR LF.

// The first four lines: which program saved the file, and when.
struct SetupFileStamp {
    QString Program; // executable name without folder and extension
    QString Version; // "2.3.2"
    QString Date;    // short date, two-digit year
    QString Time;    // the system's long time format, without the time zone
};

// This program and the current local date and time.
SetupFileStamp CurrentSetupFileStamp();

// The time as the "Time=" line holds it: the locale's long time format
// without its time zone, in characters a single-byte file can hold.
QString SetupFileTimeText(QTime time, const QLocale& locale);

// The 141 lines of the file, without their line ends.
QStringList SetupFileLines(const LoggerSettings& settings, const SetupFileStamp& stamp);

// Writes the file in one piece: on any failure (a character without a
// single-byte code, a folder that cannot be written, a full disk) the file
// that was there before stays as it was, and the result is false.
bool WriteSetupFile(const QString& path, const LoggerSettings& settings, const SetupFileStamp& stamp,
                    bool errorTrapping);

// Reads a setup file on top of the factory defaults (which also reset the
// flow table). Keys are exact and case-sensitive, unknown keys are ignored,
// later lines override earlier ones. Fails when the file cannot be read, a
// number cannot be converted to its field's type or a channel index lies
// beyond its list; then the record and the rating are left as they were.
bool ReadSetupFile(const QString& path, LoggerSettings& settings, RatingState& rating, bool errorTrapping);
