#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "flow/FlowFromLevel.h"
#include "config/Rating.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

using Points = QList<QPointF>; // level, flow
using Change = std::function<void(LoggerSettings&)>;
using Fault = std::function<void(LoggerSettings&, RatingState&)>;

// Flume mode in feet with the power law flow = level unless a table is given,
// so that the flow shows the level after unit conversion and offset.
LoggerSettings Flume(uint8_t mode = 2)
{
    LoggerSettings s;
    s.EngUnits[0] = QStringLiteral("Feet");
    s.FlowMode = mode;
    return s;
}

RatingState Rating(const Points& table = {}, double exponent = 1.0, double multiplier = 1.0, double offset = 0.0)
{
    RatingState r;
    ClearFlowTable(r);
    for (const QPointF& p : table) {
        r.FlowTable.push_back({p.x(), p.y()});
    }
    r.RatingExponent = exponent;
    r.RatingMultiplier = multiplier;
    r.RatingOffset = offset;
    return r;
}

LoggerSettings Manning(double diameter, double n, double slope)
{
    LoggerSettings s = Flume(1);
    s.ManningsD = diameter;
    s.ManningsN = n;
    s.ManningsS = slope;
    return s;
}

double Flow(const LoggerSettings& s, const RatingState& r, double level, double* velocityOut = nullptr)
{
    double velocity = -1.0;
    const double flow = ComputeFlow(s, r, level, velocity);
    if (velocityOut) {
        *velocityOut = velocity;
    }
    return flow;
}

bool Near(double value, double expected, double relative = 1e-9)
{
    return std::abs(value - expected) <= relative * std::max(1.0, std::abs(expected));
}

} // namespace

class FlowFromLevelTest : public QObject {
    Q_OBJECT
private slots:
    void levelUnitsAndOffset_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("units");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("offsetType");
        QTest::addColumn<double>("feet");
        QTest::newRow("inches, blanks and case") << 2 << "  iNcHeS " << 12.0 << 0.0 << 0 << 1.0;
        QTest::newRow("meters") << 3 << "Meters" << 0.3048 << 0.0 << 0 << 1.0;
        QTest::newRow("cm") << 2 << "cm" << 30.48 << 0.0 << 0 << 1.0;
        QTest::newRow("volts count as feet") << 2 << "Volts" << 2.0 << 0.0 << 0 << 2.0;
        QTest::newRow("offset in cm") << 2 << "Feet" << 1.0 << 30.48 << 3 << 2.0;
        QTest::newRow("zero level ignores offset") << 2 << "Feet" << 0.0 << 5.0 << 0 << 0.0;
        QTest::newRow("offset below zero") << 2 << "Feet" << 1.0 << -2.0 << 0 << 0.0;
        QTest::newRow("no flow mode") << 0 << "Feet" << 2.0 << 0.0 << 0 << 0.0;
        QTest::newRow("table mode has no power law") << 4 << "Feet" << 2.0 << 0.0 << 0 << 0.0;
    }
    void levelUnitsAndOffset()
    {
        QFETCH(int, mode);
        QFETCH(QString, units);
        QFETCH(double, level);
        QFETCH(double, offset);
        QFETCH(int, offsetType);
        QFETCH(double, feet);
        LoggerSettings s = Flume(static_cast<uint8_t>(mode));
        s.EngUnits[0] = units;
        s.LevelOffset = offset;
        s.LevelOffsetType = static_cast<uint8_t>(offsetType);
        double velocity = -1.0;
        QVERIFY(Near(Flow(s, Rating(), level, &velocity), feet, 1e-12));
        QCOMPARE(velocity, 0.0);
    }

    // Against the segment of a circle: area (D^2 / 4)(t - sin t cos t) and
    // wetted perimeter D t, with t = acos(1 - 2 depth / D).
    // A one-foot pipe, n 0.013, slope 0.01, with one change; the level in
    // feet, and the pipe, roughness and slope the flow must match.
    void mannings_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("feet");
        QTest::addColumn<double>("nUsed");
        QTest::addColumn<double>("slopeUsed");
        const auto row = [](const char* name, const Change& change, double level, double feet = 1.0, double n = 0.013,
                            double slope = 0.01) { QTest::newRow(name) << change << level << feet << n << slope; };
        const auto none = [](LoggerSettings&) {};
        row("a quarter", [](LoggerSettings& s) { s.ManningsD = 1.5; s.ManningsN = 0.012; s.ManningsS = 0.005; }, 0.375,
            1.5, 0.012, 0.005);
        row("nearly full, 18 inch, slope in %", [](LoggerSettings& s) {
            s.ManningsD = 18.0; s.ManningsDType = 1; s.ManningsN = 0.012; s.ManningsS = 0.5; s.ManningsSType = 1;
        }, 1.455, 1.5, 0.012, 0.005);
        row("full at the crown", none, 1.0);
        row("above the crown runs full", none, 40.0);
        row("tiny diameter raised to 0.01 ft", [](LoggerSettings& s) { s.ManningsD = 0.001; }, 1.0, 0.01);
        row("tiny roughness raised to 0.001", [](LoggerSettings& s) { s.ManningsN = 0.0001; }, 0.5, 1.0, 0.001);
        row("velocity in meters per second", [](LoggerSettings& s) { s.VelUnits = 1; }, 0.5);
    }
    void mannings()
    {
        QFETCH(Change, change);
        QFETCH(double, level);
        QFETCH(double, feet);
        QFETCH(double, nUsed);
        QFETCH(double, slopeUsed);
        LoggerSettings s = Manning(1.0, 0.013, 0.01);
        change(s);
        const double depth = std::min(level, feet);
        const double t = std::acos(1.0 - 2.0 * depth / feet);
        const double area = feet * feet / 4.0 * (t - std::sin(t) * std::cos(t));
        const double velocity = 1.486 / nUsed * std::sqrt(slopeUsed) * std::pow(area / (feet * t), 0.667);
        double shown = 0.0;
        QVERIFY(Near(Flow(s, {}, level, &shown), velocity * area, 1e-6));
        QVERIFY(Near(shown, s.VelUnits == 1 ? velocity * 0.3048 : velocity, 1e-6));
        QVERIFY(Near(PipeFlowArea(depth, feet), area, 1e-6));
        QVERIFY(Near(PipeWettedPerimeter(depth, feet), feet * t, 1e-6));
    }

    void arcCosLimits()
    {
        QCOMPARE(ArcCos(0.9999995), 0.0);
        QCOMPARE(ArcCos(-1.0), 3.14159265358979);
        for (double x : {-0.99, -0.5, 0.0, 0.3, 0.99}) {
            QVERIFY(Near(ArcCos(x), std::acos(x), 1e-12));
        }
        QCOMPARE(PipeFlowArea(0.0, 1.0), 0.0);
    }

    void rating_data()
    {
        QTest::addColumn<Points>("table");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("flow");
        const Points six{{0.5, 1}, {1, 3}, {2, 7}, {2, 9}, {3, 10}, {5, 20}};
        QTest::newRow("below the first point: line from the origin") << six << 0.25 << 0.5;
        QTest::newRow("inside the first segment") << six << 0.75 << 2.0;
        QTest::newRow("on equal levels: the step up") << six << 2.0 << 9.0;
        QTest::newRow("after the equal levels") << six << 2.5 << 9.5;
        QTest::newRow("last segment extended") << six << 7.0 << 30.0;
        const Points flatEnd{{1, 2}, {2, 4}, {3, 6}, {3, 8}};
        QTest::newRow("equal last levels: the lower flow") << flatEnd << 3.0 << 6.0;
        QTest::newRow("equal last levels, above") << flatEnd << 9.0 << 6.0;
        const Points two{{1, 2}, {3, 6}};
        QTest::newRow("two points, above") << two << 4.0 << 8.0;
        QTest::newRow("one point: no flow") << Points{{1, 5}} << 2.0 << 0.0;
    }
    void rating()
    {
        QFETCH(Points, table);
        QFETCH(double, level);
        const RatingState r = Rating(table);
        for (uint8_t mode : {2, 3, 4}) {
            double velocity = -1.0;
            QTEST(Flow(Flume(mode), r, level, &velocity), "flow");
            QCOMPARE(velocity, 0.0);
        }
    }

    // The binary search against a straight scan, for every table size.
    void tableSearchFindsTheEnclosingSegment()
    {
        QRandomGenerator random(20261206);
        for (int n = 3; n <= MaxFlowTablePoints; n += (n < 40 ? 1 : 37)) {
            Points points;
            double level = 0.1;
            for (int k = 1; k <= n; ++k) {
                level += 0.01 + random.generateDouble();
                points.append({level, random.generateDouble() * 100.0});
            }
            const RatingState r = Rating(points);
            for (int trial = 0; trial < 50; ++trial) {
                const double x = points[0].x() + random.generateDouble() * (level - points[0].x());
                qsizetype i = 0;
                while (points[i + 1].x() <= x) {
                    ++i;
                }
                const QPointF a = points[i];
                const QPointF b = points[i + 1];
                const double expected = a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
                QVERIFY2(Near(Flow(Flume(4), r, x), expected), qPrintable(QStringLiteral("n %1 level %2").arg(n).arg(x)));
            }
        }
    }

    void outputUnits_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<double>("perCfs");
        QTest::newRow("CFS") << 0 << 1.0;
        QTest::newRow("GPM") << 1 << 448.83;
        QTest::newRow("MGD") << 2 << 0.64632;
        QTest::newRow("CMS") << 3 << 0.0283168;
        QTest::newRow("LPS") << 4 << 28.3168;
        QTest::newRow("unknown code stays CFS") << 9 << 1.0;
    }
    void outputUnits()
    {
        QFETCH(int, units);
        QFETCH(double, perCfs);
        LoggerSettings s = Flume();
        s.FlowUnits = static_cast<uint8_t>(units);
        QVERIFY(Near(Flow(s, Rating(), 2.0), 2.0 * perCfs, 2e-4));
    }

    void arithmeticFaultsGiveZero_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<double>("level");
        const auto row = [](const char* name, const Fault& fault, double level = 0.5) {
            QTest::newRow(name) << fault << level;
        };
        const auto none = [](LoggerSettings&, RatingState&) {};
        row("undefined level", none, NaN);
        row("infinite offset", [](LoggerSettings& s, RatingState&) { s.LevelOffset = Infinity; });
        row("negative slope", [](LoggerSettings& s, RatingState&) { s.ManningsS = -0.01; });
        row("negative power base", [](LoggerSettings& s, RatingState& r) { s.FlowMode = 3; r = Rating({}, 1.5, 1.0, -1.0); });
        row("table overflow", [](LoggerSettings& s, RatingState& r) { s.FlowMode = 4; r = Rating({{1, 1e308}, {2, -1e308}}); },
            1.75);
        row("unit overflow", [](LoggerSettings& s, RatingState& r) {
            s.FlowMode = 2;
            s.FlowUnits = 1;
            r.RatingMultiplier = 1e306;
        }, 1000.0);
    }
    void arithmeticFaultsGiveZero()
    {
        QFETCH(Fault, fault);
        QFETCH(double, level);
        LoggerSettings s = Manning(1.0, 0.013, 0.01);
        RatingState rating = Rating();
        fault(s, rating);
        double velocity = -1.0;
        QCOMPARE(Flow(s, rating, level, &velocity), 0.0);
        QCOMPARE(velocity, 0.0);
    }

    void decimalsForRange_data()
    {
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("resolution");
        QTest::addColumn<int>("decimals");
        QTest::newRow("4096") << 4096.0 << 0.0 << 0;
        QTest::newRow("409") << 409.0 << 0.0 << 1;
        QTest::newRow("tenth steps") << 1.0 << 0.1 << 1;
        QTest::newRow("40") << 40.0 << 0.0 << 2;
        QTest::newRow("hundredth steps") << 1.0 << 0.01 << 2;
        QTest::newRow("small and fine") << 3.9 << 0.0009 << 4;
        QTest::newRow("small, thousandth steps") << 3.9 << 0.001 << 3;
        QTest::newRow("4 and fine") << 4.0 << 0.0 << 3;
    }
    void decimalsForRange()
    {
        QFETCH(double, maxValue);
        QFETCH(double, resolution);
        QTEST(int(DecimalsForRange(maxValue, resolution)), "decimals");
    }

    // Flow = multiplier x level over 0 to 100 feet: the largest flow is 98.5 x
    // multiplier, a step of 16 counts 0.0244 x multiplier. Any fault keeps 2
    // and 2 (multiplier 0 marks the rows of one).
    // The pipe rows: a one-foot pipe at slope 0.01 peaks near 3.8 cfs and 5.2
    // fps. Over fine counts the steps are small (4 and 3 decimals). With 100
    // counts to the foot the velocity jumps 2.4 fps from the dry pipe to the
    // next reading (1 decimal); flow counts only steps between flowing
    // readings, and every later reading is of the full pipe (still 4).
    void estimatedDecimals_data()
    {
        QTest::addColumn<double>("multiplier");
        QTest::addColumn<Points>("table");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("flowDecimals");
        QTest::addColumn<int>("velocityDecimals");
        QTest::newRow("up to 985") << 10.0 << Points{} << -1 << 1 << 4;
        // Flows below 1 with one steep step of 0.195 (at 1.5625 ft): 2 places.
        QTest::newRow("small flows, a steep step") << 0.0 << Points{{1.5, 0.001}, {1.6, 0.8}, {100, 0.9}} << -1 << 2
                                                    << 4;
        QTest::newRow("not connected") << 0.01 << Points{} << 0 << 2 << 2;
        QTest::newRow("units allow no flow") << 0.01 << Points{} << 1 << 2 << 2;
        QTest::newRow("equal raw limits") << 0.01 << Points{} << 2 << 2 << 2;
        QTest::newRow("engineering limits too close") << 0.01 << Points{} << 3 << 2 << 2;
        QTest::newRow("raw count overflow") << 0.01 << Points{} << 4 << 2 << 2;
        QTest::newRow("pipe, fine counts") << 0.0 << Points{} << 5 << 4 << 3;
        QTest::newRow("pipe, coarse counts") << 0.0 << Points{} << 6 << 4 << 1;
    }
    void estimatedDecimals()
    {
        QFETCH(double, multiplier);
        QFETCH(Points, table);
        QFETCH(int, fault);
        LoggerSettings s = Flume();
        s.RawScaleUpper[0] = 65535;
        s.UpperLimit[0] = 100.0;
        FlowDisplayState display;
        bool connected = true;
        switch (fault) {
        case 0: connected = false; break;
        case 1: display.FlowUnitsInvalid = true; break;
        case 2: s.RawScaleUpper[0] = s.RawScaleLower[0]; break;
        case 3: s.UpperLimit[0] = 0.00009; break;
        case 4: s.RawScaleLower[0] = std::numeric_limits<int32_t>::min(); break;
        case 5:
        case 6:
            s = Manning(1.0, 0.013, 0.01);
            s.RawScaleUpper[0] = fault == 5 ? 65535 : 100;
            s.UpperLimit[0] = 1.0;
            break;
        }
        EstimateFlowDecimals(s, Rating(table, 1.0, multiplier), connected, display);
        QTEST(int(display.FlowDecimals), "flowDecimals");
        QTEST(int(display.VelocityDecimals), "velocityDecimals");
    }
};

BREVEL_TEST(FlowFromLevelTest)
#include "tst_flowfromlevel.moc"
