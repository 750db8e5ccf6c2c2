#include "Journey.h"
#include "graph/ui/GraphWidget.h"

// A long history downloaded, stopped and whole, graphed, archived, packed, saved, opened again; closed mid-download.
class HistoryJourney : public QObject {
    Q_OBJECT
private slots:
    void downloadsGraphsArchivesPacksAndSaves()
    {
        QTemporaryDir archiveFolder;
        qputenv("BREVEL_ARCHIVE", "sqlite:" + archiveFolder.filePath("team.sqlite").toLocal8Bit());
        Journey journey({"--records", "20000", "--record-period", "60"});
        qunsetenv("BREVEL_ARCHIVE");
        MainWindow& window = journey.window();
        const auto getHistory = [&] { user::click(user::find(&window, "cmdGetHistoryData")); };
        const auto recordsShown = [] {
            QWidget* progress = user::modal("Get History Data"); // by the title the user sees
            return progress ? user::texts(progress, {"lblGetHistoryData"}).section(' ', 0, 0).toInt() : 0;
        };
        const auto rows = [] { // every row of the history table as shown
            const QAbstractItemModel& model = *user::find<QTableView>(user::modal("frmHistory"), "lvwHistory")->model();
            QStringList table;
            for (int row = 0; row < model.rowCount(); ++row) {
                QStringList texts;
                for (int column = 0; column < model.columnCount(); ++column) {
                    texts << model.index(row, column).data().toString();
                }
                table << texts.join(QStringLiteral(", "));
            }
            return table;
        };
        const auto graph = []() -> GraphWidget* {
            QWidget* window = user::modal("frmHistoryGraph");
            return window && window->isActiveWindow() ? window->findChild<GraphWidget*>() : nullptr;
        };
        QString loggerName;
        QStringList shownRows; // the download's table
        journey.connectWindow();
        journey.connected();
        journey.then("Get History", getHistory);
        // Stopped early: the rest of the download takes over a thousand more blocks.
        journey.when("the first hundred records", [&] { return recordsShown() >= 100; },
                     [] { QTest::keyClick(user::modal("frmGetHistoryData"), Qt::Key_Escape); });
        journey.answer("Get History Data", QMessageBox::Ok, "Retrieval cancelled by user.");
        journey.then("the table of the records that arrived", [] { user::press("frmHistory", "cmdOK"); });
        journey.then("Get History again", getHistory);
        journey.when("the whole history", [] {
            QWidget* progress = user::modal("frmGetHistoryData");
            return progress && user::find(progress, "cmdOkay")->isEnabled();
        }, [] { user::press("frmGetHistoryData", "cmdOkay"); }, 30);
        journey.then("Graph", [&] {
            shownRows = rows();
            loggerName = user::texts(user::modal("frmHistory"), {"lblLoggerName"});
            user::press("frmHistory", "cmdGraph");
        });
        journey.when("the graph", graph, [&] {
            GraphWidget* plot = graph();
            QCOMPARE(plot->View().Span(), 19999 * 60.0);
            const QPointF middle(plot->width() / 2.0, plot->height() / 2.0); // a wheel notch over the middle
            QWheelEvent wheel(middle, plot->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot, &wheel);
            user::type(user::find(user::modal("frmHistoryGraph"), "exportWidth"), "640");
            user::type(user::find(user::modal("frmHistoryGraph"), "exportHeight"), "480");
            user::press("frmHistoryGraph", "cmdExportPng");
        });
        journey.fileDialog("Export Graph", journey.files.path("storm")); // the extensions added
        journey.then("Whole Record, then close the graph", [] {
            user::press("frmHistoryGraph", "cmdWholeRecord");
            user::press("frmHistoryGraph", "cmdClose");
        });
        for (const char* saying : {"Saved 20000 new records to the archive sqlite:", "(20000 were already there)."}) {
            journey.then("Save to Archive", [] { user::press("frmHistory", "cmdArchive"); });
            journey.answer("Save to Archive", QMessageBox::Ok, saying);
        }
        journey.then("Pack", [] { user::press("frmHistory", "cmdPack"); });
        journey.answer("Pack History Data", QMessageBox::Yes, "Select YES to proceed.");
        journey.then("Save to File", [] { user::press("frmHistory", "cmdSave"); });
        journey.fileDialog("Save As", journey.files.path("site 4"));
        journey.then("back to the main window", [] { user::press("frmHistory", "cmdOK"); });
        journey.then("File > Open Archive", [&] { user::menu(&window, "&File", "&Open Archive..."); });
        journey.when("the archive's sites", [] { return user::modal("frmOpenArchive"); }, [&] {
            auto* sites = user::find<QTreeWidget>(user::modal("frmOpenArchive"), "lvwSites");
            QCOMPARE(sites->topLevelItemCount(), 1);
            QCOMPARE(sites->currentItem()->text(0), loggerName);
            user::press("frmOpenArchive", "cmdOpen");
        });
        journey.when("the site's records", [] { return user::modal("frmHistory"); }, [&] {
            QCOMPARE(rows(), shownRows);
            QCOMPARE(user::texts(user::modal("frmHistory"), {"lblLoggerName"}), loggerName);
            QVERIFY(!user::find(user::modal("frmHistory"), "cmdArchive")->isVisible());
            user::press("frmHistory", "cmdGraph");
        });
        journey.when("the site's graph", graph, [] { user::press("frmHistoryGraph", "cmdClose"); });
        journey.then("close the site's table", [] { QTest::keyClick(user::modal("frmHistory"), Qt::Key_Escape); });
        journey.then("Get History once more", getHistory);
        journey.when("the first records", [&] { return recordsShown() > 0; });
        journey.closeMainWindow("close the main window during the download");
        journey.run(60);
        QCOMPARE(QImage(journey.files.path("storm.png")).size(), QSize(640, 480));
        QVERIFY(QFile::exists(journey.files.path("site 4.csv")));
    }
};

BREVEL_TEST(HistoryJourney)
#include "tst_history.moc"
