#include "HistoryFixtures.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "history/ui/HistoryWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using Records = std::vector<std::pair<uint32_t, std::vector<int>>>; // packed time and values

Q_DECLARE_METATYPE(LoggerSettings)
Q_DECLARE_METATYPE(Records)

class HistoryTableTest : public QObject {
    Q_OBJECT
private slots:
    // The table's columns follow the enable flags and the flow method, its cells are in engineering units, and
    // packing drops a row whose texts all equal the row kept before it; the file holds what the table shows.
    void tableAsWritten_data()
    {
        QTest::addColumn<LoggerSettings>("settings");
        QTest::addColumn<bool>("unitsInvalid");
        QTest::addColumn<Records>("records");
        QTest::addColumn<bool>("pack");
        QTest::addColumn<QStringList>("lines"); // after the first
        const auto row = [](const char* name, const auto& change, const Records& records, const QStringList& lines,
                            bool pack = false, bool unitsInvalid = false) {
            LoggerSettings settings = HistoryTestSettings();
            change(settings);
            QTest::newRow(name) << settings << unitsInvalid << records << pack << lines;
        };
        const Records one{{PackTime(74, 15, 9, 42, 7), {125, 1000, 333, 7, 65535}}};
        // Level 1.25 ft: flow 3.75 and velocity 0.3125 with channel 1's two places; a comma in a unit quotes it.
        row("channel 2 off, m/s", [](auto& s) {
            s.AnalogEnable[1] = 0;
            s.DigitalEnable = {0, 0};
            s.VelUnits = 1;
            s.EngUnits[2] = QStringLiteral("deg, \"C\"");
        }, one, {"Date, Time, ft,\"deg, \"\"C\"\"\", Flow (cfs), Vel (MPS)",
                 "15.03.06, 09:42:07, 1.25, 33.3, 3.75, 0.31"});
        row("flume: no velocity", [](auto& s) { s.FlowMode = 2; }, one,
            {"Date, Time, ft, degC, %, in, gal, Flow (cfs)", "15.03.06, 09:42:07, 1.25, 0.0, 33.3, 3.5, 65535, 3.75"});
        row("channel 1 off: no flow", [](auto& s) { s.AnalogEnable[0] = 0; }, one,
            {"Date, Time, degC, %, in, gal", "15.03.06, 09:42:07, 0.0, 33.3, 3.5, 65535"});
        row("unit not a level, pulse 2 only", [](auto& s) { s.DigitalEnable = {0, 1}; }, one,
            {"Date, Time, ft, degC, %, gal", "15.03.06, 09:42:07, 1.25, 0.0, 33.3, 65535"}, false, true);
        // At raw 2000, five places: a zero raw span gives the EU low limit (channel 2), a zero EU span the high one.
        row("zero spans", [](auto& s) {
            s.FlowMode = 0;
            s.DigitalEnable = {0, 0};
            s.RawScaleUpper[1] = 0;
            s.UpperLimit[2] = 0.00005;
            s.DecPlaces = {2, 5, 5, 0, 0, 0, 0, 0, 1, 0};
        }, {{0, {0, 2000, 2000, 0, 0}}}, {"Date, Time, ft, degC, %", "31.12.99, 00:00:00, 0.00, -20.00000, 0.00005"});
        // Packing compares texts: 0.02 degC more still reads "-20.0", a change in channel 8 alone keeps a row.
        const auto at = [](int minute, int level, int degC, int a8) {
            return std::pair{PackTime(74, 15, 0, minute), std::vector{level, degC, 0, 4, 5, 6, 7, a8, 1, 2}};
        };
        row("8 analog, 2 pulse and flow, packed", [](auto& s) {
            s.NumAnalogChannels = 8;
            s.AnalogEnable.fill(1);
            for (int c = 3; c < 8; ++c) {
                s.EngUnits[size_t(c)] = QStringLiteral("a%1").arg(c + 1);
                s.RawScaleUpper[size_t(c)] = 100;
                s.UpperLimit[size_t(c)] = 100;
            }
        }, {at(0, 100, 0, 8), at(1, 100, 0, 8), at(3, 100, 1, 8), at(4, 101, 1, 8), at(5, 100, 0, 8), at(6, 100, 0, 9)},
            {"Date, Time, ft, degC, %, a4, a5, a6, a7, a8, in, gal, Flow (cfs), Vel (FPS)",
             "15.03.06, 00:00:00, 1.00, -20.0, 0.0, 4, 5, 6, 7, 8, 0.5, 2, 3.00, 0.25",
             "15.03.06, 00:04:00, 1.01, -20.0, 0.0, 4, 5, 6, 7, 8, 0.5, 2, 3.03, 0.25",
             "15.03.06, 00:05:00, 1.00, -20.0, 0.0, 4, 5, 6, 7, 8, 0.5, 2, 3.00, 0.25",
             "15.03.06, 00:06:00, 1.00, -20.0, 0.0, 4, 5, 6, 7, 9, 0.5, 2, 3.00, 0.25"}, true);
    }
    void tableAsWritten()
    {
        QFETCH(LoggerSettings, settings);
        QFETCH(bool, unitsInvalid);
        QFETCH(Records, records);
        QFETCH(bool, pack);
        QFETCH(QStringList, lines);
        HistoryRecords history;
        history.Reset(int(records.front().second.size()));
        for (const auto& [time, values] : records) {
            AppendRecord(history, time, values);
        }
        HistoryFlowSource flow = HistoryTestFlow();
        flow.FlowUnitsInvalid = unitsInvalid;
        HistoryTable table(history, settings, flow, ShortDateFormat(QLocale(QStringLiteral("de_DE"))));
        // Packing again starts from the records.
        table.Fill(!pack);
        std::vector<int> filled;
        table.Fill(pack, [&](int value) { filled.push_back(value); });
        ScratchFolder folder;
        std::vector<int> written;
        QVERIFY(WriteHistoryCsv(folder.path("out.csv"), table, "first", [&](int row) { written.push_back(row); }));
        QCOMPARE(QString::fromUtf8(folder.read("out.csv")), (QStringList{"first"} + lines).join("\r\n") + "\r\n");
        QCOMPARE(filled.size(), pack ? records.size() : 1); // packing tells its progress record by record
        QCOMPARE(filled.back(), int(records.size()) - 1);
        QCOMPARE(written.size(), size_t(table.RowCount()));
        QCOMPARE(written.back(), table.RowCount());
    }

    void firstLineNamesTheFlowMethod_data()
    {
        QTest::addColumn<int>("flowMode");
        QTest::addColumn<QString>("rating");
        QTest::addColumn<QString>("tail");
        QTest::newRow("none") << 0 << "" << "";
        QTest::newRow("flume") << 2 << "Parshall 3 in" << ",Offset=0.1,Flume=Parshall 3 in";
        QTest::newRow("weir, a comma in its name") << 3 << "V-notch weir, 90 deg"
                                                   << ",Offset=0.1,\"Weir=V-notch weir, 90 deg\"";
        QTest::newRow("table, quotes in its name") << 4 << "Pond \"B\"" << ",Offset=0.1,\"Table=Pond \"\"B\"\"\"";
        QTest::newRow("unknown") << 9 << "" << ",Offset=0.1";
    }
    void firstLineNamesTheFlowMethod()
    {
        QFETCH(int, flowMode);
        QFETCH(QString, rating);
        QFETCH(QString, tail);
        const HistoryFlowDescription flow{"0.1", "n", "s", "d", rating};
        const QDateTime at(QDate(2006, 3, 5), QTime(9, 2, 59));
        QCOMPARE(HistoryExportFirstLine("Creek 4, upper", at, uint8_t(flowMode), flow, QLocale("en_US")),
                 "\"Creek 4, upper\",3/5/06,9:02:59 AM" + tail);
        QCOMPARE(DefaultExportFileName(at), QStringLiteral("2006-03-05-0902.csv"));
    }

    // Packing asks first, and again starts from the records. Cancel writes nothing; an unwritable file is not, and
    // the user is told. Line 1 has the time of writing, however long choosing took. Deleted shown, it asks no headers.
    void packAndSave()
    {
        const LoggerSettings settings = HistoryTestSettings();
        HistoryRecords records;
        records.Reset(5);
        for (int i = 0; i < 50; ++i) {
            // Levels change every tenth record only: packing leaves 5 rows.
            AppendRecord(records, PackTime(74, 15, 8 + i / 60, i % 60, 0), {100 + 10 * (i / 10), 2000, 500, 2, 1});
        }
        RecordingPrompter prompter;
        ScriptedFileDialogs dialogs;
        NullBusyCursor cursor;
        HistoryWindow window(HistoryWindowContext{
            std::make_unique<HistoryTable>(records, settings, HistoryTestFlow()), settings.FlowMode,
            HistoryFlowDescription{}, QStringLiteral("Creek 4"), QStringLiteral("/srv/logger"), true, prompter, dialogs,
            cursor});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        prompter.answers = {PromptAnswer::No, PromptAnswer::Yes, PromptAnswer::Yes};
        for (const char* rows : {"50", "5", "5"}) {
            QTest::mouseClick(window.findChild<QPushButton*>("cmdPack"), Qt::LeftButton);
            QCOMPARE(window.findChild<QLabel*>("lblNumRecords")->text(), QString::fromLatin1(rows));
        }
        // Its title and closing words are the journey's.
        QVERIFY(prompter.messages[0].text.startsWith(
            QStringLiteral("This operation will remove each record from the displayed data that has identical\r\n")));
        QCOMPARE(prompter.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(prompter.messages[0].defaultAnswer, PromptAnswer::No);
        QCOMPARE(prompter.messages[0].icon, PromptIcon::Information);

        ScratchFolder folder;
        dialogs.choices = {std::nullopt, folder.path("no/such/folder.csv")};
        for (int messages : {3, 4}) {
            QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
            QCOMPARE(prompter.messages.size(), messages);
        }
        const RecordingPrompter::Message& message = prompter.messages[3];
        QCOMPARE(message.title + ": " + message.text, "Save to File: Error: file was not saved correctly.");
        QCOMPARE(message.icon, PromptIcon::Error);
        QVERIFY(QDir(folder.dir.path()).isEmpty());

        dialogs.choices = {folder.path("h.csv")};
        QString openedAt;
        dialogs.whileShown = [&](const FileDialogRequest&) {
            openedAt = LongTimeText(QTime::currentTime(), QLocale::system());
            QTRY_VERIFY(LongTimeText(QTime::currentTime(), QLocale::system()) != openedAt);
        };
        QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
        QCOMPARE(prompter.messages.size(), 4);
        const FileDialogRequest& request = dialogs.saveRequests.last();
        QVERIFY(request.ConfirmOverwrite);
        QCOMPARE(QFileInfo(request.InitialFileName).path(), QStringLiteral("/srv/logger")); // the name is tested above
        QCOMPARE(cursor.depth, 0);
        QVERIFY(!window.findChild<QProgressBar*>("ProgressBar")->isVisible());
        const QByteArray text = folder.read("h.csv");
        QCOMPARE(text.count("\r\n"), 7);
        const QString writtenAt = QString::fromUtf8(text.left(text.indexOf("\r\n"))).split(u',').value(2);
        QVERIFY2(!writtenAt.isEmpty() && writtenAt != openedAt, qPrintable(writtenAt));
    }
};

BREVEL_TEST(HistoryTableTest)
#include "tst_historytable.moc"
