#pragma once

#include "platform/FileDialogs.h"

#include <QList>
#include <functional>

// Stands in for QtFileDialogs, tested in tests/platform. Records every request and returns scripted choices; an
// empty optional (or a used-up script) is Cancel.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::optional<QString> OpenFile(const FileDialogRequest& request) override { return next(openRequests, request); }
    std::optional<QString> SaveFile(const FileDialogRequest& request) override { return next(saveRequests, request); }

    QList<std::optional<QString>> choices;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    // Runs while a dialog is "open", as the user takes time to choose.
    std::function<void(const FileDialogRequest&)> whileShown;

private:
    std::optional<QString> next(QList<FileDialogRequest>& requests, const FileDialogRequest& request)
    {
        requests.append(request);
        if (whileShown) {
            whileShown(request);
        }
        return choices.isEmpty() ? std::nullopt : choices.takeFirst();
    }
};
