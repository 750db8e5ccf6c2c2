#pragma once

#include <QString>
#include <optional>

struct FileDialogRequest {
    QString title;
    // Filter in the "Description (*.ext)|*.ext" form, pairs joined by "|".
    QString filter;
    QString defaultExtension; // ".set", appended when a typed name has none
    QString initialFileName;  // may carry a folder
    bool mustExist = false;
    bool confirmOverwrite = false;
};

// Open and save dialogs; an empty optional is the user's Cancel.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
};
