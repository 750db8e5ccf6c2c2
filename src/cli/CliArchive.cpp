#include "cli/CliArchive.h"

#include "cli/CliArguments.h"

std::unique_ptr<Archive> OpenArchive(const CliArguments& options)
{
    QString error;
    const std::optional<ArchiveLocation> location = ParseArchiveLocation(options.Value(QStringLiteral("archive")), &error);
    std::unique_ptr<Archive> archive = location ? Archive::Open(*location, &error) : nullptr;
    if (!archive) {
        Fail(ExitCode::ArchiveError, error);
    }
    return archive;
}
