#pragma once

#include "FakeHelpViewer.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The main window and its session started up as main() does it, over the
// serial port and port directory given, with the platform's test doubles.
struct ProgramRig {
    ProgramRig(SerialPort& port, PortDirectory& ports, const QString& commandLine = {})
        : platform{port, prompter, dialogs, store, help, cursor}, session(platform, ports)
    {
        controller.StartUp(commandLine, QString());
    }

    // Presses a button of the next modal window as soon as it shows.
    static void pressInNextModal(const QString& button)
    {
        QTimer::singleShot(0, [button] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            auto* target = modal->findChild<QPushButton*>(button);
            QVERIFY(target);
            QTest::mouseClick(target, Qt::LeftButton);
        });
    }

    // Connect on the main window, then Connect in the connection window as
    // it opens; true when a logger is connected.
    bool connect()
    {
        pressInNextModal(QStringLiteral("cmdConnect"));
        QTest::mouseClick(ui().cmdConnect, Qt::LeftButton);
        return session.Connection.Connected;
    }

    const MainWidgets& ui() const { return window.ui(); }

    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    MemorySettingsStore store;
    FakeHelpViewer help;
    NullBusyCursor cursor;
    Platform platform;
    Session session;
    MainWindow window;
    MainController controller{session, window};
};
