#include "CloseWhile.h"
#include "LoggerEngine.h"
#include "MainWindowRig.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/MeterBar.h"
#include "app/Session.h"
#include "core/DataFolder.h"
#include "link/FrameCodec.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Counts the logger's requests by command byte, on the way to the engine.
class CountingDevice : public SimDevice {
public:
    explicit CountingDevice(SimDevice& inner) : inner_(inner) {}
    Reply receive(const QByteArray& bytes) override
    {
        received += bytes;
        return inner_.receive(bytes);
    }
    void lineDropped() override { inner_.lineDropped(); }
    // A request frame: the start byte, the length, then the command byte.
    int requests(uint8_t command) const
    {
        int count = 0;
        for (qsizetype i = 0; i + 2 < received.size(); ++i) {
            if (uint8_t(received[i]) == Frame::Start && uint8_t(received[i + 2]) == command) {
                ++count;
            }
        }
        return count;
    }
    QByteArray received;

private:
    SimDevice& inner_;
};

// The main window over the virtual logger in this process, its requests counted.
struct LoggerLine {
    LoggerLine(const LoggerOptions& options, int latencyMs) : engine(options), device(engine), port(device, latencyMs) {}
    LoggerEngine engine;
    CountingDevice device;
    SimSerialPort port;
};
struct LoggerRig : LoggerLine, MainWindowRig {
    explicit LoggerRig(const LoggerOptions& options = {}, const QString& commandLine = {}, int latencyMs = 0,
                       Time time = Time::Stepped)
        : LoggerLine(options, latencyMs), MainWindowRig(&port, nullptr, time)
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

// Every text a label shows on the screen, as it is painted.
class PaintedTexts : public QObject {
public:
    void watch(QLabel* label) { label->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        const QString text = static_cast<QLabel*>(object)->text();
        if (!text.isEmpty() && (texts.isEmpty() || texts.last() != text)) {
            texts << text;
        }
        return false;
    }
    QStringList texts;
};

const QString kApp = QStringLiteral("Brevel Logger");
const QString kSection = QStringLiteral("Configuration");

} // namespace

Q_DECLARE_METATYPE(PromptIcon)

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpLeavesTheWindowReadyToConnect()
    {
        MainWindowRig f;
        f.startUp(QStringLiteral("-w 9"), QStringLiteral("/nonexistent"));
        const MainWidgets& ui = f.ui();
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Brevel Flow Monitor v2.3.2"));
        QVERIFY(!f.window.windowIcon().isNull());
        QCOMPARE(f.session.Options.ModemReplyTicks, int16_t{9});
        QVERIFY(!f.session.Window.Loading);
        QVERIFY(f.ticks.isActive(TickSource::Tick::Status));
        QVERIFY(f.ticks.isActive(TickSource::Tick::Sample));
        const TimerTicks programTicks;
        QCOMPARE(programTicks.interval(TickSource::Tick::Status), 100);
        QCOMPARE(programTicks.interval(TickSource::Tick::Sample), 100);
        QCOMPARE(int(f.session.Logger.NumAnalogChannels), 3);
        QCOMPARE(int(f.session.Logger.NumDigitalChannels), 2);
        QCOMPARE(f.session.Window.DerivedColumnCount, int16_t{2});

        QCOMPARE(ui.lblCommStatus->text(), QStringLiteral("Not Connected"));
        QCOMPARE(ui.lblCommStatus->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QVERIFY(ui.lblPulseValue1->text().isEmpty());
        QVERIFY(ui.lblLoggerName->text().isEmpty());
        QVERIFY(f.session.HelpFile.isEmpty());
    }

    void buttonsAndMenusCarryTheirCaptionsShortcutsAndStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("mnuExit") << "mnuExit" << "E&xit" << "" << true;
        QTest::newRow("mnuConnect") << "mnuConnect" << "Co&nnect" << "Ctrl+N" << true;
        QTest::newRow("mnuDisconnect") << "mnuDisconnect" << "&Disconnect" << "Ctrl+D" << false;
        QTest::newRow("mnuSampleContinuously") << "mnuSampleContinuously" << "S&ample Continuously" << "Ctrl+A" << false;
        QTest::newRow("mnuGetSettings") << "mnuGetSettings" << "&Get Sample" << "Ctrl+G" << false;
        QTest::newRow("mnuGetHistoryData") << "mnuGetHistoryData" << "Get &History Data" << "Ctrl+H" << false;
        QTest::newRow("mnuClearHistory") << "mnuClearHistory" << "&Clear History" << "Ctrl+C" << false;
        QTest::newRow("mnuSynchronizeTime") << "mnuSynchronizeTime" << "Synchronize &Time" << "Ctrl+T" << false;
        QTest::newRow("mnuSetup") << "mnuSetup" << "&Setup" << "Ctrl+S" << false;
        QTest::newRow("mnuResetPulseAccs") << "mnuResetPulseAccs" << "&Reset Pulse Accumulators" << "Ctrl+R" << false;
        QTest::newRow("mnuLaunchHelp") << "mnuLaunchHelp" << "&Help..." << "" << true;
        QTest::newRow("mnuAbout") << "mnuAbout" << "&About..." << "" << true;
        QTest::newRow("mnuFirmwareVersion") << "mnuFirmwareVersion" << "&Firmware Version" << "" << false;
        QTest::newRow("cmdConnect") << "cmdConnect" << "Connect" << "" << true;
        QTest::newRow("cmdGetSettings") << "cmdGetSettings" << "Get Sample" << "" << false;
        QTest::newRow("cmdGetHistoryData") << "cmdGetHistoryData" << "Get History " << "" << false;
        QTest::newRow("cmdClearMemory") << "cmdClearMemory" << "Clear History" << "" << false;
        QTest::newRow("cmdSynchronizeTime") << "cmdSynchronizeTime" << "Sync Time" << "" << false;
        QTest::newRow("cmdSetup") << "cmdSetup" << "Setup" << "" << false;
        QTest::newRow("chkSampleContinuously") << "chkSampleContinuously" << "Sample Continuously" << "" << false;
    }
    void buttonsAndMenusCarryTheirCaptionsShortcutsAndStates()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(bool, enabled);
        MainWindowRig f;
        f.startUp(QString(), QString());
        if (auto* action = f.window.findChild<QAction*>(name)) {
            QCOMPARE(action->text(), caption);
            QCOMPARE(action->shortcut().toString(), shortcut);
            QCOMPARE(action->isEnabled(), enabled);
        } else {
            auto* button = f.window.findChild<QAbstractButton*>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->isEnabled(), enabled);
        }
    }

    void framesCarryTheirCaptions()
    {
        MainWindowRig f;
        f.startUp(QString(), QString());
        QStringList titles;
        for (const QGroupBox* frame : f.window.findChildren<QGroupBox*>()) {
            titles << frame->title();
        }
        for (const char* title : {"Logger Name", "Logger Time", "Interval", "Records", "Logging State", "Warmup",
                                  "Comm Status", "Alarm 1", "Alarm 2", "Pulse Channel 1", "Pulse Channel 2"}) {
            QVERIFY2(titles.contains(QLatin1String(title)), title);
        }
        const QStringList rowCaptions = {f.ui().lblFlowMode2->text(), f.ui().lblPipeDiameter->text(),
                                         f.ui().lblSlope->text(), f.ui().lblRoughness->text(),
                                         f.ui().lblOffset->text()};
        QCOMPARE(rowCaptions, QStringList({"Flow Mode:", "Pipe Diameter:", "Slope:", "Roughness:", "Level Offset:"}));
    }

    void meterColumnsAreLaidOut()
    {
        MainWindowRig f;
        f.startUp(QString(), QString());
        const MainWidgets& ui = f.ui();
        const QStringList captions = {"1", "2", "3", "Flow", "Velocity"};
        for (int i = 0; i < 8; ++i) {
            const MeterWidgets& meter = ui.meters[size_t(i)];
            QCOMPARE(meter.fraMeter->objectName(), QStringLiteral("fraMeter%1").arg(i));
            QCOMPARE(meter.lblMin->text(), QStringLiteral("0.000"));
            QCOMPARE(meter.lblMax->text(), QStringLiteral("0.000"));
            QVERIFY(meter.lblValue->text().isEmpty());
            QCOMPARE(meter.fraMeter->isVisible(), i < 5);
            QCOMPARE(meter.fraMeter->isEnabled(), i != 3 && i != 4);
            QCOMPARE(meter.lblMin->isVisible(), i == 0);
            if (i < 5) {
                QCOMPARE(meter.fraMeter->title(), captions[i]);
                // Each column stands 1180 twips (about 79 pixels) right of the previous one.
                QCOMPARE(meter.fraMeter->x() - ui.meters[0].fraMeter->x(), qRound(i * 1180 / 15.0));
            }
            const MeterColumn& record = f.session.Meters[size_t(i)];
            QVERIFY(!record.Shown);
            QCOMPARE(record.Maximum, 0.0);
        }
        // The flow-mode panel stands where column 6 would, as high as column 1,
        // and reaches to 150 twips (10 pixels) from the window's right edge.
        const QRect panel = ui.fraFlowMode->geometry();
        const QRect first = ui.meters[0].fraMeter->geometry();
        QVERIFY(ui.fraFlowMode->isVisible());
        QCOMPARE(panel.x(), ui.meters[5].fraMeter->x());
        QCOMPARE(panel.top(), first.top());
        QCOMPARE(panel.height(), first.height());
        QCOMPARE(panel.right() + 1, f.window.centralWidget()->width() - 10);
    }

    void statusTickCountsDownAndDrawsBars()
    {
        MainWindowRig f;
        f.startUp(QString(), QString());
        f.controller.Ticks().stop(TickSource::Tick::Status);
        f.session.Connection.ReplyCountdown = 2;
        MeterColumn& level = f.session.Meters[0];
        level.Shown = true;
        level.Minimum = 0.0;
        level.Maximum = 100.0;
        level.Value = 50.0;
        MeterColumn& flow = f.session.Meters[3];
        flow.Shown = true;
        flow.Maximum = 10.0;
        flow.Value = 10.0;

        f.controller.StatusTick();
        QCOMPARE(f.session.Connection.ReplyCountdown, int16_t{1});
        const MeterBar* bar = f.ui().meters[0].fraColumn;
        // Bar area: 120 twips below the bar frame's top, 160 shorter; half full.
        const int barHeightPx = qRound((2640 - 160) / 15.0);
        QVERIFY(qAbs(bar->fill().height() - barHeightPx / 2) <= 1);
        QVERIFY(qAbs(bar->fill().bottom() + 1 - (qRound(120 / 15.0) + barHeightPx)) <= 1);
        QVERIFY(qAbs(bar->fill().left() - qRound(40 / 15.0)) <= 1);
        QCOMPARE(bar->fillColour(), QColor(128, 128, 255));
        QVERIFY(f.ui().meters[0].lblValue->isVisibleTo(&f.window));
        QVERIFY(f.ui().meters[3].lblMax->isVisibleTo(&f.window));
        const MeterBar* flowBar = f.ui().meters[3].fraColumn;
        QVERIFY(qAbs(flowBar->fill().height() - barHeightPx) <= 1);
        QVERIFY(flowBar->fillColour() != QColor(128, 128, 255));

        f.controller.StatusTick();
        f.controller.StatusTick();
        QCOMPARE(f.session.Connection.ReplyCountdown, int16_t{0});

        level.Shown = false; // a column switched off loses its bar and labels
        f.controller.StatusTick();
        QVERIFY(bar->fill().isEmpty());
        QVERIFY(!f.ui().meters[0].lblValue->isVisibleTo(&f.window));
    }

    void readsSettingsAtStartAndWritesThemAtClose()
    {
        MainWindowRig f;
        f.store.setValue(kApp, kSection, QStringLiteral("DirectPort"), QStringLiteral("COM9"));
        f.store.setValue(kApp, kSection, QStringLiteral("ModemNumber0"), QStringLiteral("555-0100"));
        f.store.writtenKeys.clear();
        f.startUp(QString(), QString());
        QCOMPARE(f.session.User.DirectPort, QStringLiteral("COM9"));
        QCOMPARE(f.session.User.DirectBaud, QStringLiteral("38400"));
        QCOMPARE(f.session.User.CurrentModemNumber, QStringLiteral("555-0100"));
        QVERIFY(f.store.writtenKeys.isEmpty());

        f.session.User.DirectBaud = QStringLiteral("9600");
        QVERIFY(f.session.Link.OpenPort(1, QStringLiteral("38400,N,8,1")));
        QVERIFY(f.fakePort.dtr);
        f.window.close();
        f.window.close();
        QCOMPARE(f.store.writtenKeys.size(), 15); // once
        QCOMPARE(f.store.writtenKeys.first(), QStringLiteral("DirectPort"));
        QCOMPARE(f.store.writtenKeys.last(), QStringLiteral("LastFile3"));
        QCOMPARE(f.store.value(kApp, kSection, QStringLiteral("DirectBaud"), QString()), QStringLiteral("9600"));
        QVERIFY(!f.fakePort.isOpen());
        QVERIFY(!f.fakePort.dtr); // dropped first: a modem hangs up

        // The next run starts from what this one stored.
        MainWindowRig next;
        next.store.values = f.store.values;
        next.startUp(QString(), QString());
        QCOMPARE(next.session.User.DirectBaud, QStringLiteral("9600"));
        QCOMPARE(next.session.User.DirectPort, QStringLiteral("COM9"));
    }

    void exitWritesNothing()
    {
        MainWindowRig f;
        f.startUp(QString(), QString());
        f.session.User.DirectBaud = QStringLiteral("9600");
        QSignalSpy exits(&f.controller, &MainController::exitRequested);
        f.ui().mnuExit->trigger();
        QCOMPARE(exits.size(), 1);
        QVERIFY(f.store.writtenKeys.isEmpty());
    }

    // The manual found at start-up opens while it is there; when no browser
    // opens it, the user learns where it is. A manual that appears later is
    // not the one found at start-up.
    void helpOpensTheManual_data()
    {
        QTest::addColumn<bool>("presentAtStart");
        QTest::addColumn<bool>("presentNow");
        QTest::addColumn<bool>("browserOpens");
        QTest::addColumn<int>("opened");
        QTest::addColumn<bool>("told");
        QTest::newRow("opens") << true << true << true << 1 << false;
        QTest::newRow("no browser") << true << true << false << 1 << true;
        QTest::newRow("gone since start-up") << true << false << true << 0 << false;
        QTest::newRow("none at start-up") << false << true << true << 0 << false;
    }
    void helpOpensTheManual()
    {
        QFETCH(bool, presentAtStart);
        QFETCH(bool, presentNow);
        QFETCH(bool, browserOpens);
        QFETCH(int, opened);
        QFETCH(bool, told);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("manual")));
        QFile manual(ManualPath(folder.path()));
        QVERIFY(!presentAtStart || manual.open(QIODevice::WriteOnly));
        manual.close();
        MainWindowRig f;
        f.help.opens = browserOpens;
        f.startUp(QString(), folder.path());
        QVERIFY(presentNow ? manual.open(QIODevice::WriteOnly) : manual.remove());
        manual.close();
        f.ui().mnuLaunchHelp->trigger();
        QCOMPARE(f.help.opened.size(), opened);
        QCOMPARE(f.prompter.messages.size(), told ? 1 : 0);
        if (told) {
            QCOMPARE(f.prompter.messages[0].title, QStringLiteral("Help"));
            QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Warning);
            QVERIFY(f.prompter.messages[0].text.endsWith(QDir::toNativeSeparators(manual.fileName())));
        }
    }

    void aboutShowsTheCaptionAndCloses_data()
    {
        QTest::addColumn<int>("key"); // 0: a click on OK
        QTest::newRow("OK") << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Enter presses OK") << int(Qt::Key_Return);
    }
    void aboutShowsTheCaptionAndCloses()
    {
        QFETCH(int, key);
        MainWindowRig f;
        f.startUp(QString(), QString());
        QString shownVersion;
        bool closed = false;
        QPoint textTops; // of the version and the notice, in hundredths of the picture's height
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(about);
            QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
            shownVersion = about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
            const int pictureHeight = about->findChild<QLabel*>(QStringLiteral("Picture1"))->height();
            textTops = QPoint(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->y(),
                              about->findChild<QLabel*>(QStringLiteral("lblNotice"))->y())
                * 100 / pictureHeight;
            if (key != 0) {
                QTest::keyClick(about, Qt::Key(key));
            } else if (auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"))) {
                QTest::mouseClick(ok, Qt::LeftButton);
            }
            closed = !about->isVisible();
            if (!closed) {
                about->reject();
            }
        });
        f.ui().mnuAbout->trigger();
        QCOMPARE(shownVersion, QStringLiteral("Brevel Flow Monitor v2.3.2"));
        QCOMPARE(textTops, QPoint(65, 80));
        QVERIFY(closed);
    }
};

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void connectReadsSettingsAndOneSample()
    {
        LoggerRig f;
        f.engine.setLiveAnalogCount(0, 32768);
        f.engine.setLiveAnalogCount(1, 16384);
        f.engine.setLivePulseCount(0, 7);
        QVERIFY(f.connect());
        QVERIFY(f.prompter.messages.isEmpty());
        QVERIFY(!f.session.Connection.Busy);
        QCOMPARE(f.session.Window.SampleCount, int16_t{1});
        // Factory scaling: channel 1 Feet 0-100 and channel 2 Temp C 0-100
        // over 0-65535, two decimals; pulses count 1 each.
        QCOMPARE(f.ui().meters[0].lblValue->text(), QStringLiteral("50.00"));
        QCOMPARE(f.ui().meters[1].lblValue->text(), QStringLiteral("25.00"));
        QCOMPARE(f.ui().meters[0].lblUnits->text(), QStringLiteral("Feet"));
        QCOMPARE(f.ui().meters[0].lblMax->text(), QStringLiteral("100.00"));
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("7 Pulses"));
        QCOMPARE(f.ui().meters[0].lblHistory->text(), QStringLiteral("\r\n\r\n\r\n"));
        QCOMPARE(f.ui().lblWarmup->text(), QStringLiteral("3 sec"));

        f.controller.StatusTick();
        QCOMPARE(f.ui().lblCommStatus->text(), QStringLiteral("Connected"));
        QCOMPARE(f.ui().lblCommStatus->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(f.ui().cmdConnect->text(), QStringLiteral("Disconnect"));
        QCOMPARE(f.ui().lblLoggerName->text(), QStringLiteral("Brevel Logger"));
        QVERIFY(f.ui().cmdGetSettings->isEnabled());
        QVERIFY(f.ui().mnuDisconnect->isEnabled());
        QVERIFY(!f.ui().mnuConnect->isEnabled());
        QVERIFY(f.ui().chkSampleContinuously->isEnabled());
        QVERIFY(f.ui().meters[0].lblValue->isVisible());
        QVERIFY(!f.ui().meters[0].fraColumn->fill().isEmpty());

        // A second Get Sample pushes the first reading down into the history.
        f.engine.setLiveAnalogCount(0, 0);
        f.ui().cmdGetSettings->click();
        QCOMPARE(f.ui().meters[0].lblValue->text(), QStringLiteral("0.00"));
        QCOMPARE(f.ui().meters[0].lblHistory->text(), QStringLiteral("50.00\r\n\r\n\r\n"));
    }

    void disconnectClearsTheLoggerTexts()
    {
        LoggerRig f;
        QVERIFY(f.connect());
        f.controller.StatusTick();
        f.ui().cmdConnect->click(); // no window: a disconnect
        QVERIFY(!f.session.Connection.Connected);
        QVERIFY(!f.port.isOpen());
        QVERIFY(f.ui().lblWarmup->text().isEmpty());
        f.controller.StatusTick();
        QCOMPARE(f.ui().lblCommStatus->text(), QStringLiteral("Not Connected"));
        QVERIFY(f.ui().lblLoggerName->text().isEmpty());
        QVERIFY(!f.ui().cmdGetSettings->isEnabled());
        QVERIFY(f.ui().meters[0].fraColumn->fill().isEmpty());
        QVERIFY(f.connect()); // and back again
    }

    // A connection that cannot go on ends with the port closed, the line
    // free and the one message that says why.
    void refusedConnectionsLeaveThePortClosed_data()
    {
        QTest::addColumn<int>("analogChannels");
        QTest::addColumn<bool>("initialised");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("cablePulled");
        QTest::addColumn<QString>("title");
        QTest::addColumn<PromptIcon>("icon");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("two analog channels") << 2 << true << "" << false << "Wrong Logger Type" << PromptIcon::Error
                                             << "Error: The Brevel Flow Monitor software only works correctly\r\n";
        QTest::newRow("memory never initialised, Cancel")
            << 3 << false << "" << false << "Initialization Required" << PromptIcon::Warning
            << "Warning: the flash memory has not been programmed.";
        QTest::newRow("-i asks for a valid memory, Cancel")
            << 3 << true << "-i" << false << "Initialization Required" << PromptIcon::Warning << "Warning: ";
        QTest::newRow("port will not open")
            << 3 << true << "" << true << "Connect Error" << PromptIcon::Warning
            << "Error opening port.  If this port exists, it \r\nmay be in use by another application.";
    }
    void refusedConnectionsLeaveThePortClosed()
    {
        QFETCH(int, analogChannels);
        QFETCH(bool, initialised);
        QFETCH(QString, commandLine);
        QFETCH(bool, cablePulled);
        QFETCH(QString, title);
        QFETCH(PromptIcon, icon);
        QFETCH(QString, textStart);
        LoggerOptions options;
        options.AnalogChannels = analogChannels;
        options.Initialised = initialised;
        LoggerRig f(options, commandLine);
        if (cablePulled) {
            f.port.pullCable();
        }
        f.prompter.answers = {PromptAnswer::Cancel};
        QVERIFY(!f.connect());
        QCOMPARE(f.titles(), QStringList{title});
        QCOMPARE(f.prompter.messages[0].icon, icon);
        QVERIFY2(f.prompter.messages[0].text.startsWith(textStart), qPrintable(f.prompter.messages[0].text));
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.session.Connection.Busy);
        QCOMPARE(f.device.requests(0x06), 0); // nothing was initialised
    }

    void noSampleReplyShowsNoSample()
    {
        LoggerOptions options;
        options.NoSamples = true;
        LoggerRig f(options);
        QVERIFY(f.connect());
        QCOMPARE(f.ui().meters[0].lblValue->text(), QStringLiteral("No sample"));
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("no sample"));
        QCOMPARE(f.session.Meters[0].Value, 0.0); // the bar drops to EU low
    }

    void continuousSamplingDisablesTheActions()
    {
        LoggerRig f;
        QVERIFY(f.connect());
        f.controller.StatusTick();
        f.ui().mnuSampleContinuously->trigger();
        QVERIFY(f.ui().chkSampleContinuously->isChecked());
        f.controller.StatusTick();
        QVERIFY(f.session.Window.SamplingContinuously);
        QVERIFY(!f.ui().cmdConnect->isEnabled());
        QVERIFY(!f.ui().cmdGetSettings->isEnabled());
        QVERIFY(!f.ui().mnuDisconnect->isEnabled());
        QVERIFY(f.ui().chkSampleContinuously->isEnabled());
        QVERIFY(f.ui().mnuSampleContinuously->isEnabled());

        // One sample a second: a start and a read every ten ticks.
        f.ticks.runFreely(false);
        const int16_t before = f.session.Window.SampleCount;
        const int reads = f.device.requests(0x0A);
        const int starts = f.device.requests(0x09);
        f.ticks.step(20);
        QCOMPARE(f.device.requests(0x0A), reads + 2);
        QCOMPARE(f.device.requests(0x09), starts + 2);
        QCOMPARE(f.session.Window.SampleCount, int16_t(before + 2));
        QVERIFY(!f.session.Connection.Busy); // between exchanges the line is free

        f.ui().chkSampleContinuously->click();
        f.ticks.step(1);
        QVERIFY(!f.session.Window.SamplingContinuously && !f.session.Connection.Busy);
        QVERIFY(f.ui().cmdGetSettings->isEnabled());
        QVERIFY(f.ui().cmdConnect->isEnabled());
        f.ticks.step(10);
        QCOMPARE(f.device.requests(0x0A), reads + 2);
    }

    void clicksDuringAWaitStartNoSecondExchange()
    {
        LoggerRig f;
        QVERIFY(f.connect());
        const int settingsReads = f.device.requests(0x08);
        int nestedClicks = 0;
        // While Get Sample waits for its sample, the user clicks everything.
        QObject::connect(&f.ticks, &TickSource::ticked, [&] {
            if (!f.session.Connection.Busy) {
                return;
            }
            ++nestedClicks;
            f.ui().cmdGetSettings->click();
            f.ui().cmdConnect->click();
            f.ui().mnuResetPulseAccs->trigger();
            f.ui().mnuClearHistory->trigger();
        });
        f.ui().cmdGetSettings->click();
        QVERIFY(nestedClicks > 0);
        QCOMPARE(f.device.requests(0x08), settingsReads + 3); // the one read, in three blocks
        QCOMPARE(f.device.requests(0x0E), 0);
        QCOMPARE(f.device.requests(0x04), 0);
        QVERIFY(f.session.Connection.Connected);
        QVERIFY(f.prompter.messages.isEmpty());
    }

    // A logger that keeps silent on the sample commands: Get Sample still
    // gives up after 2.5 s (25 status ticks), however long the sample
    // exchanges wait meanwhile.
    void getSampleGivesUpAfterTwoAndAHalfSeconds_data()
    {
        QTest::addColumn<QList<uint8_t>>("muted");
        QTest::newRow("read-sample ignored") << QList<uint8_t>{0x0A};
        QTest::newRow("start- and read-sample ignored") << QList<uint8_t>{0x09, 0x0A};
    }
    void getSampleGivesUpAfterTwoAndAHalfSeconds()
    {
        QFETCH(QList<uint8_t>, muted);
        LoggerOptions options;
        options.MutedCommands = muted;
        LoggerRig f(options);
        QVERIFY(f.connect());
        const int16_t count = f.session.Window.SampleCount;
        int ticks = 0; // status ticks while Get Sample waits for its sample
        QObject::connect(&f.ticks, &TickSource::ticked, [&](TickSource::Tick tick) {
            ticks += tick == TickSource::Tick::Status && f.session.Window.AwaitingSample ? 1 : 0;
        });
        f.ui().cmdGetSettings->click();
        QVERIFY2(ticks >= 24 && ticks <= 26, qPrintable(QString::number(ticks)));
        QCOMPARE(f.session.Window.SampleCount, count);
        QCOMPARE(f.ui().lblWarmup->text(), QStringLiteral("3 sec")); // the settings were read
        QVERIFY(!f.session.Connection.Busy);
        QVERIFY(!f.session.Window.AwaitingSample);
    }

    void synchronizeTimeAsksFirst()
    {
        LoggerRig f;
        f.prompter.answers = {PromptAnswer::Yes};
        f.controller.SynchronizeTime(); // disconnected: the question, nothing else
        QCOMPARE(f.titles(), QStringList{"Synchronize Time"});
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Information);
        QCOMPARE(f.prompter.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f.device.requests(0x01), 0);

        QVERIFY(f.connect());
        f.prompter.answers = {PromptAnswer::No};
        f.ui().cmdSynchronizeTime->click();
        QCOMPARE(f.device.requests(0x01), 0);
        f.prompter.answers = {PromptAnswer::Yes};
        f.ui().cmdSynchronizeTime->click();
        QCOMPARE(f.device.requests(0x01), 1);
        QVERIFY(!f.session.Status.LoggerTimeText.isEmpty());
        QVERIFY(!f.session.Connection.Busy);
    }

    void clearHistoryOnlyOnYes()
    {
        LoggerRig f;
        QVERIFY(f.connect());
        f.prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
        f.ui().cmdClearMemory->click();
        QCOMPARE(f.device.requests(0x04), 0);
        f.ui().cmdClearMemory->click();
        QCOMPARE(f.device.requests(0x04), 1);
        QCOMPARE(f.prompter.messages[1].text, QStringLiteral("Are you sure you want to erase the history buffer?"));
        QCOMPARE(f.prompter.messages[1].icon, PromptIcon::Question);
        QCOMPARE(f.prompter.messages[1].defaultAnswer, PromptAnswer::No);
        QVERIFY(!f.session.Connection.Busy);
    }

    void resetPulseAccumulatorsZeroesThePulseLabels()
    {
        LoggerRig f;
        f.engine.setLivePulseCount(0, 40);
        QVERIFY(f.connect());
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("40 Pulses"));
        f.ui().mnuResetPulseAccs->trigger();
        QCOMPARE(f.device.requests(0x0E), 1);
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("0 Pulses"));
    }

    // The user closes the main window in the middle of an exchange: the
    // program ends at once, the settings are written once and the port is
    // closed with DTR dropped.
    void closingEndsTheProgramAtAnyMoment_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::newRow("waiting for the sample") << "sample";
        QTest::newRow("reading the settings") << "settings";
        QTest::newRow("downloading the history") << "download";
        QTest::newRow("waking the logger") << "wake";
    }
    void closingEndsTheProgramAtAnyMoment()
    {
        QFETCH(QString, moment);
        LoggerOptions options;
        options.AnswersWakeUp = moment != u"wake";
        options.HistoryRecords = 2000;
        // The program's own event loop and timers: time as the user lives it.
        LoggerRig f(options, QString(), moment == u"settings" ? 200 : 0, MainWindowRig::Time::Real);
        QPushButton* start = f.ui().cmdConnect;
        if (moment != u"wake") {
            QVERIFY(f.connect());
            start = moment == u"download" ? f.ui().cmdGetHistoryData : f.ui().cmdGetSettings;
        }
        const int settingsReads = f.device.requests(0x08);
        const auto busy = [&] {
            const QWidget* modal = QApplication::activeModalWidget();
            if (moment == u"sample") {
                return f.session.Window.AwaitingSample;
            }
            if (moment == u"settings") {
                return f.device.requests(0x08) > settingsReads;
            }
            if (moment == u"download") {
                return modal && modal->objectName() == u"frmGetHistoryData" && f.session.History.count() > 0;
            }
            const QLabel* progress = modal ? modal->findChild<QLabel*>(QStringLiteral("lblProgress")) : nullptr;
            return progress && progress->text().contains(u"attempt");
        };
        f.store.writtenKeys.clear();
        const auto click = [&] {
            if (moment == u"wake") {
                f.pressInNextModal(QStringLiteral("cmdConnect"));
            }
            start->click();
        };
        const qint64 ms = CloseWhile(f.window, click, busy,
                                     [&] { f.session.Window.AwaitingSample = false; });
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(f.store.writtenKeys.size(), 15);
        QVERIFY(!f.port.isOpen());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // While an attempt runs the window says what it is doing, on the screen
    // at once; Cancel ends the attempt after the current wake-up try.
    void connectionWindowShowsProgressAndCancelStopsIt()
    {
        LoggerOptions options;
        options.AnswersWakeUp = false;
        LoggerRig f(options, QString(), 0, MainWindowRig::Time::Real); // the user watches the attempts
        PaintedTexts shown;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            if (auto* progress = window->findChild<QLabel*>(QStringLiteral("lblProgress"))) {
                shown.watch(progress);
            }
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdConnect")), Qt::LeftButton);
        });
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            QWidget* window = QApplication::activeModalWidget();
            auto* progress = window ? window->findChild<QLabel*>(QStringLiteral("lblProgress")) : nullptr;
            if (progress && progress->text().contains(u"attempt 2 of 10")) {
                QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            }
        });
        watcher.start(10);
        QElapsedTimer clock;
        clock.start();
        f.ui().cmdConnect->click();
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!f.session.Connection.Connected);
        QCOMPARE(shown.texts, QStringList({"Opening COM1\u2026", "Waking the logger (attempt 1 of 10)\u2026",
                                           "Waking the logger (attempt 2 of 10)\u2026", "Cancelling\u2026"}));
        QCOMPARE(f.titles(), QStringList{"Connect Error"});
        QVERIFY(!f.port.isOpen());
    }

    // The window offers what the user chose last time, and a logger started
    // while it is open as soon as the port list is opened.
    void portListLooksAgainWhenOpened()
    {
        LoggerRig f;
        f.session.User.DirectBaud = QStringLiteral("57600");
        f.session.User.ModemBaud = QStringLiteral("19200");
        QStringList bauds;
        QTemporaryDir devices;
        QFile device(devices.filePath(QStringLiteral("pts9")));
        QVERIFY(device.open(QIODevice::WriteOnly));
        QStringList before;
        QStringList after;
        QString chosenBefore;
        QString chosenAfter;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            auto* ports = window->findChild<QComboBox*>(QStringLiteral("cmbPort1"));
            for (int i = 0; i < ports->count(); ++i) {
                before << ports->itemText(i);
            }
            chosenBefore = ports->currentText();
            for (const char* name : {"cmbBaud1", "cmbBaud2"}) {
                bauds << window->findChild<QComboBox*>(QLatin1String(name))->currentText();
            }
            QFile::link(device.fileName(), f.virtualLoggers.filePath(QStringLiteral("late")));
            QTest::mouseClick(ports, Qt::LeftButton);
            for (int i = 0; i < ports->count(); ++i) {
                after << ports->itemText(i);
            }
            chosenAfter = ports->currentText();
            ports->hidePopup();
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        f.ui().cmdConnect->click();
        QVERIFY(before.filter(QStringLiteral("Virtual logger late")).isEmpty());
        QCOMPARE(after.filter(QStringLiteral("Virtual logger late")).size(), 1);
        QCOMPARE(chosenAfter, chosenBefore);
        QCOMPARE(bauds, QStringList({"57600", "19200"}));
    }
};

BREVEL_TEST(MainWindowTest)
BREVEL_TEST(ConnectionTest)
#include "tst_mainwindow.moc"
