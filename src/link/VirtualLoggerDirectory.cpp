#include "link/VirtualLoggerDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

QString VirtualLoggerDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString base = runtime.isEmpty() ? QStringLiteral("/tmp") : runtime;
    return base + QStringLiteral("/brevel-logger-sim");
}

QList<VirtualLoggerEntry> ListVirtualLoggers(const QString& directory)
{
    QList<VirtualLoggerEntry> loggers;
    const QDir dir(directory);
    const QFileInfoList links = dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        // exists() follows the link: a dangling link is a simulator that is gone.
        if (!link.isSymLink() || !link.exists()) {
            continue;
        }
        loggers.append({link.fileName(), link.absoluteFilePath(), link.symLinkTarget()});
    }
    return loggers;
}
