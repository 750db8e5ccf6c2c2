#pragma once

#include "config/LoggerSettings.h"
#include "config/RecentFiles.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class Prompter;
class FileDialogs;
struct RatingState;

// The setup window's file commands: Save Setup File, Load Setup File and the
// recent-file items. The window builds one when it opens and keeps it while
// it is open; the folder of the last setup file and the recent-file list
// belong to the per-user settings and are changed in place. Messages go
// through the Prompter, dialogs through FileDialogs; no widget is touched.
class SetupFileCommands {
public:
    SetupFileCommands(Prompter& prompter, FileDialogs& fileDialogs, QString& lastFilePath,
                      RecentFileList& recentFiles, QString appFolder, bool errorTrapping);

    // Asks for a file (Cancel changes nothing), asks before overwriting one,
    // then calls readFromEditor to copy the controls into the record and
    // writes it. True when the file was saved; savedImage is then the
    // record's image. A chosen file becomes the first recent file even when
    // saving is then refused or fails.
    bool Save(LoggerSettings& settings, const std::function<void()>& readFromEditor,
              std::optional<QByteArray>& savedImage);

    // For the window to run after its ConfirmFileSaved: asks for an existing
    // file and loads it on top of the defaults. True when the record was
    // replaced (savedImage is then its image) and the editor should show it;
    // a failure shows "Error: file was not loaded correctly." and changes
    // nothing.
    bool Load(LoggerSettings& settings, RatingState& rating, std::optional<QByteArray>& savedImage);

    // Recent-file item index: true when the file exists and the window should
    // run its Load, whose dialog then opens on that file.
    bool PrepareRecentFile(int index);

    // Name (without folder) of the current setup file, "" until one is chosen.
    const QString& SetupFileName() const { return setupFileName_; }

private:
    std::optional<QString> ChooseFile(bool forSaving);
    QString InitialFileName();

    Prompter& prompter_;
    FileDialogs& fileDialogs_;
    QString& lastFilePath_;
    RecentFileList& recentFiles_;
    QString appFolder_;
    bool errorTrapping_;
    QString setupFileName_;
};
