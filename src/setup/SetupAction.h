#pragma once

#include "setup/SetupContext.h"

#include <functional>

class QWidget;

// The main window's Setup command: reads the logger's settings, edits them
// in the modal setup window, and reads them again afterwards so that the main
// window shows what the logger now holds. Does nothing unless the logger is
// connected and no other exchange or continuous sampling runs.
// readSettings is the main window's settings read with its refreshes.
void RunSetupAction(const SetupContext& context, const std::function<bool()>& readSettings, QWidget* parent);
