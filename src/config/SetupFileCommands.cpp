#include "config/SetupFileCommands.h"

#include "config/SettingsImage.h"
#include "config/SetupFile.h"
#include "platform/FileDialogs.h"
#include "platform/FileFilter.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString SetupExtension = QStringLiteral(".set");

} // namespace

SetupFileCommands::SetupFileCommands(Prompter& prompter, FileDialogs& fileDialogs, QString& lastFilePath,
                                     RecentFileList& recentFiles, QString appFolder, bool errorTrapping)
    : prompter_(prompter), fileDialogs_(fileDialogs), lastFilePath_(lastFilePath), recentFiles_(recentFiles),
      appFolder_(std::move(appFolder)), errorTrapping_(errorTrapping)
{
}

bool SetupFileCommands::Save(LoggerSettings& settings, const std::function<void()>& readFromEditor,
                             std::optional<QByteArray>& savedImage)
{
    const std::optional<QString> path = ChooseFile(true);
    if (!path) {
        return false;
    }
    if (QFileInfo::exists(*path) &&
        prompter_.AskBeforeLoss(QStringLiteral("Save Setup"),
                                QStringLiteral("The setup file already exists, do you want to overwrite it?"),
                                PromptIcon::Information, PromptButtons::YesNo) != PromptAnswer::Yes) {
        return false;
    }
    readFromEditor();
    if (!WriteSetupFile(*path, settings, CurrentSetupFileStamp(), errorTrapping_)) {
        prompter_.Tell(QStringLiteral("Save Setup"), QStringLiteral("Error: file was not saved correctly."),
                       PromptIcon::Error);
        return false;
    }
    savedImage = EncodeSettings(settings, errorTrapping_);
    return true;
}

bool SetupFileCommands::Load(LoggerSettings& settings, RatingState& rating, std::optional<QByteArray>& savedImage)
{
    const std::optional<QString> path = ChooseFile(false);
    if (!path) {
        return false;
    }
    if (!ReadSetupFile(*path, settings, rating, errorTrapping_)) {
        prompter_.Tell(QStringLiteral("Load Setup"), QStringLiteral("Error: file was not loaded correctly."),
                       PromptIcon::Error);
        return false;
    }
    savedImage = EncodeSettings(settings, errorTrapping_);
    return true;
}

bool SetupFileCommands::PrepareRecentFile(int index)
{
    if (index < 0 || index >= int(recentFiles_.size())) {
        return false;
    }
    const QString path = recentFiles_[size_t(index)];
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return false;
    }
    SplitSetupPath(path, lastFilePath_, setupFileName_);
    return true;
}

// The dialog, then the chosen file's folder and name are remembered and the
// file goes to the head of the recent list, before it is touched.
std::optional<QString> SetupFileCommands::ChooseFile(bool forSaving)
{
    FileDialogRequest request;
    request.Title = forSaving ? QStringLiteral("Save Setup File") : QStringLiteral("Load Setup File");
    request.Filter = QStringLiteral("Setup Files (*.set)|*.set");
    request.DefaultExtension = SetupExtension;
    request.InitialFileName = InitialFileName();
    request.MustExist = !forSaving;
    const std::optional<QString> chosen =
        forSaving ? fileDialogs_.SaveFile(request) : fileDialogs_.OpenFile(request);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    // A name typed without extension is saved as a setup file, so that the
    // dialog's own filter shows it again.
    const QString path = QDir::toNativeSeparators(WithDefaultExtension(*chosen, SetupExtension));
    if (SplitSetupPath(path, lastFilePath_, setupFileName_)) {
        AddRecentFile(recentFiles_, path);
    }
    return path;
}

QString SetupFileCommands::InitialFileName()
{
    const QString separator = QDir::separator();
    if (lastFilePath_.isEmpty()) {
        return appFolder_ + separator + QStringLiteral("*.set");
    }
    if (lastFilePath_.endsWith(separator)) {
        lastFilePath_.chop(1);
    }
    return lastFilePath_ + separator + (setupFileName_.isEmpty() ? QStringLiteral("*.set") : setupFileName_);
}
