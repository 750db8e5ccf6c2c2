#include "FakeHelpViewer.h"
#include "LoggerEngine.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "config/DefaultSettings.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/ReplyTicker.h"

#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The main window over a virtual logger: the settings are programmed into
// the logger and read back through the link, as a connection does.
struct Rig {
    LoggerEngine engine{LoggerOptions{}};
    SimSerialPort port{engine};
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
    LoggerLink& link = session.Link;
    LoggerCommands& commands = session.Commands;
    ReplyTicker ticker{link, 4};

    Rig()
    {
        controller.StartUp(QString(), QStringLiteral(BREVEL_SOURCE_DIR "/data"));
        controller.Ticks().stop(TickSource::Tick::Status);
        controller.Ticks().stop(TickSource::Tick::Sample);
        session.Connection.ReplyTicks = 3;
        ticker.start();
    }

    bool programAndRead(uint8_t mode)
    {
        if (!link.OpenPort(1, QStringLiteral("9600,N,8,1")) || !commands.WakeLogger([] { return false; })) {
            return false;
        }
        ApplyDefaultSettings(session.Logger, session.Rating);
        LoggerSettings& s = session.Logger;
        s.FlowMode = mode;
        s.FlowUnits = 1;
        s.FlumeTag = QStringLiteral("PF3IN");
        s.WeirTag = QStringLiteral("V90TBL");
        s.TablePath = QStringLiteral("vnotch90.tbl");
        s.LevelOffset = 2.5;
        s.LevelOffsetType = 3;
        if (!commands.ProgramSettings()) {
            return false;
        }
        ApplyDefaultSettings(session.Logger, session.Rating); // what is shown must come from the logger
        session.Logger.FlowMode = 0;
        session.Connection.Connected = true;
        LoggerCommands::SettingsReadSteps steps;
        steps.settingsDecoded = [this] {
            controller.SelectProgrammedFlowSource();
            controller.RefreshFlowDisplay();
        };
        return commands.ReadSettings(steps);
    }
};

} // namespace

class FlowAgainstSimTest : public QObject {
    Q_OBJECT
private slots:
    void settingsReadFromTheLoggerShowTheirFlowMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("modeText");
        QTest::addColumn<QString>("ratingName");
        QTest::newRow("no flow") << 0 << " No Flow Calculation" << "";
        QTest::newRow("Manning's") << 1 << " Manning's Equation" << "";
        QTest::newRow("flume") << 2 << " Flume" << " Parshall flume, 3 in throat";
        QTest::newRow("weir") << 3 << " Weir" << " V-notch weir, 90 deg (table)";
        QTest::newRow("table") << 4 << " Table Method" << " vnotch90.tbl";
    }
    void settingsReadFromTheLoggerShowTheirFlowMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, modeText);
        QFETCH(QString, ratingName);
        Rig rig;
        QVERIFY(rig.programAndRead(static_cast<uint8_t>(mode)));
        QCOMPARE(int(rig.session.Logger.FlowMode), mode);
        QVERIFY(rig.prompter.messages.isEmpty());
        const MainWidgets& ui = rig.window.ui();
        QCOMPARE(ui.lblFlowMode->text(), modeText);
        QCOMPARE(!ui.lblFWT2->isHidden(), !ratingName.isEmpty());
        if (!ratingName.isEmpty()) {
            QCOMPARE(ui.lblFWT2->text(), ratingName);
        }
        QCOMPARE(!ui.lblOffset2->isHidden(), mode != 0);
        if (mode != 0) {
            QCOMPARE(ui.lblOffset2->text(), QStringLiteral(" 2.5 cm"));
        }
        QCOMPARE(!ui.lblSlope2->isHidden(), mode == 1);
        if (mode == 1) { // the factory pipe
            QCOMPARE(ui.lblPipeDiameter2->text(), QStringLiteral(" 1 Foot"));
            QCOMPARE(ui.lblSlope2->text(), QStringLiteral(" 1 %"));
            QCOMPARE(ui.lblRoughness2->text(), QStringLiteral(" 0.014"));
        }
        QCOMPARE(ui.meters[3].fraMeter->isEnabled(), mode != 0);
        QCOMPARE(ui.meters[4].fraMeter->isEnabled(), mode == 1);
        if (mode != 0) {
            QCOMPARE(ui.meters[3].lblUnits->text(), QStringLiteral("GPM"));
        }
        // A level of a foot gives flow by the rating read.
        rig.controller.ShowFlowReadings({1.0, -1.0, -1.0, -1.0, -1.0});
        QCOMPARE(rig.session.Meters[3].Value > 0.0, mode != 0);
    }

    void aTagMissingFromTheCatalogueIsReported()
    {
        Rig rig;
        QVERIFY(rig.link.OpenPort(1, QStringLiteral("9600,N,8,1")));
        QVERIFY(rig.commands.WakeLogger([] { return false; }));
        ApplyDefaultSettings(rig.session.Logger, rig.session.Rating);
        rig.session.Logger.FlowMode = 3;
        rig.session.Logger.WeirTag = QStringLiteral("GONE");
        QVERIFY(rig.commands.ProgramSettings());
        LoggerCommands::SettingsReadSteps steps;
        steps.settingsDecoded = [&rig] { rig.controller.SelectProgrammedFlowSource(); };
        QVERIFY(rig.commands.ReadSettings(steps));
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages.front().title, QStringLiteral("Bad Flume Tag"));
        QVERIFY(rig.prompter.messages.front().text.contains(QStringLiteral("\"GONE\"")));
    }
};

BREVEL_TEST(FlowAgainstSimTest)
#include "tst_flowagainstsim.moc"
