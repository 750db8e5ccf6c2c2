#include "setup/SetupAction.h"

#include "core/AppState.h"
#include "platform/BusyCursor.h"
#include "setup/SetupWindow.h"

void RunSetupAction(const SetupContext& context, const std::function<bool()>& readSettings, QWidget* parent)
{
    AppState& state = context.State;
    if (!state.Connected || state.Busy || state.SamplingContinuously) {
        return;
    }
    state.Busy = true;
    readSettings();
    {
        SetupWindow window(context, parent);
        window.exec();
    }
    // The window takes Busy again as it closes; an error on the way may not have.
    state.Busy = true;
    {
        BusyScope wait(context.Cursor);
        readSettings();
    }
    state.Busy = false;
}
