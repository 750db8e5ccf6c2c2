#pragma once

#include "platform/FileDialogs.h"

// Open and save dialogs over QFileDialog, modal over the window they belong to.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> OpenFile(const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(const FileDialogRequest& request) override;
};
