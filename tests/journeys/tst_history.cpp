#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

int RecordsShown(QWidget* progress)
{
    return user::find<QLabel>(progress, "lblGetHistoryData")->text().section(' ', 0, 0).toInt();
}

// The header line and the first row of the table as the export writes them.
QStringList TableLines(QWidget* history)
{
    const QAbstractItemModel* model = user::find<QTableView>(history, "lvwHistory")->model();
    QString header = QStringLiteral("Date, Time");
    QString row = model->index(0, 0).data().toString().replace(QLatin1Char(' '), QStringLiteral(", "));
    for (int column = 1; column < model->columnCount(); ++column) {
        header += QStringLiteral(", ") + model->headerData(column, Qt::Horizontal).toString();
        row += QStringLiteral(", ") + model->index(0, column).data().toString();
    }
    return {header, row};
}

} // namespace

// Downloading a long history: stopped with Escape, then whole, packed and
// saved to a file through the file dialog.
class HistoryJourney : public QObject {
    Q_OBJECT
private slots:
    void stopsDownloadsPacksAndSaves()
    {
        Journey journey({"--records", "20000", "--record-period", "60"});
        MainWindow& window = journey.window();
        const QString csv = journey.files.filePath("site 4.csv"); // typed without its extension
        int arrived = 0;
        int packed = 0;
        QStringList tableLines;
        journey.connectWindow();
        journey.connected();
        journey.then("Get History", [&] { user::click(user::find(&window, "cmdGetHistoryData")); });
        // Stopped early: the rest of the download takes over a thousand more blocks.
        journey.when("the first hundred records", [] {
            QWidget* progress = user::modal("frmGetHistoryData");
            return progress && RecordsShown(progress) >= 100;
        }, [] { user::key(user::modal("frmGetHistoryData"), Qt::Key_Escape); });
        journey.when("the message that the download stopped", [] { return user::box("Get History Data"); }, [&] {
            const QString text = user::box("Get History Data")->text();
            QVERIFY2(text.startsWith("Retrieval cancelled by user. Received ") && text.endsWith(" records of 20000 records."),
                     qPrintable(text));
            arrived = text.section(' ', 5, 5).toInt();
            QVERIFY2(arrived >= 100 && arrived < 20000, qPrintable(text));
            user::click(user::box("Get History Data")->button(QMessageBox::Ok));
        });
        journey.then("the table of the records that arrived", [&] {
            QWidget* history = user::modal("frmHistory");
            QVERIFY(history);
            QCOMPARE(user::find<QLabel>(history, "lblNumRecords")->text().toInt(), arrived);
            user::click(user::find(history, "cmdOK"));
        });
        journey.then("Get History again", [&] { user::click(user::find(&window, "cmdGetHistoryData")); });
        journey.when("the whole history", [] {
            QWidget* progress = user::modal("frmGetHistoryData");
            return progress && user::find(progress, "cmdOkay")->isEnabled();
        }, [] {
            QWidget* progress = user::modal("frmGetHistoryData");
            QCOMPARE(user::find<QLabel>(progress, "lblGetHistoryData")->text(), "Upload complete: 20000 records uploaded.");
            user::click(user::find(progress, "cmdOkay"));
        }, 30);
        journey.then("Pack", [] {
            QWidget* history = user::modal("frmHistory");
            QVERIFY(history);
            QCOMPARE(user::find<QLabel>(history, "lblNumRecords")->text(), "20000");
            user::click(user::find(history, "cmdPack"));
        });
        journey.answer("Pack History Data", QMessageBox::Yes, "Select YES to proceed.");
        journey.then("Save to File", [&] {
            QWidget* history = user::modal("frmHistory");
            packed = user::find<QLabel>(history, "lblNumRecords")->text().toInt();
            QVERIFY2(packed > 0 && packed < 20000, qPrintable(QString::number(packed)));
            tableLines = TableLines(history);
            user::click(user::find(history, "cmdSave"));
        });
        journey.when("the save dialog", [] { return user::modal("Save As"); }, [&] { user::fileName("Save As", csv.chopped(4)); });
        journey.then("back to the main window", [] { user::click(user::find(user::modal("frmHistory"), "cmdOK")); });
        journey.closeMainWindow();
        if (!journey.run(40)) {
            return;
        }

        const QStringList lines = FileLines(csv);
        QCOMPARE(lines.size(), packed + 2);
        const QStringList first = lines[0].split(',');
        QCOMPARE(first.value(0), "Brevel Logger");
        // The factory settings compute flow by Manning's equation.
        QCOMPARE(first.mid(3), QStringList({"Offset=" + journey.label("lblOffset2"), "Mannings",
                                            "Roughness=" + journey.label("lblRoughness2"),
                                            "Slope=" + journey.label("lblSlope2"),
                                            "Diameter=" + journey.label("lblPipeDiameter2")}));
        QCOMPARE(lines.mid(1, 2), tableLines);
        for (int i = 3; i < lines.size(); ++i) {
            QVERIFY2(lines[i].section(", ", 2) != lines[i - 1].section(", ", 2), qPrintable(lines[i]));
        }
    }
};

BREVEL_TEST(HistoryJourney)
#include "tst_history.moc"
