#pragma once

#include <QString>
#include <memory>

class MainWindow;

// The whole program as a user runs it: the Qt implementations of the
// platform services, the session, the main window and its controller.
// Building it runs the start-up; the Connect action follows as soon as the
// event loop runs, as if the user had pressed Connect.
class Program {
public:
    // The command line is the whole text after the program name; the folder
    // holds the manual and the catalogues.
    Program(const QString& commandLine, const QString& appFolder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the event loop until the main window closes or File > Exit; the
    // program's exit status.
    int Run();

    MainWindow& Window();

private:
    void InstallCommunicationsLog();

    struct Parts;
    std::unique_ptr<Parts> parts_;
};
