#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"
#include "graph/ui/GraphWidget.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
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
// crosshair against the table, exported as a picture of a chosen size; then
// saved to the archive twice, the second time adding nothing, and opened
// from the archive into the same table and graph.
class GraphJourney : public QObject {
    Q_OBJECT
private slots:
    void graphsAndArchivesTheHistory()
    {
        QTemporaryDir archiveFolder;
        qputenv("BREVEL_ARCHIVE", "sqlite:" + archiveFolder.filePath("team.sqlite").toLocal8Bit());
        Journey journey({"--records", "20000", "--record-period", "60"});
        qunsetenv("BREVEL_ARCHIVE");
        MainWindow& window = journey.window();
        const QString picture = journey.files.filePath("storm.png");
        const QAbstractItemModel* table = nullptr;
        double wholeSpan = 0;
        QString loggerName;
        // The first and last rows as the download's table showed them.
        QStringList shownRows;
        const auto rowTexts = [](const QAbstractItemModel& model, int row) {
            QStringList texts;
            for (int column = 0; column < model.columnCount(); ++column) {
                texts << model.index(row, column).data().toString();
            }
            return texts.join(QLatin1Char('|'));
        };
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
            shownRows = QStringList{rowTexts(*table, 0), rowTexts(*table, 19999)};
            loggerName = user::find<QLabel>(history, "lblLoggerName")->text();
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
        const auto saveToArchive = [] { user::click(user::find(user::modal("frmHistory"), "cmdArchive")); };
        journey.then("Save to Archive", saveToArchive);
        journey.answer("Save to Archive", QMessageBox::Ok, "Saved 20000 new records to the archive sqlite:");
        journey.then("Save to Archive again", saveToArchive);
        journey.answer("Save to Archive", QMessageBox::Ok, "(20000 were already there).");
        journey.then("back to the main window", [] { user::click(user::find(user::modal("frmHistory"), "cmdOK")); });
        journey.then("File > Open Archive", [&] { user::menu(&window, "&File", "&Open Archive..."); });
        journey.when("the archive's sites", [] { return user::modal("frmOpenArchive"); }, [&] {
            QWidget* chooser = user::modal("frmOpenArchive");
            QCOMPARE(user::find<QTreeWidget>(chooser, "lvwSites")->topLevelItemCount(), 1);
            QCOMPARE(user::find<QTreeWidget>(chooser, "lvwSites")->currentItem()->text(0), loggerName);
            user::click(user::find(chooser, "cmdOpen"));
        });
        journey.when("the site's records", [] { return user::modal("frmHistory"); }, [&] {
            QWidget* history = user::modal("frmHistory");
            const QAbstractItemModel& archived = *user::find<QTableView>(history, "lvwHistory")->model();
            QCOMPARE(archived.rowCount(), 20000);
            QCOMPARE((QStringList{rowTexts(archived, 0), rowTexts(archived, 19999)}), shownRows);
            QCOMPARE(user::find<QLabel>(history, "lblLoggerName")->text(), loggerName);
            QVERIFY(!user::find(history, "cmdArchive")->isVisible());
            user::click(user::find(history, "cmdGraph"));
        });
        journey.when("the site's graph", [] { return Graph() != nullptr && Graph()->window()->isActiveWindow(); },
                     [&] {
                         QCOMPARE(Graph()->view().span(), wholeSpan);
                         user::click(user::find(user::modal("frmHistoryGraph"), "cmdClose"));
                     });
        journey.then("close the site's table", [] { user::key(user::modal("frmHistory"), Qt::Key_Escape); });
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
