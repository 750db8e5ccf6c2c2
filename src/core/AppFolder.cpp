#include "core/AppFolder.h"

#include <QCoreApplication>

QString AppFolder()
{
    return WithoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString WithoutTrailingSeparator(const QString& path)
{
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))) {
        return path.chopped(1);
    }
    return path;
}
