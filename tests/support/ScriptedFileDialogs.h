#pragma once

#include "platform/FileDialogs.h"

#include <QList>

// Records every dialog request and returns scripted choices; an empty
// optional (or a used-up script) is Cancel.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest& request) override
    {
        openRequests.append(request);
        return next();
    }
    std::optional<QString> saveFile(const FileDialogRequest& request) override
    {
        saveRequests.append(request);
        return next();
    }

    QList<std::optional<QString>> choices;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;

private:
    std::optional<QString> next() { return choices.isEmpty() ? std::nullopt : choices.takeFirst(); }
};
