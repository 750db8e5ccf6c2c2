#pragma once

#include <QString>
#include <optional>

struct FileDialogRequest {
    QString Title;
    // Filter in the "Description (*.ext)|*.ext" form, pairs joined by "|".
    QString Filter;
    QString DefaultExtension; // ".set", appended when a typed name has none
    QString InitialFileName;  // may carry a folder
    bool MustExist = false;
    bool ConfirmOverwrite = false;
};

// Open and save dialogs; an empty optional is the user's Cancel.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFile(const FileDialogRequest& request) = 0;
};
