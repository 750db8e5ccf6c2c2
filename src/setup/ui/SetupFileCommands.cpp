// The setup window's File menu over the shared setup-file commands.
#include "setup/ui/SetupWindow.h"

#include "config/SetupFileCommands.h"
#include "core/ProgramOptions.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"

// The file commands wait while Program talks to the logger: the menus still
// answer during its waits.
bool SetupWindow::SaveSetup()
{
    return !ctx_.Connection.Busy && CommitLastField()
        && files_->Save(ctx_.Settings, [this] { StoreSettings(); }, savedImage_);
}

void SetupWindow::LoadSetup()
{
    if (ctx_.Connection.Busy || !CommitLastField() || CancelledOverUnsavedChanges()) {
        return;
    }
    if (files_->Load(ctx_.Settings, ctx_.Rating, savedImage_)) {
        ShowSettings();
    }
}

void SetupWindow::LoadRecentFile(int index)
{
    if (files_->PrepareRecentFile(index)) {
        LoadSetup();
    }
}

const QString& SetupWindow::SetupFileName() const
{
    return files_->SetupFileName();
}
