#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder for the files a test reads and writes.
struct ScratchFolder {
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // Writes the bytes, making any folder on the way; false when it cannot.
    bool write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        QDir().mkpath(QFileInfo(file).path());
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    // Writes the lines, each ended by a carriage return and line feed.
    bool writeLines(const QString& name, const QStringList& lines) const
    {
        return write(name, lines.isEmpty() ? QByteArray() : (lines.join(QStringLiteral("\r\n")) + "\r\n").toUtf8());
    }

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
