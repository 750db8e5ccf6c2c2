#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"

#include <QTest>
#include <functional>

namespace {

// The factory flow settings of a three-channel logger: a one-foot pipe, the
// offset in inches, flow up to 250.5 CFS and velocity up to 3 FPS.
LoggerSettings FactorySettings()
{
    LoggerSettings s;
    s.EngUnits[0] = QStringLiteral("Feet");
    s.RawScaleUpper[0] = 65535;
    s.UpperLimit[0] = 100.0;
    s.FlowMode = 1;
    s.ManningsN = 0.014;
    s.ManningsS = 1.0;
    s.ManningsSType = 1;
    s.ManningsD = 1.0;
    s.LevelOffsetType = 1;
    s.FlowTop = 250.5;
    s.VelTop = 3.0;
    return s;
}

// Flow = 2 x level.
RatingState NamedRating()
{
    RatingState rating;
    ClearFlowTable(rating);
    rating.RatingName = QStringLiteral("- None -");
    rating.RatingExponent = 1.0;
    rating.RatingMultiplier = 2.0;
    return rating;
}

using Change = std::function<void(LoggerSettings&)>;

} // namespace

class FlowDisplayTest : public QObject {
    Q_OBJECT
private slots:
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
        const FlowDisplay d = UpdateFlowDisplay(s, NamedRating(), connected, state);
        const auto column = [](const FlowDisplay::Column& c) {
            return c.Active ? c.MinText + ".." + c.MaxText + u' ' + c.UnitsText : QStringLiteral("off");
        };
        const FlowDisplay::Rows rows = d.FrameRows.value_or(FlowDisplay::Rows{});
        QStringList shown{d.ModeLabelsVisible ? (d.FrameRows ? rows.ModeText : QStringLiteral("rows kept")) : "hidden"};
        if (rows.RatingVisible) {
            shown << rows.RatingCaption + rows.RatingText;
        }
        if (rows.OffsetVisible) {
            shown << "offset" + rows.OffsetText;
        }
        if (rows.PipeVisible) {
            shown << "pipe" + rows.DiameterText + u',' + rows.SlopeText + u',' + rows.RoughnessText;
        }
        shown << column(d.Flow) << column(d.Velocity);
        if (!d.UnitsToolTip.isEmpty()) {
            shown << d.UnitsToolTip;
        }
        QTEST(shown.join(QStringLiteral(" | ")), "shown");
        QCOMPARE(state.FlowUnitsInvalid, !d.UnitsToolTip.isEmpty());
        if (!connected) {
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
        FlowDisplayState state;
        state.FlowDecimals = 3;
        state.VelocityDecimals = 1;
        const DerivedReadings readings = ComputeDerivedReadings(s, NamedRating(), state, {1.25, -1.0, 0.0, 2.0, -1.0});
        QCOMPARE(readings.FlowTexts, (std::array<QString, 5>{"2.500", "", "0.000", "4.000", ""}));
        QCOMPARE(readings.VelocityTexts, (std::array<QString, 5>{"0.0", "", "0.0", "0.0", ""}));
        QCOMPARE(readings.FlowValue, 2.5);
        const DerivedReadings missing = ComputeDerivedReadings(s, NamedRating(), state, {-1.0, 1.0, -1.0, -1.0, -1.0});
        QCOMPARE(missing.FlowTexts[0], QString());
        QCOMPARE(missing.FlowTexts[1], QStringLiteral("2.000"));
        QCOMPARE(missing.FlowValue, 0.0);
        s.FlowMode = 1; // a pipe's velocity is the newest value of its column
        const DerivedReadings pipe = ComputeDerivedReadings(s, RatingState{}, state, {0.5, 0.25, -1.0, -1.0, -1.0});
        QVERIFY(pipe.VelocityValue > 1.0);
        QCOMPARE(pipe.VelocityTexts[0], QString::number(pipe.VelocityValue, 'f', 1));
    }
};

BREVEL_TEST(FlowDisplayTest)
#include "tst_flowdisplay.moc"
