#include "platform/FileFilter.h"

#include <QFileInfo>
#include <QStringList>

QString QtFileFilter(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses of the description.
        const bool patternsShown = description.contains(QLatin1Char('(') + patterns + QLatin1Char(')'));
        filters << (patternsShown ? description : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& path, const QString& defaultExtension)
{
    if (path.isEmpty() || defaultExtension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    const QString extension = defaultExtension.startsWith(QLatin1Char('.')) ? defaultExtension
                                                                              : QLatin1Char('.') + defaultExtension;
    return path.endsWith(QLatin1Char('.')) ? path + extension.mid(1) : path + extension;
}
