#include "HistoryFixtures.h"
#include "TestRegistry.h"
#include "history/HistoryTable.h"

#include <QTest>

Q_DECLARE_METATYPE(LoggerSettings)

namespace {

QStringList Headers(const HistoryTable& table)
{
    QStringList headers;
    for (int c = 0; c < table.columnCount(); ++c) {
        headers << table.headerText(c);
    }
    return headers;
}

QStringList Row(const HistoryTable& table, int row)
{
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c) {
        cells << table.cellText(row, c);
    }
    return cells;
}

const ShortDateFormat German{QLocale(QStringLiteral("de_DE"))};

} // namespace

class HistoryTableTest : public QObject {
    Q_OBJECT
private slots:
    void columnsFollowEnableFlagsAndFlowMode_data()
    {
        QTest::addColumn<LoggerSettings>("settings");
        QTest::addColumn<bool>("unitsInvalid");
        QTest::addColumn<QStringList>("headers");
        const LoggerSettings base = HistoryTestSettings();
        QTest::newRow("all, Manning's in ft/s") << base << false
            << QStringList{"Date / Time", "ft", "degC", "%", "in", "gal", "Flow (cfs)", "Vel (FPS)"};
        LoggerSettings s = base;
        s.AnalogEnable[1] = 0;
        s.DigitalEnable = {0, 0};
        s.VelUnits = 1;
        QTest::newRow("channel 2 off, m/s") << s << false
            << QStringList{"Date / Time", "ft", "%", "Flow (cfs)", "Vel (MPS)"};
        s = base;
        s.FlowMode = 2;
        QTest::newRow("flume: no velocity") << s << false
            << QStringList{"Date / Time", "ft", "degC", "%", "in", "gal", "Flow (cfs)"};
        s = base;
        s.AnalogEnable[0] = 0;
        QTest::newRow("channel 1 off: no flow") << s << false
            << QStringList{"Date / Time", "degC", "%", "in", "gal"};
        QTest::newRow("unit not a level") << base << true
            << QStringList{"Date / Time", "ft", "degC", "%", "in", "gal"};
        s = base;
        s.FlowMode = 0;
        s.DigitalEnable = {0, 1};
        QTest::newRow("no flow method, pulse 2 only") << s << false
            << QStringList{"Date / Time", "ft", "degC", "%", "gal"};
    }
    void columnsFollowEnableFlagsAndFlowMode()
    {
        QFETCH(LoggerSettings, settings);
        QFETCH(bool, unitsInvalid);
        QFETCH(QStringList, headers);
        HistoryRecords records;
        records.reset(5);
        HistoryFlowSource flow = HistoryTestFlow();
        flow.FlowUnitsInvalid = unitsInvalid;
        HistoryTable table(records, settings, flow, German);
        table.fill(false);
        QCOMPARE(Headers(table), headers);
    }

    void zeroSpansGiveTheLimit_data()
    {
        QTest::addColumn<int>("rawHigh");
        QTest::addColumn<double>("euHigh");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero raw span: EU low") << 0 << 50.0 << "-20.00000";
        QTest::newRow("zero EU span: EU high") << 4000 << -19.99995 << "-19.99995";
        QTest::newRow("normal") << 4000 << 60.0 << "20.00000";
    }
    void zeroSpansGiveTheLimit()
    {
        QFETCH(int, rawHigh);
        QFETCH(double, euHigh);
        QFETCH(QString, text);
        LoggerSettings settings = HistoryTestSettings();
        settings.RawScaleUpper[1] = rawHigh;
        settings.UpperLimit[1] = euHigh;
        settings.DecPlaces[1] = 5;
        HistoryRecords records;
        records.reset(5);
        AppendRecord(records, 0, {0, 2000, 0, 0, 0});
        HistoryTable table(records, settings, HistoryTestFlow(), German);
        table.fill(false);
        QCOMPARE(table.cellText(0, 2), text);
    }

    // 8 analog and 2 pulse channels with flow and velocity: 12 value columns.
    void eightAnalogTwoPulseAndFlowGiveTwelveColumns()
    {
        LoggerSettings settings = HistoryTestSettings();
        settings.NumAnalogChannels = 8;
        settings.AnalogEnable.fill(1);
        for (int c = 3; c < 8; ++c) {
            settings.EngUnits[size_t(c)] = QStringLiteral("a%1").arg(c + 1);
            settings.RawScaleUpper[size_t(c)] = 100;
            settings.UpperLimit[size_t(c)] = 100;
        }
        HistoryRecords records;
        records.reset(10);
        AppendRecord(records, 0, {100, 0, 0, 4, 5, 6, 7, 8, 1, 2});
        AppendRecord(records, 1, {100, 0, 0, 4, 5, 6, 7, 9, 1, 2});
        HistoryTable table(records, settings, HistoryTestFlow(), German);
        table.fill(true);
        QCOMPARE(table.columnCount(), 1 + HistoryTable::MaxValueColumns);
        QCOMPARE(table.headerText(12), QStringLiteral("Vel (FPS)"));
        QCOMPARE(Row(table, 0).mid(4), (QStringList{"4", "5", "6", "7", "8", "0.5", "2", "3.00", "0.25"}));
        // Only channel 8 changed, and that is enough to keep the row.
        QCOMPARE(table.rowCount(), 2);
    }

    void packKeepsRowsWhoseTextsChanged()
    {
        const LoggerSettings settings = HistoryTestSettings();
        HistoryRecords records;
        records.reset(5);
        AppendRecord(records, March15(0, 0, 0), {100, 0, 0, 0, 0});
        AppendRecord(records, March15(0, 1, 0), {100, 0, 0, 0, 0});  // same values: dropped
        AppendRecord(records, March15(0, 2, 0), {100, 0, 0, 0, 0});  // same: dropped
        AppendRecord(records, March15(0, 3, 0), {100, 1, 0, 0, 0});  // 0.02 degC more: "-20.0" still
        AppendRecord(records, March15(0, 4, 0), {101, 1, 0, 0, 0});  // level changed: kept
        AppendRecord(records, March15(0, 5, 0), {100, 0, 0, 0, 0});  // back again: kept
        HistoryTable table(records, settings, HistoryTestFlow(), German);
        std::vector<int> progress;
        table.fill(true, [&](int value) { progress.push_back(value); });
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.timestampText(1), QStringLiteral("15.03.06 00:04:00"));
        QCOMPARE(table.timestampText(2), QStringLiteral("15.03.06 00:05:00"));
        QCOMPARE(progress, (std::vector<int>{0, 1, 2, 3, 4, 5}));
        table.fill(true);
        QCOMPARE(table.rowCount(), 3);
        table.fill(false);
        QCOMPARE(table.rowCount(), 6);
        QCOMPARE(table.timestampText(3), QStringLiteral("15.03.06 00:03:00"));
    }
};

BREVEL_TEST(HistoryTableTest)
#include "tst_historytable.moc"
