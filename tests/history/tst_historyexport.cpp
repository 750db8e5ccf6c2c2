#include "HistoryFixtures.h"
#include "TestRegistry.h"
#include "history/HistoryExport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QLocale GermanLocale(QStringLiteral("de_DE"));

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class HistoryExportTest : public QObject {
    Q_OBJECT
private slots:
    void packedTableMatchesGoldenFile()
    {
        LoggerSettings settings = HistoryTestSettings();
        settings.EngUnits[1] = QStringLiteral("deg, \"C\"");
        HistoryRecords records;
        records.reset(5);
        AppendRecord(records, March15(9, 42, 0), {125, 1000, 333, 7, 3});
        AppendRecord(records, March15(9, 57, 0), {125, 1000, 333, 7, 3});
        AppendRecord(records, March15(10, 12, 0), {130, 1000, 333, 8, 3});
        HistoryTable table(records, settings, HistoryTestFlow(), ShortDateFormat(GermanLocale));
        table.fill(true);
        const HistoryFlowDescription flow{QStringLiteral("0.50"), QStringLiteral("0.013"), QStringLiteral("0.001"),
                                          QStringLiteral("1.50"), QString()};
        // A comma in the logger name or a unit quotes that field.
        const QString firstLine = HistoryExportFirstLine(QStringLiteral("Creek 4, upper"),
                                                         QDateTime(QDate(2006, 3, 15), QTime(9, 42)),
                                                         settings.FlowMode, flow, GermanLocale);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        std::vector<int> progress;
        QVERIFY(WriteHistoryCsv(path, table, firstLine, [&](int row) { progress.push_back(row); }));
        QCOMPARE(ReadAll(path), ReadAll(QStringLiteral(BREVEL_SOURCE_DIR "/tests/history/data/packed-mannings.csv")));
        QCOMPARE(progress, (std::vector<int>{1, 2}));
    }

    void firstLineNamesTheFlowMethod_data()
    {
        QTest::addColumn<int>("flowMode");
        QTest::addColumn<QString>("rating");
        QTest::addColumn<QString>("tail");
        QTest::newRow("none") << 0 << "" << "";
        QTest::newRow("Manning's") << 1 << "" << ",Offset=0.1,Mannings,Roughness=n,Slope=s,Diameter=d";
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
        const HistoryFlowDescription flow{QStringLiteral("0.1"), QStringLiteral("n"), QStringLiteral("s"),
                                          QStringLiteral("d"), rating};
        const QString line = HistoryExportFirstLine(QStringLiteral("L"), QDateTime(QDate(2006, 3, 5), QTime(14, 2, 9)),
                                                    uint8_t(flowMode), flow, QLocale(QStringLiteral("en_US")));
        QCOMPARE(line, QStringLiteral("L,3/5/06,2:02:09 PM") + tail);
    }

    void defaultFileNameIsDateAndHourMinute()
    {
        QCOMPARE(DefaultExportFileName(QDateTime(QDate(2006, 3, 15), QTime(9, 42, 59))),
                 QStringLiteral("2006-03-15-0942.csv"));
        QCOMPARE(DefaultExportFileName(QDateTime(QDate(2026, 12, 6), QTime(23, 5))),
                 QStringLiteral("2026-12-06-2305.csv"));
    }

    void failedWriteLeavesNoFileAndReportsIt()
    {
        const LoggerSettings settings = HistoryTestSettings();
        HistoryRecords records;
        records.reset(5);
        HistoryTable table(records, settings, HistoryTestFlow());
        table.fill(false);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/out.csv"));
        QVERIFY(!WriteHistoryCsv(path, table, QStringLiteral("x")));
        QVERIFY(!QFile::exists(path));
    }
};

BREVEL_TEST(HistoryExportTest)
#include "tst_historyexport.moc"
