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

// Stands in for QtHelpViewer, tested in tests/platform; opens is false when there is no browser.
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

// The main window's ticks in the test's hand: step() runs ticks at once. Running freely, each pass of the event
// loop is a tick of each running kind, on its own timer as in the program (one runs while the other waits for the
// logger), so a wait that the program bounds in 100 ms ticks ends in a few passes instead of seconds.
class SteppedTicks final : public TickSource {
public:
    SteppedTicks()
    {
        for (Tick tick : {Tick::Status, Tick::Sample}) {
            QTimer& pass = pass_[int(tick)];
            pass.setInterval(0);
            QObject::connect(&pass, &QTimer::timeout, this, [this, tick] { emit Ticked(tick); });
        }
    }
    void Start(Tick tick) override { set(tick, true); }
    void Stop(Tick tick) override { set(tick, false); }
    bool IsActive(Tick tick) const override { return active_[int(tick)]; }

    void step(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            for (Tick tick : {Tick::Status, Tick::Sample}) {
                if (active_[int(tick)]) {
                    emit Ticked(tick);
                }
            }
        }
    }
    void runFreely(bool on)
    {
        freely_ = on;
        for (Tick tick : {Tick::Status, Tick::Sample}) {
            set(tick, active_[int(tick)]);
        }
    }

private:
    void set(Tick tick, bool active)
    {
        active_[int(tick)] = active;
        if (active && freely_) {
            pass_[int(tick)].start();
        } else {
            pass_[int(tick)].stop();
        }
    }

    bool active_[2] = {false, false};
    bool freely_ = false;
    QTimer pass_[2];
};

// The main window and its session as main() builds them, with the platform's test doubles, over the port given
// (its own FakeSerialPort when none is); time stepped by the test, or the program's own timers over a real port.
struct MainWindowRig {
    enum class Time { Stepped, Real };

    explicit MainWindowRig(SerialPort* line = nullptr, Time time = Time::Stepped)
        : platform{line ? *line : fakePort, prompter, dialogs, store, help, cursor},
          session(platform, ownPorts),
          controller(session, window, time == Time::Real ? static_cast<TickSource&>(timers) : ticks)
    {
    }

    // Start-up as main() runs it; stepped time then runs freely.
    void startUp(const QString& commandLine = {}, const QString& appFolder = {})
    {
        controller.StartUp(commandLine, appFolder);
        ticks.runFreely(true);
    }

    // Connect on the main window, then in the connection window; true when a logger is connected.
    bool connect()
    {
        QTimer::singleShot(0, [] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal && modal->findChild<QPushButton*>(QStringLiteral("cmdConnect")));
            QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("cmdConnect")), Qt::LeftButton);
        });
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
