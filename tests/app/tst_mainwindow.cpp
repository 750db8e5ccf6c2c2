#include "CloseWhile.h"
#include "HayesModem.h"
#include "LoggerEngine.h"
#include "MainWindowRig.h"
#include "ScratchFolder.h"
#include "SimSerialPort.h"
#include "Snapshot.h"
#include "TestRegistry.h"
#include "app/AboutWindow.h"
#include "app/MeterBar.h"
#include "core/DataFolder.h"
#include "core/ProgramVersion.h"
#include "link/FrameCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>

namespace {

class CountingDevice : public SimDevice {
public:
    explicit CountingDevice(SimDevice& inner) : inner_(inner) {}
    Reply Receive(const QByteArray& bytes) override
    {
        received += bytes;
        return inner_.Receive(bytes);
    }
    void LineDropped() override { inner_.LineDropped(); }
    // A request frame: the start byte, the length, then the command byte.
    int requests(int command) const
    {
        int count = 0;
        for (qsizetype i = 0; i + 2 < received.size(); ++i) {
            count += uint8_t(received[i]) == Frame::Start && uint8_t(received[i + 2]) == command ? 1 : 0;
        }
        return count;
    }
    QByteArray received;

private:
    SimDevice& inner_;
};

struct LoggerLine {
    explicit LoggerLine(const LoggerOptions& options) : engine(options), device(engine), port(device) {}
    LoggerEngine engine;
    CountingDevice device;
    SimSerialPort port;
};
struct LoggerRig : LoggerLine, MainWindowRig {
    explicit LoggerRig(const LoggerOptions& options = {}, const QString& commandLine = {}, Time time = Time::Stepped)
        : LoggerLine(options), MainWindowRig(&port, time)
    {
        startUp(commandLine);
    }
    bool connect()
    {
        MainWindowRig::connect();
        controller.StatusTick(); // enables what a connected logger allows
        return session.Connection.Connected;
    }
};

class PaintedTexts : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // Only a paint: the filter also sees the events of a label being destroyed.
        const auto* label = event->type() == QEvent::Paint ? qobject_cast<QLabel*>(object) : nullptr;
        const QString text = label ? label->text() : QString();
        if (!text.isEmpty() && (texts.isEmpty() || texts.last() != text)) {
            texts << text;
        }
        return false;
    }
    QStringList texts;
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsDrawsAndCloses()
    {
        AboutWindow about(QStringLiteral("Brevel Flow Monitor"), nullptr);
        BREVEL_VERIFY_SNAPSHOT(about, "about");
        MainWindowRig f;
        f.startUp();
        QCOMPARE(f.window.windowTitle(), ProgramCaption());
        BREVEL_VERIFY_SNAPSHOT(f.window, "main-window");
        f.controller.Ticks().Stop(TickSource::Tick::Status);
        f.session.Connection.ReplyCountdown = 2;
        f.session.Meters[0] = {.Shown = true, .Maximum = 100.0, .Value = 50.0, .Units = {}};
        f.session.Meters[3] = {.Shown = true, .Maximum = 10.0, .Value = 10.0, .Units = {}};

        f.controller.StatusTick();
        QCOMPARE(f.session.Connection.ReplyCountdown, int16_t{1});
        // Level half full and flow full, each in its colour inside its frame, with its labels.
        BREVEL_VERIFY_SNAPSHOT(f.window, "main-window-bars");

        f.controller.StatusTick();
        f.controller.StatusTick();
        QCOMPARE(f.session.Connection.ReplyCountdown, int16_t{0});
        const TimerTicks programTicks; // the program counts in tenths of a second
        QCOMPARE(programTicks.Interval(TickSource::Tick::Status), 100);
        QCOMPARE(programTicks.Interval(TickSource::Tick::Sample), 100);

        f.session.Meters[0].Shown = false; // a column switched off loses its bar and labels
        f.controller.StatusTick();
        QVERIFY(f.find<MeterBar>("fraColumn0")->Fill().isEmpty());

        // The settings are written once, however often the window is closed.
        QVERIFY(f.session.Link.OpenPort(1, QStringLiteral("38400,N,8,1")));
        f.window.close();
        f.window.close();
        QCOMPARE(f.store.writtenKeys.size(), 15);
        QVERIFY(!f.fakePort.IsOpen());
        QVERIFY(!f.fakePort.dtr); // dropped first: a modem hangs up
    }

    // The manual found at start-up opens while it is there; without a browser the user learns where it is.
    void helpOpensTheManual_data()
    {
        QTest::addColumn<bool>("presentAtStart");
        QTest::newRow("found at start-up") << true;
        QTest::newRow("none at start-up") << false;
    }
    void helpOpensTheManual()
    {
        QFETCH(bool, presentAtStart);
        ScratchFolder folder;
        const QString manual = ManualPath(folder.dir.path());
        const QString name = QDir(folder.dir.path()).relativeFilePath(manual);
        QVERIFY(!presentAtStart || folder.write(name, {}));
        MainWindowRig f;
        f.startUp(QString(), folder.dir.path());
        QVERIFY(folder.write(name, {}));
        QList<int> opened; // after each Help: the browser there, then none, then the manual gone too
        for (int press = 0; press < 3; ++press) {
            f.help.opens = press == 0;
            QVERIFY(press < 2 || QFile::remove(manual));
            f.press(QStringLiteral("mnuLaunchHelp"));
            opened << int(f.help.opened.size()) << int(f.prompter.messages.size());
        }
        QCOMPARE(opened, presentAtStart ? QList<int>({1, 0, 2, 1, 2, 1}) : QList<int>({0, 0, 0, 0, 0, 0}));
        for (const auto& m : f.prompter.messages) {
            QCOMPARE(m.title + "|" + QString("NIQWE")[int(m.icon)], "Help|W");
            QVERIFY(m.text.endsWith(QDir::toNativeSeparators(manual)));
        }
    }

    void settingsSummaryReachesTheWindow()
    {
        LoggerRig f;
        QVERIFY(f.connect());
        LoggerSettings& settings = f.session.Logger;
        settings.FlowMode = 1; // Manning's equation
        // Every channel and alarm on; then some off, and a unit that allows no flow: what was shown must go.
        for (const bool everything : {true, false}) {
            settings.EngUnits[0] = everything ? "Feet" : "Volts";
            settings.AlarmEnable = {1, uint8_t(everything)};
            settings.AnalogEnable[1] = everything;
            settings.NumDigitalChannels = everything ? 2 : 1;
            f.controller.ShowSettingsSummary();
            f.controller.ShowLiveSamples();
            f.controller.StatusTick();
            QVERIFY(f.enabled(QStringLiteral("lblAlarm0")));
            for (const char* name : {"lblAlarm1", "fraPulse2", "lblPulseValue2", "fraMeter3", "fraMeter4"}) {
                QCOMPARE(f.enabled(QLatin1String(name)), everything);
            }
            for (const char* name : {"lblValue1", "lblUnits4", "lblValue3"}) {
                QCOMPARE(f.find(QLatin1String(name))->isVisible(), everything);
            }
            QCOMPARE(f.text(QStringLiteral("lblValue1")).isEmpty(), !everything);
            QCOMPARE(f.text(QStringLiteral("lblUnits4")), QStringLiteral("FPS"));
            QVERIFY(!f.text(QStringLiteral("lblValue3")).isEmpty());
            const QLabel* unit = f.find<QLabel>(QStringLiteral("lblUnits0"));
            QCOMPARE(unit->toolTip().isEmpty(), everything);
            QCOMPARE(unit->palette().color(QPalette::WindowText) == QColor(255, 0, 0), !everything);
        }
    }

    // A menu item acts as the connection is, whatever its enabled state says.
    // (Yes to Synchronize Time and Clear History and the firmware version are the journeys'.)
    void commandsAskThenAct_data()
    {
        QTest::addColumn<QString>("state");   // how the logger or the line differ from a connected one
        QTest::addColumn<QString>("control"); // cmdConnect: connecting is the command
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<QStringList>("messages"); // "title|icon buttons default|start of text", icon by initial
        QTest::addColumn<int>("command"); // the request byte counted
        QTest::addColumn<int>("sent");
        QTest::addColumn<QString>("after"); // connection, sampling and channel 2's pulse count
        QTest::addColumn<QStringList>("labels"); // "name=text" of other labels looked at
        const QString idle = "connected idle 40 Pulses";
        const QString none = "not connected idle ";
        const auto no = PromptAnswer::No;
        auto row = [](const char* name, const char* state, const char* control, const QStringList& messages,
                      int command, int sent, const QString& after, const QStringList& labels = {},
                      PromptAnswer answer = PromptAnswer::Cancel) {
            QTest::newRow(name) << QString(state) << QString(control) << answer << messages << command << sent << after
                                << labels;
        };
        row("two analog channels", "two analog", "cmdConnect",
            {"Wrong Logger Type|E Ok Ok|Error: The Brevel Flow Monitor software only works correctly\r\n"}, 0x06, 0,
            none);
        row("-i asks for a valid memory, Cancel", "-i", "cmdConnect",
            {"Initialization Required|W OkCancel Cancel|Warning: "}, 0x06, 0, none);
        row("port will not open", "no cable", "cmdConnect",
            {"Connect Error|W Ok Ok|Error opening port.  If this port exists, it \r\n"
             "may be in use by another application."}, 0x06, 0, none);
        row("Sync Time, No", "", "cmdSynchronizeTime", {"Synchronize Time|I YesNo Yes|"}, 0x01, 0, idle, {}, no);
        // The question comes first, before the connection is looked at.
        row("Sync Time disconnected", "disconnected", "mnuSynchronizeTime", {"Synchronize Time|I YesNo Yes|"}, 0x01, 0,
            none, {}, PromptAnswer::Yes);
        row("Clear History item, No", "", "mnuClearHistory", {"Clear History|Q YesNo No|"}, 0x04, 0, idle, {}, no);
        row("Reset Pulse Accumulators", "", "mnuResetPulseAccs", {}, 0x0E, 1, "connected idle 0 Pulses");
        row("Connect item while connected", "", "mnuConnect", {}, 0x06, 0, idle);
        row("Disconnect item", "", "mnuDisconnect", {}, 0x06, 0, none);
        row("Get Sample, flow table missing", "table programmed", "cmdGetSettings",
            {"Missing or Empty Flow Table File|W Ok Ok|Error: missing or empty flow table file:"}, 0x08, 3, idle,
            {"lblFlowMode= Table Method", "lblFWT=Table Name:", "lblFWT2= river.tbl"});
        // A logger without a sample: one that says so shows "No sample" and the bar drops to EU low; one that
        // keeps silent on the sample commands is given up after 25 status ticks, however long the exchanges wait.
        const QStringList read{"lblWarmup=3 sec", "lblValue0="};
        row("Get Sample, the logger has none", "no sample", "cmdGetSettings", {}, 0x08, 3, "connected idle no sample",
            {"lblWarmup=3 sec", "lblValue0=No sample"});
        row("Get Sample, read ignored", "read-sample ignored", "cmdGetSettings", {}, 0x08, 3, "connected idle ", read);
        row("Get Sample, start and read ignored", "start- and read-sample ignored", "cmdGetSettings", {}, 0x08, 3,
            "connected idle ", read);
        // The one read, in three blocks: clicks while Get Sample waits start nothing.
        row("clicks during Get Sample", "clicks while busy", "cmdGetSettings", {}, 0x08, 3, idle);
        // A lost logger: disconnected as by Disconnect once the running action has ended, and said once.
        const QString lost = "Connection Lost|W Ok Ok|Error: the connection to the logger was lost.";
        row("logger lost while idle", "cable pulled", "pull cable", {lost}, 0x06, 0, none);
        row("logger lost mid-continuous-sampling", "cable pulled while sampling", "pull cable", {lost}, 0x06, 0, none);
        row("logger lost mid-download", "cable pulled mid-download", "cmdGetHistoryData",
            {"Get History Data|E Ok Ok|Error during retrieval.", lost}, 0x06, 0, none);
    }
    void commandsAskThenAct()
    {
        QFETCH(QString, state);
        QFETCH(QString, control);
        QFETCH(QStringList, messages);
        QFETCH(int, command);
        LoggerOptions options;
        options.HistoryRecords = state.endsWith(u"download") ? 3000 : options.HistoryRecords;
        options.AnalogChannels = state == u"two analog" ? 2 : 3;
        options.NoSamples = state == u"no sample";
        if (state.endsWith(u"ignored")) {
            options.MutedCommands = state.startsWith(u"start") ? QList<uint8_t>{0x09, 0x0A} : QList<uint8_t>{0x0A};
        }
        LoggerRig f(options, state == u"-i" ? state : QString());
        f.engine.SetLivePulseCount(0, 40);
        if (state == u"no cable") {
            f.port.PullCable();
        }
        const bool connectedBefore = control != u"cmdConnect" && state != u"disconnected";
        if (connectedBefore) {
            QVERIFY(f.connect());
        }
        if (state == u"table programmed") {
            f.session.Logger.FlowMode = 4;
            f.session.Logger.TablePath = QStringLiteral("/nonexistent/river.tbl");
            QVERIFY(f.session.Commands.ProgramSettings());
            f.session.Logger.TablePath.clear();
        }
        int nestedClicks = 0;
        int waits = 0; // status ticks while Get Sample waits for its sample
        QObject::connect(&f.ticks, &TickSource::Ticked, [&](TickSource::Tick tick) {
            waits += tick == TickSource::Tick::Status && f.session.Window.AwaitingSample ? 1 : 0;
            if (state == u"clicks while busy" && f.session.Connection.Busy) {
                ++nestedClicks;
                for (const char* name : {"cmdGetSettings", "cmdConnect", "mnuResetPulseAccs", "mnuClearHistory"}) {
                    f.press(QLatin1String(name));
                }
            }
        });
        if (state == u"cable pulled while sampling") {
            const int16_t count = f.session.Window.SampleCount;
            f.press(QStringLiteral("chkSampleContinuously"));
            QTRY_VERIFY(f.session.Window.SamplingContinuously && f.session.Window.SampleCount >= count + 2);
        }
        // Pulls the cable once the first block of a download is in, and closes the table.
        QTimer hand;
        QObject::connect(&hand, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            const QString name = modal ? modal->objectName() : QString();
            if (name == u"frmGetHistoryData" && f.port.IsOpen()
                && modal->findChild<QLabel*>(QStringLiteral("lblGetHistoryData"))->text() != u"0 records") {
                f.port.PullCable();
            } else if (name == u"frmHistory") {
                modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            }
        });
        hand.start(1);
        const int before = f.device.requests(command);
        const int16_t samples = f.session.Window.SampleCount;
        if (auto* item = f.window.findChild<QAction*>(control)) {
            item->setEnabled(true);
        }
        QFETCH(PromptAnswer, answer);
        f.prompter.answers = {answer};
        if (control == u"cmdConnect") {
            f.connect();
        } else if (control == u"pull cable") {
            f.port.PullCable();
        } else {
            f.press(control);
        }
        if (state.startsWith(u"cable pulled")) {
            QTRY_COMPARE(f.text(QStringLiteral("lblCommStatus")), QStringLiteral("Not Connected"));
        }
        QStringList shown;
        for (const auto& m : f.prompter.messages) {
            const QString line = m.title + "|" + QString("NIQWE")[int(m.icon)] + " "
                               + QStringList{"Ok", "OkCancel", "YesNo", "YesNoCancel"}[int(m.buttons)] + " "
                               + QStringList{"Ok", "Cancel", "Yes", "No"}[int(m.defaultAnswer)] + "|" + m.text;
            shown << line.left(messages.value(shown.size()).size());
        }
        QCOMPARE(shown, messages);
        QTEST(f.device.requests(command) - before, "sent");
        QCOMPARE(nestedClicks > 0, state == u"clicks while busy");
        QVERIFY2(state.endsWith(u"ignored") ? waits >= 24 && waits <= 26 : waits < 24,
                 qPrintable(QString::number(waits)));
        QVERIFY(!f.session.Window.AwaitingSample);
        if (state.contains(u"sample")) {
            QCOMPARE(f.session.Window.SampleCount, samples + (options.NoSamples ? 1 : 0));
            QCOMPARE(f.session.Meters[0].Value, 0.0);
        }
        QFETCH(QStringList, labels);
        for (const QString& label : labels) {
            QCOMPARE(f.text(label.section('=', 0, 0)), label.section('=', 1));
        }
        const bool connected = f.session.Connection.Connected;
        auto* box = f.find<QCheckBox>(QStringLiteral("chkSampleContinuously"));
        QTEST(QStringLiteral("%1 %2 %3")
                  .arg(connected ? "connected" : "not connected", box->isChecked() ? "sampling" : "idle",
                       f.text(QStringLiteral("lblPulseValue1"))),
              "after");
        QCOMPARE(f.port.IsOpen(), connected);
        QVERIFY(!f.session.Connection.Busy);
        // The logger's time is known over a connection (a missing sample has none), and not without one.
        QVERIFY(options.NoSamples || connected != connectedBefore
                || f.session.Status.LoggerTimeText.isEmpty() != connected);
        if (state.startsWith(u"cable pulled")) { // nothing more is said, and connecting again needs no restart
            QVERIFY(!f.session.Window.SamplingContinuously);
            QVERIFY(f.enabled(QStringLiteral("mnuConnect")) && !f.enabled(QStringLiteral("mnuDisconnect")));
            BREVEL_VERIFY_SNAPSHOT(f.window, "main-window-disconnected"); // every reading gone, Connect offered
            f.ticks.step(5);
            QCOMPARE(f.prompter.messages.size(), messages.size());
            f.port.PlugCable();
            QVERIFY(f.connect());
        }
        if (control == u"mnuDisconnect") { // and neither the item nor the box does anything now
            box->setChecked(true);
            emit f.window.CommandChosen(MainCommand::SampleContinuouslyBox);
            f.controller.StatusTick(); // enables Disconnect
        f.press(QStringLiteral("mnuDisconnect"));
            QVERIFY(!box->isChecked());
            f.controller.StatusTick();
            QVERIFY(f.enabled(QStringLiteral("mnuConnect")));
        }
    }

    void continuousSamplingDisablesTheActions()
    {
        LoggerRig f;
        QVERIFY(f.connect());
        f.press(QStringLiteral("mnuSampleContinuously")); // the item ticks the box
        f.controller.StatusTick();
        for (const char* name : {"cmdConnect", "cmdGetSettings", "cmdGetHistoryData", "cmdClearMemory",
                                 "cmdSynchronizeTime", "cmdSetup", "mnuDisconnect", "mnuGetSettings",
                                 "mnuGetHistoryData", "mnuClearHistory", "mnuSynchronizeTime", "mnuSetup",
                                 "mnuResetPulseAccs"}) {
            QVERIFY2(!f.enabled(QLatin1String(name)), name);
        }
        for (const char* name : {"chkSampleContinuously", "mnuSampleContinuously", "mnuFirmwareVersion"}) {
            QVERIFY2(f.enabled(QLatin1String(name)), name);
        }

        // One sample a second: a start and a read every ten ticks.
        f.ticks.runFreely(false);
        const int16_t before = f.session.Window.SampleCount;
        const int reads = f.device.requests(0x0A);
        const int starts = f.device.requests(0x09);
        f.ticks.step(20);
        QCOMPARE(f.device.requests(0x0A), reads + 2);
        QCOMPARE(f.device.requests(0x09), starts + 2);
        QCOMPARE(f.session.Window.SampleCount, int16_t(before + 2));

        f.press(QStringLiteral("mnuSampleContinuously"));
        f.ticks.step(1);
        QVERIFY(!f.session.Window.SamplingContinuously && !f.session.Connection.Busy);
        QVERIFY(!f.find<QCheckBox>(QStringLiteral("chkSampleContinuously"))->isChecked());
        QVERIFY(f.enabled(QStringLiteral("cmdGetSettings")) && f.enabled(QStringLiteral("cmdConnect")));
        f.ticks.step(10);
        QCOMPARE(f.device.requests(0x0A), reads + 2);
    }

    // Each attempt shown at once; Cancel ends after the current try, closing the window ends the program at once.
    void wakingEndsOnCancelOrClose_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("Cancel") << false;
        QTest::newRow("main window closed") << true;
    }
    void wakingEndsOnCancelOrClose()
    {
        QFETCH(bool, close);
        LoggerOptions options;
        options.AnswersWakeUp = false;
        LoggerRig f(options, QString(), MainWindowRig::Time::Real);
        PaintedTexts shown;
        const auto click = [&] {
            QTimer::singleShot(0, [&] {
                QWidget* window = QApplication::activeModalWidget();
                window->findChild<QLabel*>(QStringLiteral("lblProgress"))->installEventFilter(&shown);
                QVERIFY(QTest::qWaitForWindowExposed(window));
                QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdConnect")), Qt::LeftButton);
            });
            f.find<QPushButton>(QStringLiteral("cmdConnect"))->click();
        };
        const auto secondAttempt = []() -> QWidget* {
            QWidget* window = QApplication::activeModalWidget();
            auto* progress = window ? window->findChild<QLabel*>(QStringLiteral("lblProgress")) : nullptr;
            return progress && progress->text().contains(u"attempt 2 of 10") ? window : nullptr;
        };
        if (close) {
            const qint64 ms = CloseWhile(f.window, click, secondAttempt);
            QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
            QCOMPARE(f.store.writtenKeys.size(), 15);
            QVERIFY(!QApplication::activeModalWidget());
        } else {
            QTimer watcher;
            QObject::connect(&watcher, &QTimer::timeout, [&] {
                if (QWidget* window = secondAttempt()) {
                    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
                }
            });
            watcher.start(10);
            click();
            QCOMPARE(f.titles(), QStringList{"Connect Error"});
        }
        QCOMPARE(shown.texts, QStringList({"Opening COM1\u2026", "Waking the logger (attempt 1 of 10)\u2026",
                                           "Waking the logger (attempt 2 of 10)\u2026", "Cancelling\u2026"}));
        QVERIFY(!f.session.Connection.Connected);
        QVERIFY(!f.port.IsOpen());
    }

    void modemCommandFileOnlyWhileTicked()
    {
        ScratchFolder folder;
        QVERIFY(folder.write(QStringLiteral("modem.txt"), "AT&F\r\nATS7=45\r\n"));
        LoggerEngine engine{LoggerOptions{}};
        HayesModem modem(engine, {.ConnectDelayMs = 100});
        CountingDevice device(modem);
        SimSerialPort port(device, 0, 9600);
        MainWindowRig f(&port, MainWindowRig::Time::Real);
        f.startUp();
        UserSettings& user = f.session.User;
        user.ModemNumber[0] = user.CurrentModemNumber = QStringLiteral("555-0100");
        user.ModemInit = folder.path(QStringLiteral("modem.txt"));
        f.session.UseModem = true;
        QVERIFY(f.connect());
        QVERIFY(!device.received.contains("ATS7=45"));
        emit f.window.CommandChosen(MainCommand::DisconnectMenu);
        user.UseModemInit = 1;
        QVERIFY(f.connect());
        QVERIFY(device.received.contains("ATS7=45"));
    }

    // A logger started while the window is open shows as soon as the port list is opened.
    void portListLooksAgainWhenOpened()
    {
        LoggerRig f;
        f.session.User.DirectBaud = QStringLiteral("57600");
        f.session.User.ModemBaud = QStringLiteral("19200");
        ScratchFolder devices;
        QVERIFY(devices.write(QStringLiteral("pts9"), {}));
        QStringList seen; // the chosen port and the late logger's items, before and after the list opens
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            auto* ports = window->findChild<QComboBox*>(QStringLiteral("cmbPort1"));
            const auto look = [&] {
                const QModelIndexList late = ports->model()->match(ports->model()->index(0, 0), Qt::DisplayRole,
                                                                   "Virtual logger late", -1, Qt::MatchContains);
                seen << ports->currentText() << QString::number(late.size());
            };
            look();
            for (const char* name : {"cmbBaud1", "cmbBaud2"}) {
                seen << window->findChild<QComboBox*>(QLatin1String(name))->currentText();
            }
            QFile::link(devices.path(QStringLiteral("pts9")), f.virtualLoggers.filePath(QStringLiteral("late")));
            QTest::mouseClick(ports, Qt::LeftButton);
            look();
            ports->hidePopup();
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        f.press(QStringLiteral("cmdConnect"));
        QCOMPARE(seen, QStringList({seen.value(0), "0", "57600", "19200", seen.value(0), "1"}));
    }
};

BREVEL_TEST(MainWindowTest)
#include "tst_mainwindow.moc"
