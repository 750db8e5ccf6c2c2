#include "config/RecentFiles.h"

#include "core/MostRecentFirst.h"

#include <QDir>

void AddRecentFile(RecentFileList& recent, const QString& path)
{
    PutFirst(recent, path);
}

QString FileTitle(const QString& path)
{
    const qsizetype separator = path.lastIndexOf(QDir::separator());
    // The separator must stand at the fourth character or later: "C:\a.set" keeps its folder.
    if (separator >= 3 && separator < path.size() - 1) {
        return path.mid(separator + 1);
    }
    return path;
}

QString RecentFileCaption(int index, const QString& path)
{
    const QString title = FileTitle(path);
    return u'&' + QString::number(index + 1) + (title.isEmpty() ? QString() : u' ' + title);
}

bool SplitSetupPath(const QString& path, QString& folder, QString& fileName)
{
    const qsizetype separator = path.lastIndexOf(QDir::separator());
    if (separator < 1 || separator >= path.size() - 1) {
        return false;
    }
    folder = path.left(separator);
    fileName = path.mid(separator + 1);
    return true;
}
