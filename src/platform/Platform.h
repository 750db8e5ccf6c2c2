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
    SerialPort& port;
    Prompter& prompter;
    FileDialogs& fileDialogs;
    SettingsStore& settingsStore;
    HelpViewer& helpViewer;
    BusyCursor& busyCursor;
};
