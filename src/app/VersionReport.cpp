#include "app/VersionReport.h"

#include "core/ProgramVersion.h"
#include "core/DataFolder.h"
#include "flow/RatingCatalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstring>

namespace {

QString CatalogueLine(const QString& path, const RatingCatalogue& catalogue)
{
    if (!QFileInfo(path).isFile()) {
        return QStringLiteral("not found");
    }
    return QStringLiteral("%1, %2 devices").arg(QDir::toNativeSeparators(path)).arg(catalogue.size());
}

} // namespace

bool AsksForVersionReport(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            return true;
        }
    }
    return false;
}

void WriteVersionReport(QTextStream& out, const QString& appFolder)
{
    const QString dataFolder = FindDataFolder(appFolder);
    RatingCatalogues catalogues;
    LoadRatingCatalogues(catalogues, dataFolder, true);
    const QString flumes = dataFolder + QStringLiteral("/flumes.lst");
    const QString weirs = dataFolder + QStringLiteral("/weirs.lst");
    const QString manual = ManualPath(dataFolder);
    out << ProgramCaption() << '\n'
        << "Program folder: " << QDir::toNativeSeparators(appFolder) << '\n'
        << "Data folder: " << QDir::toNativeSeparators(dataFolder) << '\n'
        << "Flume catalogue: " << CatalogueLine(flumes, catalogues.FlumeCatalogue) << '\n'
        << "Weir catalogue: " << CatalogueLine(weirs, catalogues.WeirCatalogue) << '\n'
        << "Manual: " << (QFileInfo(manual).isFile() ? QDir::toNativeSeparators(manual) : QStringLiteral("not found"))
        << '\n';
    if (!QFileInfo(flumes).isFile() || !QFileInfo(weirs).isFile() || !QFileInfo(manual).isFile()) {
        out << "Looked in: " << DataFolderCandidates(appFolder).join(QStringLiteral(", ")) << '\n';
    }
}
