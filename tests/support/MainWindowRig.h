#pragma once

#include "FakeHelpViewer.h"
#include "FakeSerialPort.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "link/PortDirectory.h"

#include <QTemporaryDir>

// A main window over test doubles, as main() builds it before start-up.
struct MainWindowRig {
    FakeSerialPort port;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    MemorySettingsStore store;
    FakeHelpViewer help;
    NullBusyCursor cursor;
    Platform platform{port, prompter, dialogs, store, help, cursor};
    QTemporaryDir virtualLoggers;
    PortDirectory ports{virtualLoggers.path()};
    Session session{platform, ports};
    MainWindow window;
    MainController controller{session, window};
};
