#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder for the files a test reads and writes.
struct ScratchFolder {
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // Writes the bytes, making any folder on the way; false when it cannot.
    bool write(const QString& name, const QByteArray& bytes) const
    {
        const QString full = path(name);
        QDir().mkpath(full.left(full.lastIndexOf(QLatin1Char('/'))));
        QFile file(full);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    // Writes the lines, each ended by a carriage return and line feed.
    bool writeLines(const QString& name, const QStringList& lines) const
    {
        QByteArray bytes;
        for (const QString& line : lines) {
            bytes += line.toUtf8() + "\r\n";
        }
        return write(name, bytes);
    }

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
