#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/Rating.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "flow/FlowFromLevel.h"
#include "flow/FlowSource.h"
#include "flow/RatingCatalogue.h"

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

// The factory settings (channel 1 in feet over 0 to 100, a one-foot pipe), flow up to 250.5 CFS, velocity 3 FPS.
LoggerSettings FactorySettings()
{
    LoggerSettings s;
    RatingState rating;
    ApplyDefaultSettings(s, rating);
    s.FlowTop = 250.5;
    s.VelTop = 3.0;
    return s;
}

// A flume in feet with flow = level: the flow shows the level after unit conversion and offset.
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

QStringList TableLines(int count)
{
    QStringList lines{QStringLiteral("Level, Flow")};
    for (int k = 1; k <= count; ++k) {
        lines << QStringLiteral("%1 %2").arg(k).arg(k * 2);
    }
    return lines;
}

QString Told(const RecordingPrompter& prompter)
{
    const char* icons[] = {"none", "information", "question", "warning", "error"};
    QStringList told;
    for (const RecordingPrompter::Message& m : prompter.messages) {
        told << m.title + u'|' + m.text + u'|' + QLatin1String(icons[int(m.icon)]);
    }
    return told.join(u'\n');
}

} // namespace

class FlowTest : public QObject {
    Q_OBJECT
private slots:
    void flow_data()
    {
        QTest::addColumn<FlowCase>("c");
        const Points six{{0.5, 1}, {1, 3}, {2, 7}, {2, 9}, {3, 10}, {5, 20}};
        const Points flatEnd{{1, 2}, {2, 4}, {3, 6}, {3, 8}};
        QTest::newRow("inches, GPM") << FlowCase{.level = 12.0, .flow = 448.83, .units = "  iNcHeS ", .flowUnits = 1};
        QTest::newRow("meters, MGD") << FlowCase{.level = 0.3048, .flow = 0.64632, .units = "Meters", .flowUnits = 2};
        QTest::newRow("cm, CMS") << FlowCase{.level = 30.48, .flow = 0.0283168, .units = "cm", .flowUnits = 3};
        QTest::newRow("volts, LPS") << FlowCase{.level = 2.0, .flow = 56.6336, .units = "Volts", .flowUnits = 4};
        QTest::newRow("offset in cm, unknown flow unit stays CFS")
            << FlowCase{.level = 1.0, .flow = 2.0, .offset = 30.48, .offsetType = 3, .flowUnits = 9};
        QTest::newRow("zero level ignores offset") << FlowCase{.level = 0.0, .flow = 0.0, .offset = 5.0};
        QTest::newRow("offset below zero") << FlowCase{.level = 1.0, .flow = 0.0, .offset = -2.0};
        QTest::newRow("no flow mode") << FlowCase{.level = 2.0, .flow = 0.0, .mode = 0};
        QTest::newRow("table mode has no power law") << FlowCase{.level = 2.0, .flow = 0.0, .mode = 4};
        // Flume, weir and table mode all take a table when there is one.
        QTest::newRow("below the first point") << FlowCase{.level = 0.25, .flow = 0.5, .mode = 4, .table = six};
        QTest::newRow("on equal levels: the step up") << FlowCase{.level = 2.0, .flow = 9.0, .table = six};
        QTest::newRow("after the equal levels") << FlowCase{.level = 2.5, .flow = 9.5, .mode = 4, .table = six};
        QTest::newRow("last segment extended") << FlowCase{.level = 7.0, .flow = 30.0, .mode = 3, .table = six};
        QTest::newRow("equal last levels: the lower flow") << FlowCase{.level = 3.0, .flow = 6.0, .table = flatEnd};
        QTest::newRow("two points, above") << FlowCase{.level = 4.0, .flow = 8.0, .mode = 3, .table = {{1, 2}, {3, 6}}};
        QTest::newRow("one point: no flow") << FlowCase{.level = 2.0, .flow = 0.0, .table = {{1, 5}}};
        // Arithmetic faults give flow 0; a flat last segment would give a finite flow for an infinite level.
        QTest::newRow("infinite level, flat last segment")
            << FlowCase{.level = 0.5, .offset = std::numeric_limits<double>::infinity(), .mode = 4, .table = flatEnd};
        QTest::newRow("negative slope") << FlowCase{.level = 0.5, .mode = 1, .slope = -0.01};
        QTest::newRow("unit overflow") << FlowCase{.level = 1.0, .flowUnits = 1, .multiplier = 1e306};
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

    // A circle's segment: area (D^2 / 4)(t - sin t cos t), wetted perimeter D t, t = acos(1 - 2 depth / D).
    void mannings_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("feet");
        QTest::addColumn<double>("nUsed");
        QTest::addColumn<double>("slopeUsed");
        const auto row = [](const char* name, const Change& change, double level, double feet = 1.0, double n = 0.014,
                            double slope = 0.01) { QTest::newRow(name) << change << level << feet << n << slope; };
        row("a quarter", [](auto& s) { s.ManningsD = 1.5; s.ManningsN = 0.012; s.ManningsS = 0.5; }, 0.375,
            1.5, 0.012, 0.005);
        row("nearly full, 18 inch, slope as a fraction", [](auto& s) {
            s.ManningsD = 18.0; s.ManningsDType = 1; s.ManningsN = 0.012; s.ManningsS = 0.005; s.ManningsSType = 0;
        }, 1.455, 1.5, 0.012, 0.005);
        row("full at the crown", [](auto&) {}, 1.0);
        row("above the crown runs full, velocity in meters per second", [](auto& s) { s.VelUnits = 1; }, 40.0);
        row("tiny diameter raised to 0.01 ft", [](auto& s) { s.ManningsD = 0.001; }, 1.0, 0.01);
        row("tiny roughness raised to 0.001", [](auto& s) { s.ManningsN = 0.0001; }, 0.5, 1.0, 0.001);
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
        QCOMPARE(shown, s.VelUnits != 0 ? velocity * 0.3048 : velocity);
    }

    void arcCosLimits()
    {
        QCOMPARE(ArcCos(0.9999995), 0.0);
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

    // A flume: flow = multiplier x level, at most 98.5 x multiplier. The factory pipe peaks near 3.6 cfs, 4.8 fps;
    // at 100 counts a foot its velocity jumps 2.2 fps from dry to the next reading (flow counts only flowing steps).
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

    void display_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const Change& change, const QString& shown, bool connected = true) {
            QTest::newRow(name) << change << connected << shown;
        };
        const auto mode = [](int m) { return [m](LoggerSettings& s) { s.FlowMode = uint8_t(m); }; };
        const auto length = [](double offset, int offsetUnit, double diameter, int diameterUnit) {
            return [=](LoggerSettings& s) {
                s.LevelOffset = offset;
                s.LevelOffsetType = uint8_t(offsetUnit);
                s.ManningsD = diameter;
                s.ManningsDType = uint8_t(diameterUnit);
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
        row("a singular unit allows no flow", [](LoggerSettings& s) { s.EngUnits[0] = "Meter"; },
            factory.arg("off | off | For flow measurement, channel 1 units must be one of Feet, Inches, "
                        "Meters or cm!"));
        row("feet in any case", [](LoggerSettings& s) { s.EngUnits[0] = "  fEET "; }, factory.arg(columns));
        row("offset 2 meters, pipe 1 inch", length(2.0, 2, 1.0, 1), pipe.arg("2 Meters", "1 Inch", columns));
        row("offset 2.5 cm, pipe in an unknown unit", length(2.5, 3, 3.0, 9), pipe.arg("2.5 cm", "3 Feet", columns));
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
        for (const auto& [record, worked] : {std::pair{flow, d.Flow}, std::pair{velocity, d.Velocity}}) {
            QCOMPARE(record.Shown, worked.Active);
            QCOMPARE(record.Value, worked.Active ? 12.0 : 0.0);
            QCOMPARE(record.Minimum, worked.Active ? 0.0 : -5.0);
            QCOMPARE(record.Maximum, worked.Active ? worked.Maximum : 9.0);
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
        QCOMPARE(missing.FlowTexts, (std::array<QString, 5>{"", "2.000", "", "", ""}));
        QCOMPARE(missing.FlowValue, 0.0);
        s.FlowMode = 1; // a pipe's velocity is the newest value of its column
        const DerivedReadings pipe = ComputeDerivedReadings(s, RatingState{}, state, {0.5, 0.25, -1.0, -1.0, -1.0});
        QVERIFY(pipe.VelocityValue > 1.0);
        QCOMPARE(pipe.VelocityTexts[0], QString::number(pipe.VelocityValue, 'f', 1));
    }

    // The flume catalogue's lines (no file when there are none), the tag (or table path) and mode: the rating
    // made current (name|offset|exponent|multiplier|table points) and the box shown.
    void programmedSource_data()
    {
        QTest::addColumn<QString>("flumes");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("rating");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("mode");
        const auto row = [](const char* name, const QString& flumes, const char* tag, const QString& rating,
                            const char* told = "", int mode = 2) {
            QTest::newRow(name) << flumes << tag << rating << told << mode;
        };
        const QString none = QStringLiteral("- None -|0|0|0|0");
        const QString parshall = QStringLiteral("[PF1FT] \"Parshall 1 ft\" E 0 1.522 4");
        row("no flow", parshall, "PF1FT", "old|0|0|5|0", "", 0);
        row("flume tag", parshall, "PF1FT", "Parshall 1 ft|0|1.522|4|0");
        row("weir tag of a flume", parshall, "PF1FT", none, "bad tag", 3);
        row("weir table in the catalogues' folder", "", "V90T", "V-notch table|0|0|0|4", "", 3);
        row("tag trimmed, upper-cased, cut to 8; kind letter after other text; words between numbers",
            "[ abcdefghij ]  \"  Name  \" xyz E offset -0.5 exp 1e0 mult +2 more 9", "ABCDEFGH", "Name|-0.5|1|2|0");
        // Each line is refused on its own (any one taken would make T current): two numbers, a number out of range,
        // no closing bracket, indented, an empty name, no name, no kind letter, a missing or unquoted table file.
        row("refused lines", "[T] \"N\" E 1 2\n[T] \"N\" E 1 2 1e999\n[T \"N\" E 1 2 3\n [T] \"N\" E 1 2 3\n"
            "[T] \"\" E 1 2 3\n[T] E 1 2 3\n[T] \"N\" e 1 2 3\n[T] \"N\" F \"none.tbl\"\n[T] \"N\" F two.tbl",
            "T", none, "bad tag");
        row("missing catalogue", "", "T", none, "bad tag");
        row("empty flume tag", "[ ] \"Blank\" E 0 1 2", "", none, "bad tag");
        row("a later entry replaces", "[A] \"First A\" E 0 1 2\n[A] \"Second A\" E 0.5 2 7", "A", "Second A|0.5|2|7|0");
        row("tags match exactly", "[A] \"First A\" E 0 1 2", "a", none, "bad tag");
        row("table file gone since", "[TB] \"Table\" F \"gone.tbl\"", "TB", "Table|0|0|0|0", "bad tag");
        row("table with a folder", "", "tables/three.tbl", "three.tbl|0|0|5|3", "", 4);
        row("table without a point", "", "empty.tbl", "empty.tbl|0|0|5|0", "no table", 4);
    }
    void programmedSource()
    {
        QFETCH(int, mode);
        QFETCH(QString, flumes);
        QFETCH(QString, tag);
        // "data" holds a weir table named like one in the program's folder; gone.tbl goes once they are read.
        ScratchFolder app;
        const QString tables = "data/two.tbl:2 data/gone.tbl:2 tables/weir.tbl:2 data/tables/weir.tbl:4 "
                               "tables/three.tbl:3 empty.tbl:0";
        for (const QString& table : tables.split(u' ')) {
            QVERIFY(app.writeLines(table.section(u':', 0, 0), TableLines(table.section(u':', 1).toInt())));
        }
        app.writeLines(QStringLiteral("data/weirs.lst"), {"[V90T] \"V-notch table\" F \"tables/weir.tbl\""});
        if (!flumes.isEmpty()) {
            app.writeLines(QStringLiteral("data/flumes.lst"), (QStringLiteral("; heading\n\n") + flumes).split(u'\n'));
        }
        // Reading replaces what was there: a stale entry of the tag must go.
        RatingCatalogues catalogues;
        catalogues.FlumeCatalogue = {RatingEntry{tag, QStringLiteral("stale"), EquationRating, {}, 9.0, 9.0, 9.0}};
        LoadRatingCatalogues(catalogues, app.path(QStringLiteral("data")), true);
        QVERIFY(QFile::remove(app.path(QStringLiteral("data/gone.tbl"))));
        LoggerSettings settings;
        settings.FlowMode = static_cast<uint8_t>(mode);
        settings.FlumeTag = tag;
        settings.WeirTag = tag;
        settings.TablePath = tag;
        RatingState rating;
        rating.RatingName = QStringLiteral("old");
        rating.RatingMultiplier = 5.0;
        RecordingPrompter prompter;
        if (const auto message = CheckProgrammedFlowSource(settings, rating, catalogues, app.dir.path(), true)) {
            ShowFlowMessage(prompter, *message);
        }
        QTEST(QStringLiteral("%1|%2|%3|%4|%5").arg(rating.RatingName).arg(rating.RatingOffset)
                  .arg(rating.RatingExponent).arg(rating.RatingMultiplier).arg(FlowTablePointCount(rating)), "rating");
        QFETCH(QString, told);
        const QMap<QString, QString> boxes{
            {"bad tag", QStringLiteral("Bad Flume Tag|Error: a programmed %1 with tag name \"%2\"\r\nwas not found in "
                                       "file %3, or referred to a missing or \r\nbad table file.|error")
                            .arg(mode == 3 ? "weir" : "flume", tag, mode == 3 ? "WEIRS.LST" : "FLUMES.LST")},
            {"no table", "Missing or Empty Flow Table File|Error: missing or empty flow table file:\r\n\r\n" + tag +
                             "|warning"},
        };
        QCOMPARE(Told(prompter), boxes[told]);
    }

    // The program folder is "app"; a path starting with "/" is absolute.
    void browse_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("path"); // what the table box gets; empty: unchanged
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("loaded");
        const QString chosen = QStringLiteral("tables") + QDir::separator() + QStringLiteral("chosen.tbl");
        const QString entries = QStringLiteral("Flow Table File|The selected table file has %1 entries.|information");
        QTest::newRow("cancelled") << "" << 0 << "" << "" << 1;
        QTest::newRow("no point") << "app/tables/chosen.tbl" << 0 << chosen
                                  << "Bad Flow Table File|Error: selected file does not appear to be a valid flow "
                                     "table file.|error" << 0;
        QTest::newRow("1000 points") << "app/tables/chosen.tbl" << 1000 << chosen << entries.arg(1000) << 1000;
        const QString tooMany = QStringLiteral("Bad Flow Table File|Error: selected file has more than 1000 "
                                               "entries,\r\nthe table will be truncated to 1001 entries.|error");
        QTest::newRow("1500 points") << "app/tables/chosen.tbl" << 1500 << chosen << tooMany << 1001;
        QTest::newRow("too long a path") << "app/tables/" + QString(120, u'x') + "/t.tbl" << 2 << ""
                                         << "File Path Too Long|Error: the file path is longer than 128 characters "
                                            "which is the limit.|error" << 1;
        QTest::newRow("app2, beside the program folder") << "app2/t.tbl" << 2 << "/app2/t.tbl" << entries.arg(2) << 2;
    }
    void browse()
    {
        QFETCH(QString, file);
        QFETCH(int, points);
        QFETCH(QString, path);
        ScratchFolder root;
        const QString app = root.path(QStringLiteral("app"));
        ScriptedFileDialogs dialogs;
        if (!file.isEmpty()) {
            QVERIFY(root.writeLines(file, TableLines(points)));
            dialogs.choices.append(root.path(file));
        }
        if (path.startsWith(u'/')) {
            path = QDir::toNativeSeparators(root.dir.path() + path);
        }
        RecordingPrompter prompter;
        RatingState rating; // one point
        QCOMPARE(BrowseForFlowTable(dialogs, prompter, rating, app, true).value_or(QString()), path);
        QCOMPARE(dialogs.openRequests.front().InitialFileName, app + QDir::separator() + "*.tbl");
        QVERIFY(dialogs.openRequests.front().MustExist);
        QTEST(Told(prompter), "told");
        QTEST(FlowTablePointCount(rating), "loaded");
    }

    // A table file's lines (none: the path is a folder) and the points read.
    void tableFile_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("points");
        // Each line stands alone: a heading, tabs, blanks, commas, three numbers, a comment, a unit; unsorted kept.
        QTest::newRow("lines") << "Level Flow\n  3\t 9  \n1 , 1\n1 2 3\n5,6.5\n# 3 4\n5 6 ft\n4 5" << true
                               << "3:9 1:1 5:6.5 4:5";
        QTest::newRow("no valid point") << "Level, Flow\n" << true << "";
        QTest::newRow("number out of range") << "1 2\n1e999 3" << false << "";
        QTest::newRow("a folder") << "" << false << "";
    }
    void tableFile()
    {
        QFETCH(QString, lines);
        ScratchFolder app;
        QVERIFY(lines.isEmpty() ? QDir(app.dir.path()).mkdir(QStringLiteral("t.tbl"))
                                : app.writeLines(QStringLiteral("t.tbl"), lines.split(u'\n')));
        RatingState rating; // one point until loaded
        QTEST(LoadFlowTable(rating, QStringLiteral("t.tbl"), app.dir.path(), true), "loaded");
        QStringList points;
        for (size_t k = 1; k < rating.FlowTable.size(); ++k) {
            points << QStringLiteral("%1:%2").arg(rating.FlowTable[k].Level).arg(rating.FlowTable[k].Flow);
        }
        QTEST(points.join(u' '), "points");
    }

    void resolveTablePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("resolved");
        // On Windows, from the program folder C:\App.
        QTest::newRow("bare name") << "flow.tbl" << "\\" << "C:\\App\\flow.tbl";
        QTest::newRow("network") << "\\\\srv\\x.tbl" << "\\" << "\\\\srv\\x.tbl";
        // On Linux, from /opt/app; paths written on Windows still resolve.
        QTest::newRow("linux windows relative") << ".\\t\\flow.tbl" << "/" << "/opt/app/t/flow.tbl";
        QTest::newRow("linux absolute") << "/data/flow.tbl" << "/" << "/data/flow.tbl";
        QTest::newRow("linux drive") << "C:\\x.tbl" << "/" << "C:/x.tbl";
    }
    void resolveTablePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, separator);
        const QString folder = separator == u"/" ? QStringLiteral("/opt/app") : QStringLiteral("C:\\App");
        QTEST(ResolveTablePath(folder, path, separator.at(0)), "resolved");
    }

    // Free-flow discharges (cfs) of the standard ratings, from the USBR Water Measurement Manual.
    void installedRatingsMatchPublishedFlows_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QList<QPointF>>("published"); // head, flow
        const QList<QPointF> vNotch{{0.3, 0.126}, {0.5, 0.446}, {0.8, 1.43}, {1.0, 2.49}, {1.5, 6.81}};
        const QList<QPointF> parshall1ft{{0.2, 0.345}, {0.5, 1.39}, {1.0, 4.00}, {1.5, 7.41}, {2.0, 11.5}, {2.5, 16.1}};
        QTest::newRow("Parshall 1 ft") << "flumes.lst" << "PF1FT" << parshall1ft;
        QTest::newRow("90 degree V-notch, Cone") << "weirs.lst" << "V90CONE" << vNotch;
        QTest::newRow("90 degree V-notch, Kindsvater-Shen") << "weirs.lst" << "V90KS" << vNotch;
        QTest::newRow("90 degree V-notch, table") << "weirs.lst" << "V90TBL" << vNotch;
        QTest::newRow("Parshall 3 in") << "flumes.lst" << "PF3IN"
                                       << QList<QPointF>{{0.2, 0.0823}, {1.0, 0.992}, {1.8, 2.46}};
        QTest::newRow("Parshall 10 ft") << "flumes.lst" << "PF10FT" << QList<QPointF>{{1.0, 39.4}, {3.0, 228.0}};
    }
    void installedRatingsMatchPublishedFlows()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, tag);
        QFETCH(QList<QPointF>, published);
        const QString data = QStringLiteral(BREVEL_SOURCE_DIR "/data");
        RatingCatalogue entries;
        LoadRatingCatalogue(entries, data + QLatin1Char('/') + catalogue, data, true);
        RatingState rating = Rating();
        QVERIFY(SelectRating(rating, tag, entries, data, true));
        LoggerSettings weir = FactorySettings();
        weir.FlowMode = 3;
        for (const QPointF& p : published) {
            double velocity = 0.0;
            const double flow = ComputeFlow(weir, rating, p.x(), velocity);
            QVERIFY2(std::abs(flow / p.y() - 1.0) < 0.01, qPrintable(QString::number(p.x())));
        }
    }
};

BREVEL_TEST(FlowTest)
#include "tst_flow.moc"
