#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "flow/FlowFromLevel.h"
#include "config/Rating.h"

#include <QLineF>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

using Points = QList<QPointF>; // level, flow
using Change = std::function<void(LoggerSettings&)>;

RatingState Rating(const Points& table = {}, double multiplier = 1.0)
{
    RatingState r;
    ClearFlowTable(r);
    r.RatingName = QStringLiteral("- None -");
    for (const QPointF& p : table) {
        r.FlowTable.push_back({p.x(), p.y()});
    }
    r.RatingExponent = 1.0;
    r.RatingMultiplier = multiplier;
    return r;
}

// The factory settings: channel 1 in feet over 0 to 100, a one-foot pipe
// (n 0.014, slope 1 %), the offset in inches; here flow up to 250.5 CFS and
// velocity up to 3 FPS.
LoggerSettings FactorySettings()
{
    LoggerSettings s;
    RatingState rating;
    ApplyDefaultSettings(s, rating);
    s.FlowTop = 250.5;
    s.VelTop = 3.0;
    return s;
}

// A flume in feet whose rating is flow = level, so that the flow shows the
// level after unit conversion and offset, with one change; every mode but the
// pipe's has velocity 0.
struct FlowCase {
    double level = 0.0;
    double flow = 0.0;
    QString units = QStringLiteral("Feet");
    double offset = 0.0;
    int offsetType = 0;
    int mode = 2;
    int flowUnits = 0;
    Points table = {};
    double multiplier = 1.0;
    double slope = 0.0;
};

} // namespace

class FlowFromLevelTest : public QObject {
    Q_OBJECT
private slots:
    void flow_data()
    {
        QTest::addColumn<FlowCase>("c");
        const Points six{{0.5, 1}, {1, 3}, {2, 7}, {2, 9}, {3, 10}, {5, 20}};
        const Points flatEnd{{1, 2}, {2, 4}, {3, 6}, {3, 8}};
        QTest::newRow("inches, blanks and case") << FlowCase{.level = 12.0, .flow = 1.0, .units = "  iNcHeS "};
        QTest::newRow("meters") << FlowCase{.level = 0.3048, .flow = 1.0, .units = "Meters"};
        QTest::newRow("cm") << FlowCase{.level = 30.48, .flow = 1.0, .units = "cm"};
        QTest::newRow("volts count as feet") << FlowCase{.level = 2.0, .flow = 2.0, .units = "Volts"};
        QTest::newRow("offset in cm") << FlowCase{.level = 1.0, .flow = 2.0, .offset = 30.48, .offsetType = 3};
        QTest::newRow("zero level ignores offset") << FlowCase{.level = 0.0, .flow = 0.0, .offset = 5.0};
        QTest::newRow("offset below zero") << FlowCase{.level = 1.0, .flow = 0.0, .offset = -2.0};
        QTest::newRow("no flow mode") << FlowCase{.level = 2.0, .flow = 0.0, .mode = 0};
        QTest::newRow("table mode has no power law") << FlowCase{.level = 2.0, .flow = 0.0, .mode = 4};
        QTest::newRow("GPM") << FlowCase{.level = 2.0, .flow = 2.0 * 448.83, .flowUnits = 1};
        QTest::newRow("MGD") << FlowCase{.level = 2.0, .flow = 2.0 * 0.64632, .flowUnits = 2};
        QTest::newRow("CMS") << FlowCase{.level = 2.0, .flow = 2.0 * 0.0283168, .flowUnits = 3};
        QTest::newRow("LPS") << FlowCase{.level = 2.0, .flow = 2.0 * 28.3168, .flowUnits = 4};
        QTest::newRow("unknown flow unit stays CFS") << FlowCase{.level = 2.0, .flow = 2.0, .flowUnits = 9};
        // Flume, weir and table mode all take a table when there is one.
        QTest::newRow("below the first point") << FlowCase{.level = 0.25, .flow = 0.5, .mode = 4, .table = six};
        QTest::newRow("on equal levels: the step up") << FlowCase{.level = 2.0, .flow = 9.0, .table = six};
        QTest::newRow("after the equal levels") << FlowCase{.level = 2.5, .flow = 9.5, .mode = 4, .table = six};
        QTest::newRow("last segment extended") << FlowCase{.level = 7.0, .flow = 30.0, .mode = 3, .table = six};
        QTest::newRow("equal last levels: the lower flow") << FlowCase{.level = 3.0, .flow = 6.0, .table = flatEnd};
        QTest::newRow("equal last levels, above") << FlowCase{.level = 9.0, .flow = 6.0, .mode = 4, .table = flatEnd};
        QTest::newRow("two points, above") << FlowCase{.level = 4.0, .flow = 8.0, .mode = 3, .table = {{1, 2}, {3, 6}}};
        QTest::newRow("one point: no flow") << FlowCase{.level = 2.0, .flow = 0.0, .table = {{1, 5}}};
        // Arithmetic faults give flow 0.
        QTest::newRow("undefined level") << FlowCase{.level = std::numeric_limits<double>::quiet_NaN()};
        QTest::newRow("infinite offset") << FlowCase{.level = 0.5, .offset = std::numeric_limits<double>::infinity()};
        QTest::newRow("negative slope") << FlowCase{.level = 0.5, .mode = 1, .slope = -0.01};
        QTest::newRow("table overflow") << FlowCase{.level = 1.75, .mode = 4, .table = {{1, 1e308}, {2, -1e308}}};
        QTest::newRow("unit overflow") << FlowCase{.level = 1000.0, .flowUnits = 1, .multiplier = 1e306};
    }
    void flow()
    {
        QFETCH(FlowCase, c);
        LoggerSettings s;
        s.FlowMode = uint8_t(c.mode);
        s.EngUnits[0] = c.units;
        s.LevelOffset = c.offset;
        s.LevelOffsetType = uint8_t(c.offsetType);
        s.FlowUnits = uint8_t(c.flowUnits);
        s.ManningsS = c.slope;
        double velocity = -1.0;
        const double computed = ComputeFlow(s, Rating(c.table, c.multiplier), c.level, velocity);
        QVERIFY2(std::abs(computed - c.flow) <= 2e-4 * std::max(1.0, c.flow), qPrintable(QString::number(computed)));
        QCOMPARE(velocity, 0.0);
    }

    // Against the segment of a circle: area (D^2 / 4)(t - sin t cos t) and
    // wetted perimeter D t, with t = acos(1 - 2 depth / D). The factory pipe
    // (one foot, n 0.014, slope 1 %) with one change; the level in feet, and
    // the pipe, roughness and slope the flow must match.
    void mannings_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("feet");
        QTest::addColumn<double>("nUsed");
        QTest::addColumn<double>("slopeUsed");
        const auto row = [](const char* name, const Change& change, double level, double feet = 1.0, double n = 0.014,
                            double slope = 0.01) { QTest::newRow(name) << change << level << feet << n << slope; };
        const auto none = [](auto&) {};
        row("a quarter", [](auto& s) { s.ManningsD = 1.5; s.ManningsN = 0.012; s.ManningsS = 0.5; }, 0.375,
            1.5, 0.012, 0.005);
        row("nearly full, 18 inch, slope as a fraction", [](auto& s) {
            s.ManningsD = 18.0; s.ManningsDType = 1; s.ManningsN = 0.012; s.ManningsS = 0.005; s.ManningsSType = 0;
        }, 1.455, 1.5, 0.012, 0.005);
        row("full at the crown", none, 1.0);
        row("above the crown runs full", none, 40.0);
        row("tiny diameter raised to 0.01 ft", [](auto& s) { s.ManningsD = 0.001; }, 1.0, 0.01);
        row("tiny roughness raised to 0.001", [](auto& s) { s.ManningsN = 0.0001; }, 0.5, 1.0, 0.001);
        row("velocity in meters per second", [](auto& s) { s.VelUnits = 1; }, 0.5);
    }
    void mannings()
    {
        QFETCH(Change, change);
        QFETCH(double, level);
        QFETCH(double, feet);
        QFETCH(double, nUsed);
        QFETCH(double, slopeUsed);
        LoggerSettings s = FactorySettings();
        change(s);
        const double depth = std::min(level, feet);
        const double t = std::acos(1.0 - 2.0 * depth / feet);
        const double area = feet * feet / 4.0 * (t - std::sin(t) * std::cos(t));
        const double velocity = 1.486 / nUsed * std::sqrt(slopeUsed) * std::pow(area / (feet * t), 0.667);
        double shown = 0.0;
        QCOMPARE(ComputeFlow(s, {}, level, shown), velocity * area);
        QCOMPARE(shown, s.VelUnits == 1 ? velocity * 0.3048 : velocity);
    }

    void arcCosLimits()
    {
        QCOMPARE(ArcCos(0.9999995), 0.0);
        QCOMPARE(ArcCos(-1.0), 3.14159265358979);
        QCOMPARE(PipeFlowArea(0.0, 1.0), 0.0);
    }

    // The binary search against a straight scan, for every table size.
    void tableSearchFindsTheEnclosingSegment()
    {
        QRandomGenerator random(20261206);
        LoggerSettings s = FactorySettings();
        s.FlowMode = 4;
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
                const auto above = std::ranges::find_if(points, [x](const QPointF& p) { return p.x() > x; });
                const QLineF segment(*(above - 1), *above);
                double velocity = 0.0;
                QCOMPARE(ComputeFlow(s, r, x, velocity), segment.pointAt((x - segment.x1()) / segment.dx()).y());
            }
        }
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

    // Flume rows: flow = multiplier x level over 0 to 100 feet, the largest
    // flow 98.5 x multiplier, a step of 16 counts 0.0244 x multiplier.
    // The factory pipe peaks near 3.6 cfs and 4.8 fps; a fault in its scaling
    // keeps 2 and 2 instead of its 4 and 3. Over fine counts the
    // steps are small (4 and 3 decimals). With 100 counts to the foot the
    // velocity jumps 2.2 fps from the dry pipe to the next reading (1 decimal);
    // flow counts only steps between flowing readings, and every later
    // reading is of the full pipe (still 4).
    void estimatedDecimals_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("flowDecimals");
        QTest::addColumn<int>("velocityDecimals");
        QTest::addColumn<double>("multiplier");
        QTest::addColumn<Points>("table");
        const auto row = [](const char* name, const Change& change, int flow, int velocity, double multiplier = 0.0,
                            const Points& table = {}) {
            QTest::newRow(name) << change << flow << velocity << multiplier << table;
        };
        const auto flume = [](auto& s) { s.FlowMode = 2; };
        row("up to 985", flume, 1, 4, 10.0);
        // Flows below 1 with one steep step of 0.195 (at 1.5625 ft): 2 places.
        row("small flows, a steep step", flume, 2, 4, 0.0, {{1.5, 0.001}, {1.6, 0.8}, {100, 0.9}});
        row("equal raw limits", [](auto& s) { s.RawScaleUpper[0] = 0; }, 2, 2);
        row("engineering limits too close", [](auto& s) { s.UpperLimit[0] = 0.00009; }, 2, 2);
        row("raw count overflow", [](auto& s) { s.RawScaleLower[0] = INT32_MIN; }, 2, 2);
        row("pipe, fine counts", [](auto& s) { s.UpperLimit[0] = 1.0; }, 4, 3);
        row("pipe, coarse counts", [](auto& s) {
            s.UpperLimit[0] = 1.0;
            s.RawScaleUpper[0] = 100;
        }, 4, 1);
    }
    void estimatedDecimals()
    {
        QFETCH(Change, change);
        QFETCH(double, multiplier);
        QFETCH(Points, table);
        LoggerSettings s = FactorySettings();
        change(s);
        FlowDisplayState display;
        EstimateFlowDecimals(s, Rating(table, multiplier), true, display);
        QTEST(int(display.FlowDecimals), "flowDecimals");
        QTEST(int(display.VelocityDecimals), "velocityDecimals");
    }

    // The factory settings with one change: the frame's visible rows, the two
    // columns and the unit's tooltip.
    void display_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const Change& change, const QString& shown, bool connected = true) {
            QTest::newRow(name) << change << connected << shown;
        };
        const auto mode = [](int m) { return [m](LoggerSettings& s) { s.FlowMode = uint8_t(m); }; };
        const auto units = [](const char* u) { return [u](LoggerSettings& s) { s.EngUnits[0] = u; }; };
        const auto length = [](double value, int unit) {
            return [=](LoggerSettings& s) {
                s.LevelOffset = s.ManningsD = value;
                s.LevelOffsetType = s.ManningsDType = uint8_t(unit);
            };
        };
        const QString pipe = QStringLiteral(" Manning's Equation | offset %1 | pipe %2, 1 %, 0.014 | %3");
        const QString factory = pipe.arg("0 Inches", "1 Foot");
        const QString columns = QStringLiteral("0.00..250.50 CFS | 0.00..3.00 FPS");
        row("factory", [](LoggerSettings&) {}, factory.arg(columns));
        row("no flow", mode(0), " No Flow Calculation | off | off");
        row("flume", mode(2), " Flume | Flume Name: - None - | offset 0 Inches | 0.00..250.50 CFS | off");
        row("weir", mode(3), " Weir | Weir Name: - None - | offset 0 Inches | 0.00..250.50 CFS | off");
        row("table", mode(4), " Table Method | Table Name: - None - | offset 0 Inches | 0.00..250.50 CFS | off");
        row("unknown mode", mode(7), "rows kept | 0.00..250.50 CFS | off");
        row("disconnected", [](LoggerSettings&) {}, "hidden | off | off", false);
        row("feet in any case", units("  fEET "), factory.arg(columns));
        row("a singular unit allows no flow", units("Meter"),
            factory.arg("off | off | For flow measurement, channel 1 units must be one of Feet, Inches, "
                                 "Meters or cm!"));
        row("2 meters", length(2.0, 2), pipe.arg("2 Meters", "2 Meters", columns));
        row("1 inch", length(1.0, 1), pipe.arg("1 Inch", "1 Inch", columns));
        row("2.5 cm", length(2.5, 3), pipe.arg("2.5 cm", "2.5 cm", columns));
        row("-0.25 feet", length(-0.25, 0), pipe.arg("-0.25 Feet", "-0.25 Feet", columns));
        row("unknown length unit", length(3.0, 9), pipe.arg("3 Feet", "3 Feet", columns));
        row("slope as a fraction, LPS, MPS", [](LoggerSettings& s) {
            s.ManningsSType = 0;
            s.FlowUnits = 4;
            s.VelUnits = 1;
        }, " Manning's Equation | offset 0 Inches | pipe 1 Foot, 1, 0.014 | 0.00..250.50 LPS | 0.00..3.00 MPS");
        row("unknown flow unit", [](LoggerSettings& s) { s.FlowUnits = 9; },
            factory.arg("0.00..250.50  | 0.00..3.00 FPS"));
    }
    void display()
    {
        QFETCH(Change, change);
        QFETCH(bool, connected);
        LoggerSettings s = FactorySettings();
        change(s);
        FlowDisplayState state{4, 3, false};
        const FlowDisplay d = UpdateFlowDisplay(s, Rating({}, 2.0), connected, state);
        const auto column = [](const FlowDisplay::Column& c) {
            return c.Active ? c.MinText + ".." + c.MaxText + u' ' + c.UnitsText : QStringLiteral("off");
        };
        const FlowDisplay::Rows r = d.FrameRows.value_or(FlowDisplay::Rows{});
        QStringList shown{d.ModeLabelsVisible ? (d.FrameRows ? r.ModeText : QStringLiteral("rows kept")) : "hidden"};
        shown << (r.RatingVisible ? r.RatingCaption + r.RatingText : QString())
              << (r.OffsetVisible ? "offset" + r.OffsetText : QString())
              << (r.PipeVisible ? "pipe" + r.DiameterText + u',' + r.SlopeText + u',' + r.RoughnessText : QString())
              << column(d.Flow) << column(d.Velocity) << d.UnitsToolTip;
        shown.removeAll(QString());
        QTEST(shown.join(QStringLiteral(" | ")), "shown");
        QCOMPARE(state.FlowUnitsInvalid, !d.UnitsToolTip.isEmpty());
        if (!connected || state.FlowUnitsInvalid) {
            QCOMPARE(state.FlowDecimals, 2);
            QCOMPARE(state.VelocityDecimals, 2);
        }
        // An active column gets its range and keeps its newest value until the next sample.
        MeterColumn flow{false, false, -5.0, 9.0, 12.0, QString(), 7};
        MeterColumn velocity = flow;
        ApplyFlowDisplayToColumns(d, flow, velocity);
        for (const auto& [column, shown] : {std::pair{flow, d.Flow}, std::pair{velocity, d.Velocity}}) {
            QCOMPARE(column.Shown, shown.Active);
            QCOMPARE(column.Value, shown.Active ? 12.0 : 0.0);
            QCOMPARE(column.Minimum, shown.Active ? 0.0 : -5.0);
            QCOMPARE(column.Maximum, shown.Active ? shown.Maximum : 9.0);
        }
    }

    void derivedReadings()
    {
        LoggerSettings s = FactorySettings();
        s.FlowMode = 2;
        const FlowDisplayState state{3, 1, false};
        const RatingState rating = Rating({}, 2.0);
        const DerivedReadings readings = ComputeDerivedReadings(s, rating, state, {1.25, -1.0, 0.0, 2.0, -1.0});
        QCOMPARE(readings.FlowTexts, (std::array<QString, 5>{"2.500", "", "0.000", "4.000", ""}));
        QCOMPARE(readings.VelocityTexts, (std::array<QString, 5>{"0.0", "", "0.0", "0.0", ""}));
        QCOMPARE(readings.FlowValue, 2.5);
        const DerivedReadings missing = ComputeDerivedReadings(s, rating, state, {-1.0, 1.0, -1.0, -1.0, -1.0});
        QCOMPARE(missing.FlowTexts[0], QString());
        QCOMPARE(missing.FlowTexts[1], QStringLiteral("2.000"));
        QCOMPARE(missing.FlowValue, 0.0);
        s.FlowMode = 1; // a pipe's velocity is the newest value of its column
        const DerivedReadings pipe = ComputeDerivedReadings(s, RatingState{}, state, {0.5, 0.25, -1.0, -1.0, -1.0});
        QVERIFY(pipe.VelocityValue > 1.0);
        QCOMPARE(pipe.VelocityTexts[0], QString::number(pipe.VelocityValue, 'f', 1));
    }
};

BREVEL_TEST(FlowFromLevelTest)
#include "tst_flowfromlevel.moc"
