#pragma once

class SerialPort;
class Prompter;
class FileDialogs;
class SettingsStore;
class HelpViewer;
class BusyCursor;

// The platform services a window or workflow may need, handed around by
// reference. main() binds the Qt implementations; tests bind doubles.
struct Platform {
    SerialPort& Port;
    Prompter& Messages;
    FileDialogs& Dialogs;
    SettingsStore& Store;
    HelpViewer& Help;
    BusyCursor& Hourglass;
};
