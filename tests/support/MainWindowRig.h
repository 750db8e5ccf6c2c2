#pragma once

#include "FakeSerialPort.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "app/TickSource.h"
#include "link/PortDirectory.h"
#include "platform/HelpViewer.h"

#include <QTest>
#include <QtWidgets>

// Stands in for QtHelpViewer (src/platform), tested in tests/platform.
// Records the manuals opened; opens fails when there is no browser.
class FakeHelpViewer : public HelpViewer {
public:
    bool Open(const QString& path) override
    {
        opened.append(path);
        return opens;
    }
    QStringList opened;
    bool opens = true;
};

// The main window's ticks in the test's hand. step() runs ticks at once. While
// running freely every pass of the event loop is one tick of each running
// kind, each on its own timer as in the program (one tick runs while the
// other waits for the logger), so a wait that the program bounds in 100 ms
// ticks ends in a few passes instead of seconds.
class SteppedTicks final : public TickSource {
public:
    SteppedTicks()
    {
        for (Tick tick : {Tick::Status, Tick::Sample}) {
            QTimer& pass = pass_[index(tick)];
            pass.setInterval(0);
            QObject::connect(&pass, &QTimer::timeout, this, [this, tick] { emit Ticked(tick); });
        }
    }
    void Start(Tick tick) override { set(tick, true); }
    void Stop(Tick tick) override { set(tick, false); }
    bool IsActive(Tick tick) const override { return active_[index(tick)]; }

    void step(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            for (Tick tick : {Tick::Status, Tick::Sample}) {
                if (active_[index(tick)]) {
                    emit Ticked(tick);
                }
            }
        }
    }
    void runFreely(bool on)
    {
        freely_ = on;
        for (Tick tick : {Tick::Status, Tick::Sample}) {
            set(tick, active_[index(tick)]);
        }
    }

private:
    static int index(Tick tick) { return tick == Tick::Status ? 0 : 1; }
    void set(Tick tick, bool active)
    {
        active_[index(tick)] = active;
        if (active && freely_) {
            pass_[index(tick)].start();
        } else {
            pass_[index(tick)].stop();
        }
    }

    bool active_[2] = {false, false};
    bool freely_ = false;
    QTimer pass_[2];
};

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
            QVERIFY(modal && modal->findChild<QPushButton*>(button));
            QTest::mouseClick(modal->findChild<QPushButton*>(button), Qt::LeftButton);
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
