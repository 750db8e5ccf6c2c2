#include "PackTime.h"
#include "TestRegistry.h"
#include "core/DateText.h"
#include "core/SampleRecord.h"
#include "graph/AxisTicks.h"
#include "graph/GraphDecimation.h"
#include "graph/GraphSeries.h"
#include "graph/GraphTime.h"
#include "graph/GraphView.h"
#include "graph/LiveGraphSeries.h"
#include "graph/StripSummary.h"
#include "graph/ui/GraphPlot.h"

#include <QDateTime>
#include <QTest>
#include <cmath>
#include <ctime>

namespace {

using Times = std::vector<double>;
using Values = std::vector<float>;
const float NaN = std::numeric_limits<float>::quiet_NaN();
const double SpikeAt = 123457; // the spike's time and index in a record of 200000 samples

GraphSeries Series(Times times, Values values, int flowUnits = -1)
{
    GraphSeries series;
    series.Times = std::move(times);
    series.Strips.push_back({QStringLiteral("Level"), QStringLiteral("ft"), 2, flowUnits, std::move(values)});
    series.GapsBefore = FindGaps(series.Times, TypicalInterval(series.Times));
    return series;
}

double Seconds(int year, int month, int day, int hour = 0, int minute = 0)
{
    return GraphSeconds(QDate(year, month, day), QTime(hour, minute));
}

} // namespace

Q_DECLARE_METATYPE(Times)
Q_DECLARE_METATYPE(Values)
Q_DECLARE_METATYPE(std::vector<int>)

class GraphLogicTest : public QObject {
    Q_OBJECT
    QByteArray zone_ = qgetenv("TZ");

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin"); // a zone that changes to and from daylight saving time
        tzset();
    }
    void cleanupTestCase()
    {
        qputenv("TZ", zone_);
        tzset();
    }

    void packedTimes_data()
    {
        QTest::addColumn<uint32_t>("packed");
        QTest::addColumn<int>("hour");
        QTest::newRow("value 0: day 0 rolls back") << PackTime(0, 0, 0, 59, 58) << 0;
        QTest::newRow("a leap day") << PackTime(24 * 12 + 1, 29, 13, 59, 58) << 13;
        QTest::newRow("29 February 2100 rolls over") << PackTime(100 * 12 + 1, 29, 7, 59, 58) << 7;
    }
    void packedTimes()
    {
        QFETCH(uint32_t, packed);
        QFETCH(int, hour);
        QCOMPARE(SecondsSince2000(packed), GraphSeconds(PackedTime::FromValue(packed).Date(), QTime(hour, 59, 58)));
    }

    void decimationKeepsEverySpike_data()
    {
        QTest::addColumn<double>("spike");
        QTest::addColumn<double>("t0");
        QTest::addColumn<double>("t1");
        QTest::addColumn<int>("columns");
        QTest::newRow("whole record, 1920 columns") << 50.0 << 0.0 << 199999.0 << 1920;
        QTest::newRow("a few columns a sample") << 50.0 << SpikeAt - 400 << SpikeAt + 400 << 1920;
        QTest::newRow("spike at the left edge") << 50.0 << SpikeAt << SpikeAt + 5000 << 700;
        QTest::newRow("spike at the right edge") << -50.0 << SpikeAt - 80000 << SpikeAt << 1000;
    }
    void decimationKeepsEverySpike()
    {
        QFETCH(double, spike);
        QFETCH(double, t0);
        QFETCH(double, t1);
        QFETCH(int, columns);
        Times times(200000);
        Values values(200000);
        for (int i = 0; i < 200000; ++i) {
            times[size_t(i)] = i;
            values[size_t(i)] = float(std::sin(i / 500.0));
        }
        values[size_t(SpikeAt)] = float(spike);
        const GraphSeries series = Series(times, values);
        const std::vector<PlotRun> runs = DecimateStrip(series, 0, t0, t1, columns);
        QCOMPARE(runs.size(), size_t(1));
        QVERIFY(runs.front().size() <= size_t(4 * columns + 8));
        const auto extreme = std::ranges::find_if(runs.front(), [&](const QPointF& p) { return p.y() == spike; });
        QVERIFY(extreme != runs.front().end());
        const double column = (SpikeAt - t0) * columns / (t1 - t0);
        QVERIFY2(std::fabs(extreme->x() - column) <= 1.0, qPrintable(QString::number(extreme->x())));
    }

    // A gap: more than 1.5 times the records' median spacing.
    void gaps_data()
    {
        QTest::addColumn<Times>("times");
        QTest::addColumn<double>("interval"); // of the whole record; 0: the times' own
        QTest::addColumn<std::vector<int>>("recordOfSample");
        QTest::addColumn<std::vector<int>>("gaps");
        using Ints = std::vector<int>;
        QTest::newRow("1.5 intervals, just over") << Times{0, 60, 120, 210, 270, 361, 421} << 0.0 << Ints{} << Ints{5};
        QTest::newRow("fast sampling: same second") << Times{0, 0, 0, 1, 1, 1, 2, 2, 5, 5} << 0.0 << Ints{}
                                                    << Ints{8};
        // Records 2 to 49 were there, left out of the selection; 51 and 52 are neighbours far apart.
        QTest::newRow("a selection") << Times{0, 60, 3000, 3060, 6000} << 60.0 << Ints{0, 1, 50, 51, 52} << Ints{4};
    }
    void gaps()
    {
        QFETCH(Times, times);
        QFETCH(double, interval);
        QFETCH(std::vector<int>, recordOfSample);
        QFETCH(std::vector<int>, gaps);
        GraphSeries series = Series(times, Values(times.size(), 1.0f));
        series.GapsBefore = FindGaps(times, interval > 0 ? interval : TypicalInterval(times), recordOfSample);
        QCOMPARE(series.GapsBefore, gaps);
        for (int columns : {1000, 2}) {
            QCOMPARE(DecimateStrip(series, 0, times.front(), times.back(), columns).size(), gaps.size() + 1);
        }
    }

    void timeTicks_data()
    {
        QTest::addColumn<double>("t0");
        QTest::addColumn<double>("t1");
        QTest::addColumn<double>("step");
        QTest::addColumn<QStringList>("firstLabels");
        QTest::addColumn<QString>("firstDate");
        // 1000 pixels, labels at least 100 apart.
        QTest::newRow("twelve years") << Seconds(2003, 5, 17) << Seconds(2015, 2, 1) << 2 * 365.25 * 86400
                                      << QStringList{"2004", "2006", "2008"} << QString();
        QTest::newRow("five months") << Seconds(2024, 1, 20) << Seconds(2024, 6, 20) << 30.44 * 86400
                                     << QStringList{"Feb 2024", "Mar 2024", "Apr 2024"} << QString();
        QTest::newRow("a fortnight") << Seconds(2024, 3, 9, 12) << Seconds(2024, 3, 23) << 2.0 * 86400
                                     << QStringList{"11.03.24", "13.03.24", "15.03.24"} << QString();
        QTest::newRow("a day and a half") << Seconds(2024, 3, 9, 22, 10) << Seconds(2024, 3, 11, 10) << 6.0 * 3600
                                          << QStringList{"00:00", "06:00", "12:00"} << QStringLiteral("10.03.24");
        QTest::newRow("ten minutes: no seconds") << Seconds(2024, 3, 9, 12) + 3 << Seconds(2024, 3, 9, 12) + 603
                                                 << 60.0 << QStringList{"12:01", "12:02", "12:03"}
                                                 << QStringLiteral("09.03.24");
        QTest::newRow("two minutes") << Seconds(2024, 3, 9, 12) + 3 << Seconds(2024, 3, 9, 12) + 123 << 15.0
                                     << QStringList{"12:00:15", "12:00:30", "12:00:45"} << QStringLiteral("09.03.24");
        QTest::newRow("a minute") << Seconds(2024, 3, 9, 23, 59) + 7.5 << Seconds(2024, 3, 10) + 40 << 10.0
                                  << QStringList{"23:59:10", "23:59:20", "23:59:30"} << QStringLiteral("09.03.24");
        // The logger's clock keeps no daylight saving: one tick an hour, none twice, where the zone changes.
        for (const QDate day : {QDate(2024, 3, 31), QDate(2024, 10, 27)}) {
            QVERIFY(QDateTime(day, QTime(1, 30)).offsetFromUtc() != QDateTime(day, QTime(3, 30)).offsetFromUtc());
            const double midnight = GraphSeconds(day, QTime(0, 0));
            QTest::addRow("daylight saving changes %s", qPrintable(day.toString(Qt::ISODate)))
                << midnight - 1800 << midnight + 6 * 3600 + 1800 << 3600.0
                << QStringList{"00:00", "01:00", "02:00", "03:00", "04:00", "05:00", "06:00"}
                << day.toString(QStringLiteral("dd.MM.yy"));
        }
    }
    void timeTicks()
    {
        QFETCH(double, t0);
        QFETCH(double, t1);
        QFETCH(double, step);
        QFETCH(QStringList, firstLabels);
        const std::vector<TimeTick> ticks = TimeTicks(t0, t1, 1000, 100, ShortDateFormat(QLocale::German), QLocale::c());
        QStringList labels;
        for (size_t i = 0; i < ticks.size(); ++i) {
            labels << ticks[i].Label;
            QVERIFY(ticks[i].T >= t0 && ticks[i].T <= t1);
            if (step >= 86400) { // days, months and years start at midnight
                QCOMPARE(ticks[i].T, GraphSeconds(GraphDate(ticks[i].T), QTime(0, 0)));
            }
            if (i > 0) { // months and years are of uneven length
                QVERIFY(std::fabs(ticks[i].T - ticks[i - 1].T - step) <= (step < 86400 ? 0 : 2 * 86400));
                const bool newDay = GraphDate(ticks[i].T) != GraphDate(ticks[i - 1].T);
                QCOMPARE(!ticks[i].DateLabel.isEmpty(), newDay && step < 86400);
            }
        }
        QCOMPARE(labels.mid(0, firstLabels.size()), firstLabels);
        QTEST(ticks.front().DateLabel, "firstDate");
    }

    // Against the trapezoids worked out by hand; shown with at least three significant digits.
    void volume_data()
    {
        QTest::addColumn<Times>("times");
        QTest::addColumn<Values>("flows");
        QTest::addColumn<int>("flowUnits");
        QTest::addColumn<double>("t0");
        QTest::addColumn<double>("t1");
        QTest::addColumn<double>("volume");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0 to 60 gpm over a minute") << Times{0, 60} << Values{0, 60} << 1 << 0.0 << 60.0 << 30.0
                                                   << QStringLiteral("30.0 gal");
        // q = t up to 60 s, then 120 - t: 1350 on each side of the peak.
        QTest::newRow("span cuts both segments") << Times{0, 60, 120} << Values{0, 60, 0} << 4 << 30.0 << 90.0
                                                 << 2700.0 << QStringLiteral("2700 L");
        QTest::newRow("nothing across a gap or beside a missing value")
            << Times{0, 10, 20, 30, 1000, 1010} << Values{1, NaN, 1, 1, 1, 1} << 3 << 0.0 << 1010.0 << 20.0
            << QStringLiteral("20.0 m\u00B3");
        QTest::newRow("1 MGD for a day") << Times{0, 43200, 86400} << Values{1, 1, 1} << 2 << -5.0 << 90000.0
                                         << 1.0e6 << QStringLiteral("1000000 gal");
        QTest::newRow("below 1: decimals") << Times{0, 10, 20} << Values{0.03125f, 0.03125f, 0.03125f} << 0 << 0.0
                                           << 20.0 << 0.625 << QStringLiteral("0.625 ft\u00B3");
    }
    void volume()
    {
        QFETCH(Times, times);
        QFETCH(Values, flows);
        QFETCH(int, flowUnits);
        QFETCH(double, t0);
        QFETCH(double, t1);
        const GraphSeries series = Series(times, flows, flowUnits);
        const StripSummary summary = SummariseStrip(series, 0, t0, t1);
        QVERIFY(summary.Volume.has_value());
        QTEST(*summary.Volume, "volume");
        GraphView view;
        view.SetRecord(times.front(), times.back(), 1);
        view.SetTimeRange(t0, t1);
        const QFont font;
        const GraphPlot plot(series, view, {0}, QRectF(0, 0, 800, 300), font, QFontMetricsF(font), 1.0);
        QTEST(plot.SummaryText(0).section(QStringLiteral("volume "), 1), "shown");
    }

    void summaryOverTheVisibleSpan()
    {
        const GraphSeries series = Series({0, 10, 20, 30, 40}, {5, -3, 8, 2, 9});
        const StripSummary summary = SummariseStrip(series, 0, 5, 35);
        QCOMPARE(summary.Samples, 3);
        QCOMPARE(summary.Lowest, 1);
        QCOMPARE(summary.Highest, 2);
        QCOMPARE(summary.Mean, 7.0 / 3.0);
        QVERIFY(!summary.Volume);
    }

    void liveSeries()
    {
        LiveGraphSeries live;
        live.SetStrips({{QStringLiteral("Channel 1 (ft)"), QStringLiteral("ft"), 2, -1}});
        for (int i = 0; i < 10; ++i) {
            live.Add(1000 + i, {0.5 * i});
        }
        live.Add(1030, {std::nan("")});
        live.Add(1031, {2.35});
        QCOMPARE(live.Series().GapsBefore, std::vector<int>{10});
        QVERIFY(std::isnan(live.Series().Strips[0].Values[10]));
        QCOMPARE(live.Series().Value(11, 0), 2.35);

        for (int i = 1; i <= 2 * 24 * 60; ++i) {
            live.Add(1031 + 60.0 * i, {1.0});
        }
        const GraphSeries& series = live.Series();
        QVERIFY(series.Times.back() - series.Times.front() <= LiveGraphSeries::KeptSeconds * 1.1);
        QVERIFY(series.Times.back() - series.Times.front() >= LiveGraphSeries::KeptSeconds - 60);
        QCOMPARE(series.Strips[0].Values.size(), series.Times.size());
        QVERIFY(series.GapsBefore.empty());

        live.Add(500, {1.0});
        QCOMPARE(live.Series().Count(), 1);
    }
};

BREVEL_TEST(GraphLogicTest)
#include "tst_graphlogic.moc"
