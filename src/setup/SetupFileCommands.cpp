// The setup window's File menu: save and load setup files, the recent files.
#include "setup/SetupWindow.h"

#include "config/LoggerSettings.h"
#include "core/AppState.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "setup/Interim.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Qt hands out paths with "/" on every platform; a path typed by hand may
// carry the platform's own separator.
qsizetype LastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QDir::separator()));
}

} // namespace

std::optional<QString> SetupWindow::ChooseSetupFile(bool forSaving)
{
    QString& folder = ctx_.LastFilePath;
    if (!folder.isEmpty() && LastSeparator(folder) == folder.size() - 1) {
        folder.chop(1);
    }
    FileDialogRequest request;
    request.title = forSaving ? QStringLiteral("Save Setup File") : QStringLiteral("Load Setup File");
    request.filter = QStringLiteral("Setup Files (*.set)|*.set");
    // A name typed without extension must stay visible under the dialog's own filter.
    request.defaultExtension = QStringLiteral(".set");
    const QString start = folder.isEmpty() ? ctx_.AppFolder : folder;
    request.initialFileName = start + QLatin1Char('/') +
                              (folder.isEmpty() || setupFileName_.isEmpty() ? QStringLiteral("*.set") : setupFileName_);
    request.mustExist = !forSaving;
    const auto chosen = forSaving ? ctx_.Dialogs.saveFile(request) : ctx_.Dialogs.openFile(request);
    if (chosen) {
        RememberChosenFile(*chosen);
    }
    return chosen;
}

void SetupWindow::RememberChosenFile(const QString& path)
{
    const qsizetype at = LastSeparator(path);
    if (at >= 1 && at < path.size() - 1) {
        ctx_.LastFilePath = path.left(at);
        setupFileName_ = path.mid(at + 1);
        AddRecentFile(ctx_.RecentFiles, path);
    }
}

bool SetupWindow::SaveSetup()
{
    if (!CommitFocusedField()) {
        return false;
    }
    const auto path = ChooseSetupFile(true);
    if (!path) {
        return false;
    }
    if (QFileInfo::exists(*path) &&
        ctx_.Prompts.ask(QStringLiteral("Save Setup"),
                         QStringLiteral("The setup file already exists, do you want to overwrite it?"),
                         PromptIcon::Information, PromptButtons::YesNo) != PromptAnswer::Yes) {
        return false;
    }
    ReadSettingsFromEditor();
    if (!SaveSetupFile(*path, ctx_.Settings, ctx_.State.ErrorTrapping)) {
        ctx_.Prompts.tell(QStringLiteral("Save Setup"), QStringLiteral("Error: file was not saved correctly."),
                          PromptIcon::Error);
        return false;
    }
    savedImage_ = CurrentImage().value_or(QByteArray());
    return true;
}

void SetupWindow::LoadSetup()
{
    if (!CommitFocusedField() || ConfirmFileSaved()) {
        return;
    }
    const auto path = ChooseSetupFile(false);
    if (!path) {
        return;
    }
    if (!LoadSetupFile(*path, ctx_.Settings, ctx_.Rating, ctx_.State.ErrorTrapping)) {
        ctx_.Prompts.tell(QStringLiteral("Load Setup"), QStringLiteral("Error: file was not loaded correctly."),
                          PromptIcon::Error);
        return;
    }
    savedImage_ = CurrentImage().value_or(QByteArray());
    ShowSettingsInEditor();
}

void SetupWindow::LoadRecentFile(int index)
{
    const QString path = ctx_.RecentFiles[index];
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return;
    }
    const qsizetype at = LastSeparator(path);
    if (at != path.size() - 1 && at >= 1) {
        ctx_.LastFilePath = path.left(at);
        setupFileName_ = path.mid(at + 1);
    }
    LoadSetup();
}
