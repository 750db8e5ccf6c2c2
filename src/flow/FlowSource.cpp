#include "flow/FlowSource.h"

#include "config/LoggerSettings.h"
#include "core/ErrorTrap.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"
#include "platform/FileDialogs.h"

#include <QDir>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// The longest table path the logger's settings hold.
constexpr int MaxTablePathLength = 128;

FlowMessage BadTagMessage(const QString& device, const QString& tag, const QString& catalogueFile)
{
    return {QStringLiteral("Bad Flume Tag"),
            QStringLiteral("Error: a programmed %1 with tag name \"%2\"").arg(device, tag) + LineBreak +
                QStringLiteral("was not found in file %1, or referred to a missing or ").arg(catalogueFile) +
                LineBreak + QStringLiteral("bad table file."),
            PromptIcon::Error};
}

// The file name of a path written with either separator.
QString FileNamePart(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(slash + 1);
}

// The path relative to the program's folder when the file lies in or below it.
QString RelativeToAppFolder(const QString& path, const QString& appFolder)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity Case = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity Case = Qt::CaseSensitive;
#endif
    // The folder must be followed by a separator: "C:\App2\x.tbl" does not
    // lie in "C:\App".
    const QString folderPrefix = QDir::toNativeSeparators(appFolder) + QDir::separator();
    if (!appFolder.isEmpty() && path.startsWith(folderPrefix, Case)) {
        return path.mid(folderPrefix.size());
    }
    return path;
}

} // namespace

void ShowFlowMessage(Prompter& prompter, const FlowMessage& message)
{
    prompter.Tell(message.Title, message.Text, message.Icon);
}

std::optional<FlowMessage> CheckProgrammedFlowSource(const LoggerSettings& settings, RatingState& rating,
                                                     const RatingCatalogues& catalogues, const QString& appFolder,
                                                     bool errorTrapping)
{
    ClearFlowTable(rating);
    switch (settings.SelectedFlowMethod()) {
    case FlowMethod::None:
    case FlowMethod::Mannings:
        return std::nullopt;
    case FlowMethod::Flume:
        if (!SelectRating(rating, settings.FlumeTag, catalogues.FlumeCatalogue, catalogues.Folder, errorTrapping)) {
            return BadTagMessage(QStringLiteral("flume"), settings.FlumeTag, QStringLiteral("FLUMES.LST"));
        }
        return std::nullopt;
    case FlowMethod::Weir:
        if (!SelectRating(rating, settings.WeirTag, catalogues.WeirCatalogue, catalogues.Folder, errorTrapping)) {
            return BadTagMessage(QStringLiteral("weir"), settings.WeirTag, QStringLiteral("WEIRS.LST"));
        }
        return std::nullopt;
    default:
        break;
    }
    LoadFlowTable(rating, settings.TablePath, appFolder, errorTrapping);
    rating.RatingName = FileNamePart(settings.TablePath);
    if (FlowTablePointCount(rating) == 0) {
        return FlowMessage{QStringLiteral("Missing or Empty Flow Table File"),
                           QStringLiteral("Error: missing or empty flow table file:") + LineBreak + LineBreak +
                               settings.TablePath,
                           PromptIcon::Warning};
    }
    return std::nullopt;
}

std::optional<QString> BrowseForFlowTable(FileDialogs& dialogs, Prompter& prompter, RatingState& rating,
                                          const QString& appFolder, bool errorTrapping)
{
    return RunTrapped(
        errorTrapping,
        [&]() -> std::optional<QString> {
            FileDialogRequest request;
            request.Title = QStringLiteral("Select Flow Table File");
            request.Filter = QStringLiteral("Flow Table File (*.tbl)|*.tbl");
            request.DefaultExtension = QStringLiteral(".tbl");
            request.InitialFileName = appFolder + QDir::separator() + QStringLiteral("*.tbl");
            request.MustExist = true;
            const std::optional<QString> chosen = dialogs.OpenFile(request);
            if (!chosen) {
                return std::nullopt;
            }
            const QString path = RelativeToAppFolder(QDir::toNativeSeparators(*chosen), appFolder);
            if (path.size() > MaxTablePathLength) {
                prompter.Tell(QStringLiteral("File Path Too Long"),
                              QStringLiteral("Error: the file path is longer than 128 characters which is the limit."),
                              PromptIcon::Error);
                return std::nullopt;
            }
            LoadFlowTable(rating, path, appFolder, errorTrapping);
            const int points = FlowTablePointCount(rating);
            if (points == 0) {
                prompter.Tell(QStringLiteral("Bad Flow Table File"),
                              QStringLiteral("Error: selected file does not appear to be a valid flow table file."),
                              PromptIcon::Error);
            } else if (points < MaxFlowTablePoints) {
                prompter.Tell(QStringLiteral("Flow Table File"),
                              QStringLiteral("The selected table file has %1 entries.").arg(points),
                              PromptIcon::Information);
            } else {
                prompter.Tell(QStringLiteral("Bad Flow Table File"),
                              QStringLiteral("Error: selected file has more than 1000 entries,") + LineBreak +
                                  QStringLiteral("the table will be truncated to 1001 entries."),
                              PromptIcon::Error);
            }
            return path;
        },
        [] { return std::optional<QString>(); });
}
