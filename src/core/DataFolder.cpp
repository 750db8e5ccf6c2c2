#include "core/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kDataSubfolder = QStringLiteral("brevel-flow-monitor");

bool HoldsProgramData(const QString& folder)
{
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QStringLiteral("flumes.lst"))).isFile()
        || QFileInfo(dir.filePath(QStringLiteral("weirs.lst"))).isFile() || QFileInfo(ManualPath(folder)).isFile();
}

} // namespace

QStringList DataFolderCandidates(const QString& appFolder)
{
    QStringList candidates;
    if (!appFolder.isEmpty()) {
        candidates << appFolder
                   << QDir::cleanPath(appFolder + QStringLiteral("/../share/") + kDataSubfolder);
    }
    for (const QString& system : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        candidates << QDir::cleanPath(system + u'/' + kDataSubfolder);
    }
    candidates.removeDuplicates();
    return candidates;
}

QString FindDataFolder(const QString& appFolder)
{
    for (const QString& folder : DataFolderCandidates(appFolder)) {
        if (HoldsProgramData(folder)) {
            return folder;
        }
    }
    return appFolder;
}

QString ManualPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/manual/BrevelFlowMonitor.html");
}
