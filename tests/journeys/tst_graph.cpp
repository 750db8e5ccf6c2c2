#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"
#include "graph/ui/GraphWidget.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

namespace {

GraphWidget* Graph()
{
    QWidget* window = user::modal("frmHistoryGraph");
    return window ? window->findChild<GraphWidget*>() : nullptr;
}

// One notch of the wheel over the middle of the graph, as a mouse sends it.
void WheelUp(GraphWidget* graph)
{
    const QPointF middle(graph->width() / 2.0, graph->height() / 2.0);
    QWheelEvent wheel(middle, graph->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(graph, &wheel);
}

// The row of the table whose time stamp the readout starts with, and that
// row's channel 1 value; {-1, ""} when no row has that time.
std::pair<int, QString> TableRowAt(const QAbstractItemModel& table, const QString& readout)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        if (readout.startsWith(table.index(row, 0).data().toString() + QLatin1Char(' '))) {
            return {row, table.index(row, 1).data().toString()};
        }
    }
    return {-1, QString()};
}

} // namespace

// A downloaded history seen as a graph: zoomed with the wheel, read with the
// crosshair against the table, exported as a picture of a chosen size.
class GraphJourney : public QObject {
    Q_OBJECT
private slots:
    void zoomsReadsAndExportsTheHistoryGraph()
    {
        Journey journey({"--records", "20000", "--record-period", "60"});
        MainWindow& window = journey.window();
        const QString picture = journey.files.filePath("storm.png");
        const QAbstractItemModel* table = nullptr;
        double wholeSpan = 0;
        journey.connectWindow();
        journey.connected();
        journey.then("Get History", [&] { user::click(user::find(&window, "cmdGetHistoryData")); });
        journey.when("the whole history", [] {
            QWidget* progress = user::modal("frmGetHistoryData");
            return progress && user::find(progress, "cmdOkay")->isEnabled();
        }, [] { user::click(user::find(user::modal("frmGetHistoryData"), "cmdOkay")); }, 30);
        journey.then("Graph", [&] {
            QWidget* history = user::modal("frmHistory");
            QVERIFY(history);
            table = user::find<QTableView>(history, "lvwHistory")->model();
            QCOMPARE(table->rowCount(), 20000);
            user::click(user::find(history, "cmdGraph"));
        });
        journey.when("the graph", [] { return Graph() != nullptr && Graph()->window()->isActiveWindow(); }, [&] {
            GraphWidget* graph = Graph();
            wholeSpan = graph->view().span();
            QCOMPARE(wholeSpan, 19999 * 60.0);
            WheelUp(graph);
            WheelUp(graph);
            const double zoomed = graph->view().span();
            QVERIFY2(zoomed < wholeSpan * 0.9, qPrintable(QString::number(zoomed)));
            // The mouse two thirds across the plot, at the height of its middle.
            const QPointF point(graph->width() * 2 / 3, graph->height() / 2);
            QMouseEvent move(QEvent::MouseMove, point, graph->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(graph, &move);
            const QString readout = user::find<QLabel>(user::modal("frmHistoryGraph"), "lblReadout")->text();
            const auto [row, level] = TableRowAt(*table, readout);
            QVERIFY2(row > 0 && row < 19999, qPrintable(readout));
            QCOMPARE(row, graph->crosshairSample());
            QVERIFY2(readout.contains(QStringLiteral(": ") + level + QLatin1Char(' ')), qPrintable(readout + " / " + level));

            user::type(user::find(user::modal("frmHistoryGraph"), "exportWidth"), "640");
            user::type(user::find(user::modal("frmHistoryGraph"), "exportHeight"), "480");
            user::click(user::find(user::modal("frmHistoryGraph"), "cmdExportPng"));
        });
        journey.when("the export dialog", [] { return user::modal("Export Graph"); },
                     [&] { user::fileName("Export Graph", picture.chopped(4)); });
        journey.then("Whole Record, then close the graph", [&] {
            QWidget* graphWindow = user::modal("frmHistoryGraph");
            QVERIFY(graphWindow);
            user::click(user::find(graphWindow, "cmdWholeRecord"));
            QCOMPARE(Graph()->view().span(), wholeSpan);
            user::click(user::find(graphWindow, "cmdClose"));
        });
        journey.then("back to the main window", [] { user::click(user::find(user::modal("frmHistory"), "cmdOK")); });
        journey.closeMainWindow();
        if (!journey.run(50)) {
            return;
        }
        const QImage image(picture);
        QCOMPARE(image.size(), QSize(640, 480));
    }
};

BREVEL_TEST(GraphJourney)
#include "tst_graph.moc"
