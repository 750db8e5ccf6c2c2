#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "flow/FlowFromLevel.h"
#include "config/Rating.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Flume mode with the power law flow = level in feet, so that the flow shows
// the level after unit conversion and offset.
LoggerSettings IdentityFlume()
{
    LoggerSettings s;
    s.EngUnits[0] = QStringLiteral("Feet");
    s.FlowMode = 2;
    return s;
}

RatingState IdentityPowerLaw()
{
    RatingState r;
    ClearFlowTable(r);
    r.RatingExponent = 1.0;
    r.RatingMultiplier = 1.0;
    return r;
}

LoggerSettings Manning(double diameter, double n, double slope)
{
    LoggerSettings s;
    s.EngUnits[0] = QStringLiteral("Feet");
    s.FlowMode = 1;
    s.ManningsD = diameter;
    s.ManningsN = n;
    s.ManningsS = slope;
    return s;
}

RatingState Table(std::initializer_list<RatingPoint> points)
{
    RatingState r;
    ClearFlowTable(r);
    r.FlowTable.insert(r.FlowTable.end(), points);
    return r;
}

double Flow(const LoggerSettings& s, const RatingState& r, double level)
{
    double velocity = -1.0;
    return ComputeFlow(s, r, level, velocity);
}

// Wetted perimeter and area of a round pipe found by clipping a fine polygon
// of its circle at the water line.
struct Segment {
    double perimeter = 0.0;
    double area = 0.0;
};

Segment ClippedCircle(double depth, double diameter)
{
    const int sides = 100000;
    const double r = diameter / 2.0;
    const double waterLine = depth - r; // centre at the origin
    // Walk the circle from its bottom point; the wetted arc is one run, ended
    // on both sides where a side of the polygon crosses the water line.
    std::vector<std::pair<double, double>> wet;
    double previousX = 0.0;
    double previousY = -r;
    for (int k = 0; k <= sides; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / sides;
        const double x = r * std::sin(angle);
        const double y = -r * std::cos(angle);
        if ((y <= waterLine) != (previousY <= waterLine)) {
            const double t = (waterLine - previousY) / (y - previousY);
            wet.emplace_back(previousX + t * (x - previousX), waterLine);
        }
        if (y <= waterLine) {
            wet.emplace_back(x, y);
        }
        previousX = x;
        previousY = y;
    }
    // The run starts at the bottom point: rotate it so the arc is contiguous.
    const auto gap = std::adjacent_find(wet.begin(), wet.end(), [](const auto& a, const auto& b) {
        return a.second == b.second && a.first > 0 && b.first < 0;
    });
    if (gap != wet.end()) {
        std::rotate(wet.begin(), gap + 1, wet.end());
    }
    Segment out;
    for (size_t k = 0; k < wet.size(); ++k) {
        const auto [x1, y1] = wet[k];
        const auto [x2, y2] = wet[(k + 1) % wet.size()];
        if (k + 1 < wet.size()) {
            out.perimeter += std::hypot(x2 - x1, y2 - y1);
        }
        out.area += x1 * y2 - x2 * y1; // shoelace, closed along the water line
    }
    out.area = std::abs(out.area) / 2.0;
    return out;
}

} // namespace

class FlowFromLevelTest : public QObject {
    Q_OBJECT
private slots:
    void noFlowModeGivesZero()
    {
        LoggerSettings s = Manning(1.0, 0.013, 0.01);
        s.FlowMode = 0;
        for (double level : {-1.0, 0.0, 0.5, 2.0, 1e6}) {
            double velocity = -1.0;
            QCOMPARE(ComputeFlow(s, RatingState{}, level, velocity), 0.0);
            QCOMPARE(velocity, 0.0);
        }
    }

    void levelUnitsAndOffset_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("offsetType");
        QTest::addColumn<double>("feet");
        QTest::newRow("inches") << "Inches" << 12.0 << 0.0 << 0 << 1.0;
        QTest::newRow("cm") << "cm" << 30.48 << 0.0 << 0 << 1.0;
        QTest::newRow("meters") << "Meters" << 0.3048 << 0.0 << 0 << 1.0;
        QTest::newRow("feet, blanks and case") << "  fEEt " << 2.0 << 0.0 << 0 << 2.0;
        QTest::newRow("volts count as feet") << "Volts" << 2.0 << 0.0 << 0 << 2.0;
        QTest::newRow("offset in inches") << "Feet" << 1.0 << 6.0 << 1 << 1.5;
        QTest::newRow("offset in meters") << "Feet" << 1.0 << 0.3048 << 2 << 2.0;
        QTest::newRow("offset in cm") << "Feet" << 1.0 << 30.48 << 3 << 2.0;
        QTest::newRow("unknown offset code is feet") << "Feet" << 1.0 << 0.5 << 9 << 1.5;
        QTest::newRow("zero level ignores offset") << "Feet" << 0.0 << 5.0 << 0 << 0.0;
        QTest::newRow("negative level ignores offset") << "Feet" << -1.0 << 5.0 << 0 << 0.0;
        QTest::newRow("offset below zero") << "Feet" << 1.0 << -2.0 << 0 << 0.0;
    }
    void levelUnitsAndOffset()
    {
        QFETCH(QString, units);
        QFETCH(double, level);
        QFETCH(double, offset);
        QFETCH(int, offsetType);
        QFETCH(double, feet);
        LoggerSettings s = IdentityFlume();
        s.EngUnits[0] = units;
        s.LevelOffset = offset;
        s.LevelOffsetType = static_cast<uint8_t>(offsetType);
        QVERIFY(std::abs(Flow(s, IdentityPowerLaw(), level) - feet) < 1e-12);
    }

    void manningsFullPipeMatchesClosedForm()
    {
        const LoggerSettings s = Manning(1.0, 0.013, 0.01);
        const double expectedVelocity = (1.486 / 0.013) * 0.1 * std::pow(0.25, 0.667);
        for (double level : {1.0, 1.5, 40.0}) { // at and above the crown: a full pipe
            double velocity = 0.0;
            const double flow = ComputeFlow(s, RatingState{}, level, velocity);
            QVERIFY(std::abs(velocity / expectedVelocity - 1.0) < 1e-9);
            QVERIFY(std::abs(flow / (expectedVelocity * std::numbers::pi / 4.0) - 1.0) < 1e-9);
        }
    }

    void manningsPartFullMatchesClippedPolygon_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::newRow("a tenth") << 0.1;
        QTest::newRow("a quarter") << 0.25;
        QTest::newRow("half") << 0.5;
        QTest::newRow("four fifths") << 0.8;
        QTest::newRow("nearly full") << 0.97;
    }
    void manningsPartFullMatchesClippedPolygon()
    {
        QFETCH(double, fraction);
        // An 18 inch pipe, slope 0.5 %, the level in inches.
        LoggerSettings s = Manning(18.0, 0.012, 0.5);
        s.ManningsDType = 1;
        s.ManningsSType = 1;
        s.EngUnits[0] = QStringLiteral("Inches");
        const double diameter = 1.5;
        const Segment segment = ClippedCircle(fraction * diameter, diameter);
        QVERIFY(std::abs(PipeFlowArea(fraction * diameter, diameter) / segment.area - 1.0) < 1e-6);
        QVERIFY(std::abs(PipeWettedPerimeter(fraction * diameter, diameter) / segment.perimeter - 1.0) < 1e-6);
        const double expectedVelocity =
            1.486 / 0.012 * std::sqrt(0.005) * std::pow(segment.area / segment.perimeter, 0.667);
        double velocity = 0.0;
        const double flow = ComputeFlow(s, RatingState{}, fraction * 18.0, velocity);
        QVERIFY(std::abs(velocity / expectedVelocity - 1.0) < 1e-5);
        QVERIFY(std::abs(flow / (expectedVelocity * segment.area) - 1.0) < 1e-5);
    }

    void manningsClamps()
    {
        // A diameter below 0.01 foot and a roughness below 0.001 are raised.
        QCOMPARE(Flow(Manning(0.001, 0.013, 0.01), {}, 1.0), Flow(Manning(0.01, 0.013, 0.01), {}, 1.0));
        QVERIFY(Flow(Manning(0.02, 0.013, 0.01), {}, 1.0) > Flow(Manning(0.01, 0.013, 0.01), {}, 1.0));
        QCOMPARE(Flow(Manning(1.0, 0.0001, 0.01), {}, 0.5), Flow(Manning(1.0, 0.001, 0.01), {}, 0.5));
        QCOMPARE(Flow(Manning(1.0, -3.0, 0.01), {}, 0.5), Flow(Manning(1.0, 0.001, 0.01), {}, 0.5));
        // A slope in percent is divided by 100.
        LoggerSettings percent = Manning(1.0, 0.013, 1.0);
        percent.ManningsSType = 1;
        QCOMPARE(Flow(percent, {}, 0.5), Flow(Manning(1.0, 0.013, 0.01), {}, 0.5));
        // The diameter in meters.
        LoggerSettings metric = Manning(0.3048, 0.013, 0.01);
        metric.ManningsDType = 2;
        QVERIFY(std::abs(Flow(metric, {}, 0.5) / Flow(Manning(1.0, 0.013, 0.01), {}, 0.5) - 1.0) < 1e-12);
    }

    void arcCosLimits()
    {
        QCOMPARE(ArcCos(1.0), 0.0);
        QCOMPARE(ArcCos(0.9999995), 0.0);
        QCOMPARE(ArcCos(-1.0), 3.14159265358979);
        for (double x : {-0.99, -0.5, 0.0, 0.3, 0.99}) {
            QVERIFY(std::abs(ArcCos(x) - std::acos(x)) < 1e-12);
        }
        QCOMPARE(PipeFlowArea(0.0, 1.0), 0.0);
        QCOMPARE(PipeWettedPerimeter(0.0, 1.0), 0.0);
    }

    void powerLawAndEmptyTable()
    {
        RatingState rating;
        ClearFlowTable(rating);
        rating.RatingOffset = 0.1;
        rating.RatingExponent = 1.5;
        rating.RatingMultiplier = 3.0;
        LoggerSettings s = IdentityFlume();
        for (uint8_t mode : {2, 3}) {
            s.FlowMode = mode;
            QVERIFY(std::abs(Flow(s, rating, 0.9) - 3.0) < 1e-12);
        }
        s.FlowMode = 4; // the table method has no power law
        QCOMPARE(Flow(s, rating, 0.9), 0.0);
        // A table of one point gives no flow, whatever the mode.
        ResetFlowTable(rating);
        s.FlowMode = 2;
        QCOMPARE(Flow(s, rating, 0.9), 0.0);
    }

    void tableInterpolation_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("flow");
        // Points (0.5, 1), (1, 3), (2, 7), (2, 9), (3, 10), (5, 20).
        QTest::newRow("below the first point: line from the origin") << 0.25 << 0.5;
        QTest::newRow("on the first point") << 0.5 << 1.0;
        QTest::newRow("inside the first segment") << 0.75 << 2.0;
        QTest::newRow("on an inner point") << 1.0 << 3.0;
        QTest::newRow("inner segment") << 1.5 << 5.0;
        QTest::newRow("on equal levels: the step up") << 2.0 << 9.0;
        QTest::newRow("after the equal levels") << 2.5 << 9.5;
        QTest::newRow("last segment") << 4.0 << 15.0;
        QTest::newRow("on the last point") << 5.0 << 20.0;
        QTest::newRow("last segment extended") << 7.0 << 30.0;
    }
    void tableInterpolation()
    {
        QFETCH(double, level);
        QFETCH(double, flow);
        const RatingState rating = Table({{0.5, 1}, {1, 3}, {2, 7}, {2, 9}, {3, 10}, {5, 20}});
        LoggerSettings s = IdentityFlume();
        for (uint8_t mode : {2, 3, 4}) {
            s.FlowMode = mode;
            double velocity = -1.0;
            QCOMPARE(ComputeFlow(s, rating, level, velocity), flow);
            QCOMPARE(velocity, 0.0);
        }
    }

    void equalLevelsTakeTheLowerPointsFlow()
    {
        LoggerSettings s = IdentityFlume();
        s.FlowMode = 4;
        const RatingState rating = Table({{1, 2}, {2, 4}, {3, 6}, {3, 8}});
        QCOMPARE(Flow(s, rating, 3.0), 6.0);
        QCOMPARE(Flow(s, rating, 9.0), 6.0);
    }

    void tableOfTwoPoints()
    {
        LoggerSettings s = IdentityFlume();
        s.FlowMode = 4;
        const RatingState rating = Table({{1, 2}, {3, 6}});
        QCOMPARE(Flow(s, rating, 0.5), 1.0);
        QCOMPARE(Flow(s, rating, 2.0), 4.0);
        QCOMPARE(Flow(s, rating, 4.0), 8.0);
    }

    // The binary search against a straight scan, for every table size.
    void tableSearchFindsTheEnclosingSegment()
    {
        QRandomGenerator random(20261206);
        LoggerSettings s = IdentityFlume();
        s.FlowMode = 4;
        for (int n = 3; n <= MaxFlowTablePoints; n += (n < 40 ? 1 : 37)) {
            RatingState rating;
            ClearFlowTable(rating);
            double level = 0.1;
            for (int k = 1; k <= n; ++k) {
                level += 0.01 + random.generateDouble();
                rating.FlowTable.push_back({level, random.generateDouble() * 100.0});
            }
            for (int trial = 0; trial < 50; ++trial) {
                const double x = rating.FlowTable[1].Level + random.generateDouble() * (level - rating.FlowTable[1].Level);
                size_t i = 1;
                while (rating.FlowTable[i + 1].Level <= x) {
                    ++i;
                }
                const RatingPoint& a = rating.FlowTable[i];
                const RatingPoint& b = rating.FlowTable[i + 1];
                const double expected = a.Flow + (b.Flow - a.Flow) * (x - a.Level) / (b.Level - a.Level);
                QVERIFY2(std::abs(Flow(s, rating, x) - expected) < 1e-9,
                         qPrintable(QStringLiteral("n %1 level %2").arg(n).arg(x)));
            }
        }
    }

    void outputUnits_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<double>("perCfs");
        // One cubic foot per second in each unit.
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
        LoggerSettings s = IdentityFlume();
        s.FlowUnits = static_cast<uint8_t>(units);
        QVERIFY(std::abs(Flow(s, IdentityPowerLaw(), 2.0) / (2.0 * perCfs) - 1.0) < 2e-4);
    }

    void velocityUnits()
    {
        LoggerSettings s = Manning(1.0, 0.013, 0.01);
        double feetPerSecond = 0.0;
        const double cfs = ComputeFlow(s, {}, 0.5, feetPerSecond);
        s.VelUnits = 1;
        s.FlowUnits = 3;
        double metersPerSecond = 0.0;
        const double cms = ComputeFlow(s, {}, 0.5, metersPerSecond);
        QVERIFY(std::abs(metersPerSecond - feetPerSecond * 0.3048) < 1e-12);
        QVERIFY(std::abs(cms - cfs * 0.02832) < 1e-12);
    }

    void arithmeticFaultsGiveZero_data()
    {
        QTest::addColumn<int>("fault");
        const char* names[] = {"undefined level",      "infinite level",        "infinite offset",
                               "negative slope",       "infinite slope",        "undefined roughness",
                               "infinite diameter",    "negative power base",   "undefined exponent",
                               "power law overflow",   "table overflow",        "unit overflow",
                               "undefined offset"};
        for (int k = 0; k < static_cast<int>(std::size(names)); ++k) {
            QTest::newRow(names[k]) << k;
        }
    }
    void arithmeticFaultsGiveZero()
    {
        QFETCH(int, fault);
        LoggerSettings s = Manning(1.0, 0.013, 0.01);
        RatingState rating = IdentityPowerLaw();
        double level = 0.5;
        switch (fault) {
        case 0: level = NaN; break;
        case 1: level = Infinity; break;
        case 2: s.LevelOffset = Infinity; break;
        case 3: s.ManningsS = -0.01; break;
        case 4: s.ManningsS = Infinity; break;
        case 5: s.ManningsN = NaN; break;
        case 6: s.ManningsD = Infinity; break;
        case 7: s.FlowMode = 3; rating.RatingOffset = -1.0; rating.RatingExponent = 1.5; break;
        case 8: s.FlowMode = 2; rating.RatingExponent = NaN; break;
        case 9: s.FlowMode = 2; rating.RatingExponent = 400.0; level = 100.0; break;
        case 10: s.FlowMode = 4; rating = Table({{1, 1e308}, {2, -1e308}}); level = 1.75; break;
        case 11: s.FlowMode = 2; s.FlowUnits = 1; rating.RatingMultiplier = 1e306; level = 1000.0; break;
        case 12: s.LevelOffset = NaN; break;
        }
        double velocity = -1.0;
        QCOMPARE(ComputeFlow(s, rating, level, velocity), 0.0);
        QCOMPARE(velocity, 0.0);
    }

    void decimalsForRange_data()
    {
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("resolution");
        QTest::addColumn<int>("decimals");
        QTest::newRow("4096") << 4096.0 << 0.0 << 0;
        QTest::newRow("coarse steps") << 1.0 << 1.0 << 0;
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
        QFETCH(int, decimals);
        QCOMPARE(DecimalsForRange(maxValue, resolution), decimals);
    }

    void estimatedDecimals_data()
    {
        QTest::addColumn<double>("multiplier");
        QTest::addColumn<int>("flowDecimals");
        // Flow = multiplier x level over 0 to 100 feet: the largest flow is
        // 98.5 x multiplier, a step of 16 counts 0.0244 x multiplier.
        QTest::newRow("up to 98 000") << 1000.0 << 0;
        QTest::newRow("up to 985") << 10.0 << 1;
        QTest::newRow("up to 98") << 1.0 << 2;
        QTest::newRow("up to 0.98") << 0.01 << 4;
    }
    void estimatedDecimals()
    {
        QFETCH(double, multiplier);
        QFETCH(int, flowDecimals);
        LoggerSettings s = IdentityFlume();
        s.RawScaleUpper[0] = 65535;
        s.UpperLimit[0] = 100.0;
        RatingState rating = IdentityPowerLaw();
        rating.RatingMultiplier = multiplier;
        FlowDisplayState display;
        EstimateFlowDecimals(s, rating, true, display);
        QCOMPARE(display.FlowDecimals, flowDecimals);
        QCOMPARE(display.VelocityDecimals, 4); // a flume has no velocity
    }

    void estimatedDecimalsFallBackToTwo_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("not connected") << 0;
        QTest::newRow("units allow no flow") << 1;
        QTest::newRow("equal raw limits") << 2;
        QTest::newRow("engineering limits too close") << 3;
        QTest::newRow("raw count overflow") << 4;
    }
    void estimatedDecimalsFallBackToTwo()
    {
        QFETCH(int, fault);
        LoggerSettings s = Manning(1.0, 0.013, 0.01);
        s.RawScaleUpper[0] = 65535;
        s.UpperLimit[0] = 1.0;
        FlowDisplayState display;
        display.FlowDecimals = 0;
        display.VelocityDecimals = 0;
        EstimateFlowDecimals(s, {}, true, display);
        QVERIFY(display.FlowDecimals != 2 || display.VelocityDecimals != 2);
        bool connected = true;
        switch (fault) {
        case 0: connected = false; break;
        case 1: display.FlowUnitsInvalid = true; break;
        case 2: s.RawScaleUpper[0] = s.RawScaleLower[0]; break;
        case 3: s.UpperLimit[0] = 0.00009; break;
        case 4: s.RawScaleLower[0] = std::numeric_limits<int32_t>::min(); break;
        }
        EstimateFlowDecimals(s, {}, connected, display);
        QCOMPARE(display.FlowDecimals, 2);
        QCOMPARE(display.VelocityDecimals, 2);
    }
};

BREVEL_TEST(FlowFromLevelTest)
#include "tst_flowfromlevel.moc"
