#include "../history/HistoryFixtures.h"
#include "MainWindowRig.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "Snapshot.h"
#include "TestRegistry.h"
#include "app/GraphLaunch.h"
#include "app/LiveReadings.h"
#include "graph/HistoryGraphSeries.h"
#include "graph/ui/GraphWidget.h"
#include "graph/ui/HistoryGraphWindow.h"
#include "graph/ui/LiveGraphWindow.h"
#include "history/ui/HistoryWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <ranges>
#include <set>

namespace {

// Two days of a creek every 15 minutes, an hour missing; channel 1 has one place, so that 2.35 (raw 235) shows
// as 2.4 where a float would give 2.3. Levels hold for a few records, so packing drops some.
struct GraphRig {
    explicit GraphRig(bool pack)
    {
        settings.DecPlaces[0] = 1;
        records.Reset(5);
        for (int i = 0; i < 192; ++i) {
            if (i >= 100 && i < 104) {
                continue;
            }
            const uint32_t time = PackTime(74, 15 + i / 96, i % 96 / 4, i % 4 * 15);
            AppendRecord(records, time, {i == 77 ? 235 : 200 + 40 * (i / 6 % 5), 1500 + i / 6 * 10, 500, i / 6, 2});
        }
        table.Fill(pack);
    }
    HistoryGraphContext context() { return {table, QStringLiteral("Creek 4"), folder.dir.path(), prompter, dialogs}; }
    HistoryWindowContext tableContext(OpenHistoryGraph openGraph = {})
    {
        return {std::make_unique<HistoryTable>(records, settings, HistoryTestFlow()), 0, {}, QStringLiteral("Creek 4"),
                QString(), true, prompter, dialogs, cursor, std::move(openGraph)};
    }

    LoggerSettings settings = HistoryTestSettings();
    HistoryRecords records;
    HistoryTable table{records, settings, HistoryTestFlow()};
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    ScratchFolder folder;
    NullBusyCursor cursor;
};

void Wheel(QWidget* widget, QPointF at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class GraphWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void windowsLookAsKept_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("history graph") << "history-graph";
        QTest::newRow("history graph, channel 2 hidden") << "history-graph-channel-2-hidden";
        QTest::newRow("history table, nothing to open a graph: no Graph button") << "history-table";
    }
    void windowsLookAsKept()
    {
        QFETCH(QString, window);
        GraphRig rig(false);
        const std::unique_ptr<QWidget> shown = window.startsWith(u"history-graph")
            ? std::unique_ptr<QWidget>(std::make_unique<HistoryGraphWindow>(rig.context()))
            : std::make_unique<HistoryWindow>(rig.tableContext());
        shown->resize(900, 600);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        if (window.endsWith(u"hidden")) {
            QTest::mouseClick(shown->findChild<QCheckBox*>("chkStrip1"), Qt::LeftButton, {}, QPoint(5, 5));
        } else if (auto* graph = shown->findChild<GraphWidget*>()) { // the crosshair on a record, and its readout
            QTest::mouseMove(graph, graph->rect().center());
        }
        BREVEL_VERIFY_SNAPSHOT(*shown, window);
    }

    // Packed, the graph draws each row's record, the one before the next (the value holds), the last, the gap's sides.
    void packedTableGraphsWhereValuesChange()
    {
        GraphRig rig(false);
        std::vector<int> drawn;
        HistoryWindow window(rig.tableContext([&](const RecordTable& table, const QString& name, QWidget* parent) {
            QCOMPARE(name, QStringLiteral("Creek 4"));
            QCOMPARE(parent, &window);
            const GraphSeries series = BuildHistoryGraphSeries(table);
            for (int sample = 0; sample < int(series.Times.size()); ++sample) {
                drawn.push_back(HistoryGraphRecord(series, sample));
            }
        }));
        window.show();
        rig.prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(window.findChild<QPushButton*>("cmdPack"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdGraph"), Qt::LeftButton);
        const RecordTable& table = window.Table();
        std::set<int> expected{99, 100, table.RecordCount() - 1};
        for (int row = 0; row < table.RowCount(); ++row) {
            expected.insert(table.RecordOf(row));
            expected.insert(std::max(0, table.RecordOf(row) - 1));
        }
        QCOMPARE(drawn, std::vector<int>(expected.begin(), expected.end()));
        QVERIFY(int(drawn.size()) < table.RecordCount());
    }

    void crosshairReadsTheTable_data()
    {
        QTest::addColumn<bool>("pack");
        QTest::addColumn<int>("record");
        QTest::newRow("first record") << false << 0;
        QTest::newRow("after the gap") << false << 100;
        QTest::newRow("packed, the tie a float rounds the other way") << true << 77;
    }
    void crosshairReadsTheTable()
    {
        QFETCH(bool, pack);
        QFETCH(int, record);
        GraphRig rig(pack);
        HistoryGraphWindow window(rig.context());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GraphWidget* graph = window.Graph();
        const GraphSeries& series = window.Series();
        const int row =
            *std::ranges::find_if(std::views::iota(0), [&](int r) { return rig.table.RecordOf(r) == record; });
        const int sample =
            *std::ranges::find_if(std::views::iota(0), [&](int s) { return HistoryGraphRecord(series, s) == record; });
        const GraphPlot plot = graph->CurrentPlot();
        const QPoint at(qRound(plot.XAt(series.Times[size_t(sample)])), qRound(plot.PlotsRect().center().y()));
        QTest::mouseMove(graph, at);
        const GraphReadout readout = graph->Readout();
        QCOMPARE(readout.Time, rig.table.TimestampText(row));
        QCOMPARE(readout.Values.size(), series.Strips.size());
        for (size_t k = 0; k < series.Strips.size(); ++k) {
            QCOMPARE(readout.Values[k], rig.table.CellText(row, int(k) + 1) + u' ' + series.Strips[k].Unit);
        }
    }

    void zoomPanAndExport()
    {
        GraphRig rig(false);
        HistoryGraphWindow window(rig.context());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GraphWidget* graph = window.Graph();
        const GraphView& view = graph->View();
        const double whole = view.Span();
        const QRectF plots = graph->CurrentPlot().PlotsRect();
        const QPointF at(plots.left() + plots.width() * 0.3, plots.top() + 20);
        const double anchor = graph->CurrentPlot().TimeAt(at.x());

        Wheel(graph, at, 120); // zooms in around the time under the mouse
        QCOMPARE(view.Span(), whole * 0.8);
        QVERIFY(std::fabs(graph->CurrentPlot().TimeAt(at.x()) - anchor) < 1e-6 * whole);

        const int strip = graph->CurrentPlot().StripAt(at);
        const auto [low, high] = graph->CurrentPlot().ValueRange(strip);
        Wheel(graph, at, 240, Qt::ShiftModifier); // the values of that strip only
        QCOMPARE(view.Span(), whole * 0.8);
        const auto [newLow, newHigh] = graph->CurrentPlot().ValueRange(strip);
        QVERIFY(std::fabs((newHigh - newLow) - (high - low) * 0.64) < 1e-9 * (high - low));
        QVERIFY(!view.ValueRange(strip + 1));

        const QPoint from(qRound(plots.left() + plots.width() / 4), qRound(at.y()));
        const QPoint to(qRound(plots.left() + plots.width() / 2), qRound(at.y()) + 2);
        const double boxStart = graph->CurrentPlot().TimeAt(from.x());
        const double boxEnd = graph->CurrentPlot().TimeAt(to.x());
        QTest::mousePress(graph, Qt::LeftButton, {}, from);
        QTest::mouseMove(graph, to);
        QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
        QCOMPARE(view.Start(), boxStart);
        QCOMPARE(view.End(), boxEnd);

        QTest::mousePress(graph, Qt::RightButton, {}, to);
        QTest::mouseMove(graph, from);
        QTest::mouseRelease(graph, Qt::RightButton, {}, from);
        const double pan = (to.x() - from.x()) / plots.width() * (boxEnd - boxStart);
        QVERIFY(std::fabs(view.Start() - (boxStart + pan)) < 1e-6 * whole);
        QVERIFY(std::fabs(view.Span() - (boxEnd - boxStart)) < 1e-6 * whole);

        QTest::keyClick(graph, Qt::Key_Home);
        QCOMPARE(view.Span(), whole);
        QVERIFY(!view.ValueRange(strip));
        QTest::keyClick(graph, Qt::Key_Plus);
        QCOMPARE(view.Span(), whole / 2);
        QTest::mouseDClick(graph, Qt::LeftButton, {}, from);
        QCOMPARE(view.Span(), whole);

        // Exports at the chosen size (typing it and the picture's size are the history journey's).
        window.findChild<QSpinBox*>("exportWidth")->setValue(800);
        window.findChild<QSpinBox*>("exportHeight")->setValue(500);
        const QString svg = rig.folder.path(QStringLiteral("view.svg"));
        rig.dialogs.choices = {svg, rig.folder.path(QStringLiteral("missing/view.png"))};
        QTest::mouseClick(window.findChild<QPushButton*>("cmdExportSvg"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdExportPng"), Qt::LeftButton);
        QCOMPARE(rig.dialogs.saveRequests.size(), 2);
        QVERIFY(rig.dialogs.saveRequests[0].ConfirmOverwrite && rig.dialogs.saveRequests[1].ConfirmOverwrite);
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.prompter.messages[0].text.startsWith(QStringLiteral("Error: ")));
        QVERIFY(rig.folder.read(QStringLiteral("view.svg")).contains("viewBox=\"0 0 800 500\""));
    }

    // A missing channel is a gap rather than the bottom of its bar.
    void liveGraphPlotsTheMeterValues()
    {
        MainWindowRig rig;
        rig.controller.StartUp(QString(), QString());
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

        const GraphSeries& series = live->Series();
        const std::vector<QString> titles{"Channel 1 (Feet)", "Channel 2 (degC)", "Channel 3 (%)", "Flow (CFS)",
                                          "Velocity (FPS)"};
        QCOMPARE(series.Strips.size(), titles.size());
        for (size_t k = 0; k < titles.size(); ++k) {
            QCOMPARE(series.Strips[k].Title, titles[k]);
            const QString meter = rig.window.findChild<QLabel*>(QStringLiteral("lblValue%1").arg(k))->text();
            QCOMPARE(StripValueText(series, 1, int(k)), k == 1 ? QString() : meter);
        }
        // A box over the graph for each strip, beside Pause.
        const QList<QCheckBox*> boxes = live->findChildren<QCheckBox*>();
        QCOMPARE(std::count_if(boxes.begin(), boxes.end(), [](QCheckBox* box) { return box->isVisible(); }),
                 qsizetype(titles.size() + 1));

        // Scrolls over the chosen span, ten minutes at first, unless paused.
        const double first = series.Times.back() + 1;
        for (int t = 0; t < 900; ++t) {
            live->AddReading(first + t, std::vector<double>(titles.size(), t % 50));
        }
        const GraphView& view = live->Graph()->View();
        QCOMPARE(view.End(), first + 899);
        QCOMPARE(view.Span(), 600.0);
        QTest::keyClick(live->findChild<QComboBox*>("cmbSpan"), Qt::Key_Up);
        QCOMPARE(view.Span(), 300.0);
        QTest::mouseClick(live->findChild<QCheckBox*>("chkPause"), Qt::LeftButton, {}, QPoint(5, 5));
        live->AddReading(first + 900, std::vector<double>(titles.size(), 1.0));
        QCOMPARE(view.End(), first + 899);
        QTest::mouseClick(live->findChild<QCheckBox*>("chkPause"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(view.End(), first + 900);
        QCOMPARE(live->Series().Count(), 903);
    }
};

BREVEL_TEST(GraphWindowsTest)
#include "tst_graphwindows.moc"
