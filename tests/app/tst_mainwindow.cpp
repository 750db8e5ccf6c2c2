#include "FakeHelpViewer.h"
#include "FakeSerialPort.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/MeterBar.h"
#include "app/Session.h"
#include "core/DataFolder.h"
#include "link/PortDirectory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// A main window over test doubles, started up the way main() does it.
struct Fixture {
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

    const MainWidgets& ui() const { return window.ui(); }
};

const QString kApp = QStringLiteral("Brevel Logger");
const QString kSection = QStringLiteral("Configuration");

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpLeavesTheWindowReadyToConnect()
    {
        Fixture f;
        f.controller.StartUp(QStringLiteral("-w 9"), QStringLiteral("/nonexistent"));
        const MainWidgets& ui = f.ui();
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Brevel Flow Monitor v2.3.2"));
        QVERIFY(!f.window.windowIcon().isNull());
        QCOMPARE(f.session.Options.ModemReplyTicks, int16_t{9});
        QVERIFY(!f.session.Window.Loading);
        QVERIFY(f.controller.StatusTimer().isActive());
        QVERIFY(f.controller.SampleTimer().isActive());
        QCOMPARE(f.controller.StatusTimer().interval(), 100);
        QCOMPARE(f.controller.SampleTimer().interval(), 100);
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
        Fixture f;
        f.controller.StartUp(QString(), QString());
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
        Fixture f;
        f.controller.StartUp(QString(), QString());
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
        Fixture f;
        f.controller.StartUp(QString(), QString());
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
        Fixture f;
        f.controller.StartUp(QString(), QString());
        f.controller.StatusTimer().stop();
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
        Fixture f;
        f.store.setValue(kApp, kSection, QStringLiteral("DirectPort"), QStringLiteral("COM9"));
        f.store.setValue(kApp, kSection, QStringLiteral("ModemNumber0"), QStringLiteral("555-0100"));
        f.store.writtenKeys.clear();
        f.controller.StartUp(QString(), QString());
        QCOMPARE(f.session.User.DirectPort, QStringLiteral("COM9"));
        QCOMPARE(f.session.User.DirectBaud, QStringLiteral("38400"));
        QCOMPARE(f.session.User.CurrentModemNumber, QStringLiteral("555-0100"));
        QVERIFY(f.store.writtenKeys.isEmpty());

        f.session.User.DirectBaud = QStringLiteral("9600");
        QVERIFY(f.session.Link.OpenPort(1, QStringLiteral("38400,N,8,1")));
        QVERIFY(f.port.dtr);
        f.window.close();
        f.window.close();
        QCOMPARE(f.store.writtenKeys.size(), 15); // once
        QCOMPARE(f.store.writtenKeys.first(), QStringLiteral("DirectPort"));
        QCOMPARE(f.store.writtenKeys.last(), QStringLiteral("LastFile3"));
        QCOMPARE(f.store.value(kApp, kSection, QStringLiteral("DirectBaud"), QString()), QStringLiteral("9600"));
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.port.dtr); // dropped first: a modem hangs up

        // The next run starts from what this one stored.
        Fixture next;
        next.store.values = f.store.values;
        next.controller.StartUp(QString(), QString());
        QCOMPARE(next.session.User.DirectBaud, QStringLiteral("9600"));
        QCOMPARE(next.session.User.DirectPort, QStringLiteral("COM9"));
    }

    void exitWritesNothing()
    {
        Fixture f;
        f.controller.StartUp(QString(), QString());
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
        Fixture f;
        f.help.opens = browserOpens;
        f.controller.StartUp(QString(), folder.path());
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
        QTest::addColumn<bool>("escape");
        QTest::newRow("OK") << false;
        QTest::newRow("Escape") << true;
    }
    void aboutShowsTheCaptionAndCloses()
    {
        QFETCH(bool, escape);
        Fixture f;
        f.controller.StartUp(QString(), QString());
        QString shownVersion;
        bool closed = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(about);
            QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
            shownVersion = about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
            if (escape) {
                QTest::keyClick(about, Qt::Key_Escape);
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
        QVERIFY(closed);
    }
};

BREVEL_TEST(MainWindowTest)
#include "tst_mainwindow.moc"
