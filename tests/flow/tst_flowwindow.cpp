#include "FakeHelpViewer.h"
#include "FakeSerialPort.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "link/PortDirectory.h"
#include "core/NumberText.h"
#include "flow/FlowFromLevel.h"

#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A main window over test doubles, started in the folder that holds the
// installed catalogues and flow table.
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

    Fixture()
    {
        controller.StartUp(QString(), QStringLiteral(BREVEL_SOURCE_DIR "/data"));
        controller.Ticks().stop(TickSource::Tick::Status);
        controller.Ticks().stop(TickSource::Tick::Sample);
        LoggerSettings& s = session.Logger;
        s.EngUnits[0] = QStringLiteral("Feet");
        s.RawScaleUpper[0] = 65535;
        s.UpperLimit[0] = 3.0;
        s.ManningsN = 0.013;
        s.ManningsS = 0.5;
        s.ManningsSType = 1;
        s.ManningsD = 18.0;
        s.ManningsDType = 1;
        s.LevelOffset = 0.0;
        s.LevelOffsetType = 1;
        s.FlowTop = 100.0;
        s.VelTop = 10.0;
        s.FlumeTag = QStringLiteral("PF1FT");
        s.WeirTag = QStringLiteral("V90KS");
        s.TablePath = QStringLiteral("vnotch90.tbl");
    }
    const MainWidgets& ui() const { return window.ui(); }

    // Settings read from a connected logger, as the connection workflow does it.
    void connectWithMode(uint8_t mode)
    {
        session.Logger.FlowMode = mode;
        controller.SelectProgrammedFlowSource();
        session.Connection.Connected = true;
        controller.StatusTick();
    }
};

bool Shown(const QWidget* widget)
{
    return !widget->isHidden();
}

} // namespace

class FlowWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpLoadsTheCatalogues()
    {
        Fixture f;
        QVERIFY(f.session.Catalogues.FlumeCatalogue.size() > 20);
        QVERIFY(f.session.Catalogues.WeirCatalogue.size() > 20);
        QVERIFY(!Shown(f.ui().lblFlowMode));
        QVERIFY(!f.ui().meters[3].fraMeter->isEnabled());
    }

    void flowModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("modeText");
        QTest::addColumn<QString>("ratingCaption");
        QTest::addColumn<QString>("ratingName");
        QTest::addColumn<double>("level");
        QTest::newRow("no flow") << 0 << " No Flow Calculation" << "" << "" << 1.0;
        QTest::newRow("Manning's") << 1 << " Manning's Equation" << "" << "" << 0.75;
        QTest::newRow("flume") << 2 << " Flume" << "Flume Name:" << " Parshall flume, 1 ft throat" << 1.0;
        QTest::newRow("weir") << 3 << " Weir" << "Weir Name:" << " V-notch weir, 90 deg (Kindsvater-Shen)" << 1.0;
        QTest::newRow("table") << 4 << " Table Method" << "Table Name:" << " vnotch90.tbl" << 1.0;
    }
    void flowModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, modeText);
        QFETCH(QString, ratingCaption);
        QFETCH(QString, ratingName);
        QFETCH(double, level);
        Fixture f;
        f.connectWithMode(static_cast<uint8_t>(mode));
        QVERIFY(f.prompter.messages.isEmpty());
        const MainWidgets& ui = f.ui();
        QVERIFY(Shown(ui.lblFlowMode2) && Shown(ui.lblFlowMode));
        QCOMPARE(ui.lblFlowMode->text(), modeText);
        QCOMPARE(Shown(ui.lblFWT) && Shown(ui.lblFWT2), !ratingCaption.isEmpty());
        if (!ratingCaption.isEmpty()) {
            QCOMPARE(ui.lblFWT->text(), ratingCaption);
            QCOMPARE(ui.lblFWT2->text(), ratingName);
        }
        QCOMPARE(Shown(ui.lblOffset2), mode != 0);
        if (mode != 0) {
            QCOMPARE(ui.lblOffset2->text(), QStringLiteral(" 0 Inches"));
        }
        QCOMPARE(Shown(ui.lblPipeDiameter2) && Shown(ui.lblSlope2) && Shown(ui.lblRoughness2), mode == 1);
        if (mode == 1) {
            QCOMPARE(ui.lblPipeDiameter2->text(), QStringLiteral(" 18 Inches"));
            QCOMPARE(ui.lblSlope2->text(), QStringLiteral(" 0.5 %"));
            QCOMPARE(ui.lblRoughness2->text(), QStringLiteral(" 0.013"));
        }
        QCOMPARE(ui.meters[3].fraMeter->isEnabled(), mode != 0);
        QCOMPARE(ui.meters[4].fraMeter->isEnabled(), mode == 1);
        QCOMPARE(f.session.Meters[3].Shown, mode != 0);
        QCOMPARE(f.session.Meters[4].Shown, mode == 1);
        if (mode != 0) {
            QCOMPARE(ui.meters[3].lblUnits->text(), QStringLiteral("CFS"));
            QCOMPARE(ui.meters[3].lblMax->text(), QStringLiteral("100.00"));
        }
        if (mode == 1) {
            QCOMPARE(ui.meters[4].lblUnits->text(), QStringLiteral("FPS"));
            QCOMPARE(ui.meters[4].lblMax->text(), QStringLiteral("10.00"));
        }

        // A live sample with the level, then one without a level.
        f.controller.ShowFlowReadings({level, -1.0, -1.0, -1.0, -1.0});
        double velocity = 0.0;
        const double flow = ComputeFlow(f.session.Logger, f.session.Rating, level, velocity);
        if (mode == 0) {
            QVERIFY(ui.meters[3].lblValue->text().isEmpty());
            return;
        }
        QVERIFY(flow > 0.1);
        QCOMPARE(ui.meters[3].lblValue->text(), FormatDecimals(flow, f.session.FlowDisplay.FlowDecimals));
        QCOMPARE(f.session.Meters[3].Value, flow);
        QCOMPARE(ui.meters[4].lblValue->text(),
                 mode == 1 ? FormatDecimals(velocity, f.session.FlowDisplay.VelocityDecimals) : QString());
        f.controller.ShowFlowReadings({-1.0, level, -1.0, -1.0, -1.0});
        QVERIFY(ui.meters[3].lblValue->text().isEmpty());
        QCOMPARE(ui.meters[3].lblHistory->text(),
                 FormatDecimals(flow, f.session.FlowDisplay.FlowDecimals) + QStringLiteral("\r\n\r\n\r\n"));
        QCOMPARE(f.session.Meters[3].Value, 0.0);
    }

    void flowDecimalsFollowTheRange()
    {
        Fixture f;
        f.connectWithMode(2);
        // Up to about 21 cfs over 3 feet, in steps well below a thousandth.
        QCOMPARE(f.session.FlowDisplay.FlowDecimals, int16_t{3});
        f.controller.ShowFlowReadings({1.0, -1.0, -1.0, -1.0, -1.0});
        QCOMPARE(f.ui().meters[3].lblValue->text(), QStringLiteral("4.000"));
    }

    void unknownTagIsReported()
    {
        Fixture f;
        f.session.Logger.FlumeTag = QStringLiteral("NOSUCH");
        f.connectWithMode(2);
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.front().title, QStringLiteral("Bad Flume Tag"));
        QCOMPARE(f.ui().lblFWT2->text(), QStringLiteral(" - None -"));
        f.controller.ShowFlowReadings({1.0, -1.0, -1.0, -1.0, -1.0});
        QCOMPARE(f.session.Meters[3].Value, 0.0);
    }

    void unitsThatAllowNoFlow()
    {
        Fixture f;
        f.session.Logger.EngUnits[0] = QStringLiteral("Volts");
        f.connectWithMode(1);
        const MainWidgets& ui = f.ui();
        QVERIFY(Shown(ui.lblFlowMode));
        QVERIFY(!ui.meters[3].fraMeter->isEnabled());
        QVERIFY(!ui.meters[4].fraMeter->isEnabled());
        QVERIFY(!ui.meters[0].lblUnits->toolTip().isEmpty());
        QCOMPARE(ui.meters[0].lblUnits->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }

    void disconnectingHidesTheFlowDisplay()
    {
        Fixture f;
        f.connectWithMode(1);
        f.session.Connection.Connected = false;
        f.session.Connection.Busy = true; // not while an exchange runs
        f.controller.StatusTick();
        QVERIFY(Shown(f.ui().lblFlowMode));
        f.session.Connection.Busy = false;
        f.controller.StatusTick();
        const MainWidgets& ui = f.ui();
        for (const QLabel* label : {ui.lblFlowMode, ui.lblFlowMode2, ui.lblOffset, ui.lblOffset2, ui.lblPipeDiameter,
                                    ui.lblSlope2, ui.lblRoughness, ui.lblFWT2}) {
            QVERIFY2(!Shown(label), qPrintable(label->objectName()));
        }
        QVERIFY(!ui.meters[3].fraMeter->isEnabled());
        QVERIFY(!f.session.Meters[3].Shown && !f.session.Meters[4].Shown);
        QVERIFY(Shown(ui.fraFlowMode));
    }
};

BREVEL_TEST(FlowWindowTest)
#include "tst_flowwindow.moc"
