#include "../history/HistoryFixtures.h"
#include "MainWindowRig.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "PackTime.h"
#include "TestRegistry.h"
#include "app/GraphLaunch.h"
#include "app/LiveReadings.h"
#include "graph/HistoryGraphSeries.h"
#include "graph/ui/GraphWidget.h"
#include "graph/ui/HistoryGraphWindow.h"
#include "graph/ui/LiveGraphWindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two days of a creek every 15 minutes, with an hour missing; channel 1
// with one place, so that a level of 2.35 (raw 235) shows as 2.4 where a
// float would give 2.3. Levels hold for a few records, so packing drops some.
struct GraphRig {
    explicit GraphRig(bool pack)
    {
        settings.DecPlaces[0] = 1;
        records.reset(5);
        for (int i = 0; i < 192; ++i) {
            if (i >= 100 && i < 104) {
                continue;
            }
            const uint32_t time = PackTime(74, 15 + i / 96, i % 96 / 4, i % 4 * 15);
            AppendRecord(records, time, {i == 77 ? 235 : 200 + 40 * (i / 6 % 5), 1500 + i / 6 * 10, 500, i / 6, 2});
        }
        table.fill(pack);
    }
    HistoryGraphContext context() { return {table, QStringLiteral("Creek 4"), folder.path(), prompter, dialogs}; }

    LoggerSettings settings = HistoryTestSettings();
    HistoryRecords records;
    HistoryTable table{records, settings, HistoryTestFlow()};
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    QTemporaryDir folder;
};

void TypeInto(QSpinBox* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

} // namespace

class GraphWindowsTest : public QObject {
    Q_OBJECT
private slots:
    // The mouse over a record reads what the table shows for it, in every
    // strip, packed or not.
    void crosshairReadsTheTable_data()
    {
        QTest::addColumn<bool>("pack");
        QTest::addColumn<int>("record");
        QTest::newRow("the tie a float rounds the other way") << false << 77;
        QTest::newRow("after the gap") << false << 100;
        QTest::newRow("packed, the tie") << true << 77;
    }
    void crosshairReadsTheTable()
    {
        QFETCH(bool, pack);
        QFETCH(int, record);
        GraphRig rig(pack);
        HistoryGraphWindow window(rig.context());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GraphWidget* graph = window.graph();
        const GraphSeries& series = window.series();
        int row = 0;
        while (rig.table.recordOf(row) != record) {
            ++row;
        }
        int sample = 0;
        while (HistoryGraphRecord(series, sample) != record) {
            ++sample;
        }
        const GraphPlot plot = graph->currentPlot();
        const QPoint at(qRound(plot.xAt(series.times[size_t(sample)])), qRound(plot.plotsRect().center().y()));
        QTest::mouseMove(graph, at);
        QCOMPARE(graph->crosshairSample(), sample);
        const GraphReadout readout = graph->readout();
        QCOMPARE(readout.time, rig.table.timestampText(row));
        QCOMPARE(readout.values.size(), series.strips.size());
        for (size_t k = 0; k < series.strips.size(); ++k) {
            QCOMPARE(readout.values[k], rig.table.cellText(row, int(k) + 1) + u' ' + series.strips[k].unit);
        }
        QVERIFY(window.findChild<QLabel*>("lblReadout")->text().startsWith(readout.time));
    }

    void exportsAtTheChosenSize_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("written");
        QTest::newRow("svg") << "cmdExportSvg" << "view.svg" << true;
        QTest::newRow("no such folder") << "cmdExportPng" << "missing/view.png" << false;
    }
    void exportsAtTheChosenSize()
    {
        QFETCH(QString, button);
        QFETCH(QString, fileName);
        QFETCH(bool, written);
        GraphRig rig(true);
        HistoryGraphWindow window(rig.context());
        window.show();
        TypeInto(window.findChild<QSpinBox*>("exportWidth"), QStringLiteral("800"));
        TypeInto(window.findChild<QSpinBox*>("exportHeight"), QStringLiteral("500"));
        const QString path = rig.folder.filePath(fileName);
        rig.dialogs.choices = {path};
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(rig.dialogs.saveRequests.size(), 1);
        QVERIFY(rig.dialogs.saveRequests[0].confirmOverwrite);
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(rig.prompter.messages.size(), written ? 0 : 1);
        if (!written) {
            QVERIFY(rig.prompter.messages[0].text.startsWith(QStringLiteral("Error: ")));
        } else {
            QFile svg(path);
            QVERIFY(svg.open(QIODevice::ReadOnly));
            QVERIFY(svg.readAll().contains("viewBox=\"0 0 800 500\""));
        }
    }

    // Action > Live Graph plots what the meter columns show, a missing
    // channel as a gap rather than the bottom of its bar.
    void liveGraphPlotsTheMeterValues()
    {
        MainWindowRig rig;
        rig.controller.StartUp(QString(), QString());
        rig.controller.Ticks().stop(TickSource::Tick::Status);
        rig.controller.Ticks().stop(TickSource::Tick::Sample);
        InstallGraphs(rig.session, rig.controller, rig.window);
        LoggerSettings& settings = rig.session.Logger;
        settings = HistoryTestSettings();
        settings.EngUnits[0] = QStringLiteral("Feet");
        settings.ManningsN = 0.013;
        settings.ManningsS = 0.01;
        settings.ManningsD = 2.0;
        rig.session.Connection.Connected = true;
        rig.controller.ShowSettingsSummary();
        rig.window.findChild<QAction*>(QStringLiteral("mnuLiveGraph"))->trigger();
        auto* live = rig.window.findChild<LiveGraphWindow*>();
        QVERIFY(live && live->isVisible());

        LiveSample sample;
        sample.Values = {123, 1500, 777, 0, 0, 0, 0, 0, 4, 5};
        PushLiveSample(rig.session, sample);
        rig.controller.ShowLiveSamples();
        sample.Values[1] = -1;
        PushLiveSample(rig.session, sample);
        rig.controller.ShowLiveSamples();

        const GraphSeries& series = live->series();
        QCOMPARE(series.count(), 2);
        const std::vector<QString> titles{"Channel 1 (Feet)", "Channel 2 (degC)", "Channel 3 (%)", "Flow (CFS)",
                                          "Velocity (FPS)"};
        QCOMPARE(series.strips.size(), titles.size());
        for (size_t k = 0; k < titles.size(); ++k) {
            QCOMPARE(series.strips[k].title, titles[k]);
            const QString meter = rig.window.findChild<QLabel*>(QStringLiteral("lblValue%1").arg(k))->text();
            if (k == 1) {
                QCOMPARE(meter, QStringLiteral("No sample"));
                QVERIFY(StripValueText(series, 1, int(k)).isEmpty());
            } else {
                QCOMPARE(StripValueText(series, 1, int(k)), meter);
            }
        }
        QVERIFY(live->graph()->view().end() == series.times.back());
        QCOMPARE(live->graph()->view().span(), 600.0);
    }

};

BREVEL_TEST(GraphWindowsTest)
#include "tst_graphwindows.moc"
