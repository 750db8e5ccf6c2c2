#pragma once

#include "FakeHelpViewer.h"
#include "FakeSerialPort.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SteppedTicks.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "link/PortDirectory.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The main window and its session as main() builds them, with the platform's
// test doubles, over the port given (a FakeSerialPort of its own when none
// is). Time is stepped by the test (ticks), or runs on the program's own
// 100 ms timers for a test over a real port and a real logger process.
struct MainWindowRig {
    enum class Time { Stepped, Real };

    explicit MainWindowRig(SerialPort* line = nullptr, PortDirectory* portDirectory = nullptr,
                           Time time = Time::Stepped)
        : platform{line ? *line : fakePort, prompter, dialogs, store, help, cursor},
          session(platform, portDirectory ? *portDirectory : ownPorts),
          controller(session, window, time == Time::Real ? static_cast<TickSource&>(timers) : ticks)
    {
    }

    // Start-up as main() runs it; stepped time then runs freely, a pass of
    // the event loop to a tick.
    void startUp(const QString& commandLine = {}, const QString& appFolder = {})
    {
        controller.StartUp(commandLine, appFolder);
        ticks.runFreely(true);
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
        press(QStringLiteral("cmdConnect"));
        return session.Connection.Connected;
    }

    // A control of the main window by its object name.
    template <typename Control = QWidget>
    Control* find(const QString& name) const
    {
        auto* control = window.findChild<Control*>(name);
        if (!control) {
            qFatal("the main window has no %s", qPrintable(name));
        }
        return control;
    }
    QString text(const QString& label) const { return find<QLabel>(label)->text(); }
    bool enabled(const QString& name) const
    {
        const auto* item = window.findChild<QAction*>(name);
        return item ? item->isEnabled() : find(name)->isEnabled();
    }
    // A click on the button, or the menu item chosen, as the user does it.
    void press(const QString& name)
    {
        if (auto* item = window.findChild<QAction*>(name)) {
            item->trigger();
        } else {
            QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton);
        }
    }

    QStringList titles() const
    {
        QStringList titles;
        for (const auto& message : prompter.messages) {
            titles << message.title;
        }
        return titles;
    }

    FakeSerialPort fakePort;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    MemorySettingsStore store;
    FakeHelpViewer help;
    NullBusyCursor cursor;
    Platform platform;
    QTemporaryDir virtualLoggers;
    PortDirectory ownPorts{virtualLoggers.path()};
    Session session;
    MainWindow window;
    SteppedTicks ticks;
    TimerTicks timers;
    MainController controller;
};
