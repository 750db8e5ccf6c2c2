#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"

#include <QTest>

namespace {

const QString UnitsTip = QStringLiteral("For flow measurement, channel 1 units must be one of Feet, Inches, Meters or cm!");

// The factory flow settings of a three-channel logger.
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
    s.FlowTop = 100.0;
    s.VelTop = 100.0;
    return s;
}

} // namespace

class FlowDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void unitsCheck_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("Feet") << "Feet" << false;
        QTest::newRow("case and blanks") << "  fEET " << false;
        QTest::newRow("inches") << "inches" << false;
        QTest::newRow("Meters") << "Meters" << false;
        QTest::newRow("cm") << "cm" << false;
        QTest::newRow("singular Meter") << "Meter" << true;
        QTest::newRow("singular Inch") << "Inch" << true;
        QTest::newRow("ft") << "ft" << true;
        QTest::newRow("mm") << "mm" << true;
        QTest::newRow("Volts") << "Volts" << true;
        QTest::newRow("empty") << "" << true;
    }
    void unitsCheck()
    {
        QFETCH(QString, units);
        QFETCH(bool, invalid);
        LoggerSettings s = FactorySettings();
        s.EngUnits[0] = units;
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(state.FlowUnitsInvalid, invalid);
        QCOMPARE(display.UnitsToolTip, invalid ? UnitsTip : QString());
        QCOMPARE(display.Flow.Active, !invalid);
        QCOMPARE(display.Velocity.Active, !invalid);
        QVERIFY(display.ModeLabelsVisible); // the mode rows stay
        QVERIFY(display.FrameRows && display.FrameRows->PipeVisible);
        if (invalid) {
            QCOMPARE(state.FlowDecimals, 2);
            QCOMPARE(state.VelocityDecimals, 2);
        }
    }

    void frameRows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("modeText");
        QTest::addColumn<QString>("ratingCaption"); // empty: the row is hidden
        QTest::addColumn<bool>("offset");
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<bool>("flowColumn");
        QTest::addColumn<bool>("velocityColumn");
        QTest::newRow("none") << 0 << " No Flow Calculation" << "" << false << false << false << false;
        QTest::newRow("Manning's") << 1 << " Manning's Equation" << "" << true << true << true << true;
        QTest::newRow("flume") << 2 << " Flume" << "Flume Name:" << true << false << true << false;
        QTest::newRow("weir") << 3 << " Weir" << "Weir Name:" << true << false << true << false;
        QTest::newRow("table") << 4 << " Table Method" << "Table Name:" << true << false << true << false;
    }
    void frameRows()
    {
        QFETCH(int, mode);
        QFETCH(QString, modeText);
        QFETCH(QString, ratingCaption);
        QFETCH(bool, offset);
        QFETCH(bool, pipe);
        QFETCH(bool, flowColumn);
        QFETCH(bool, velocityColumn);
        LoggerSettings s = FactorySettings();
        s.FlowMode = static_cast<uint8_t>(mode);
        RatingState rating;
        rating.RatingName = QStringLiteral("- None -");
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, rating, true, state);
        QVERIFY(display.ModeLabelsVisible);
        QVERIFY(display.FrameRows);
        const FlowDisplay::Rows& rows = *display.FrameRows;
        QCOMPARE(rows.ModeText, modeText);
        QCOMPARE(rows.RatingVisible, !ratingCaption.isEmpty());
        QCOMPARE(rows.RatingCaption, ratingCaption);
        QCOMPARE(rows.RatingText, ratingCaption.isEmpty() ? QString() : QStringLiteral(" - None -"));
        QCOMPARE(rows.OffsetVisible, offset);
        QCOMPARE(rows.PipeVisible, pipe);
        QCOMPARE(display.Flow.Active, flowColumn);
        QCOMPARE(display.Velocity.Active, velocityColumn);
    }

    void unknownModeLeavesTheRows()
    {
        LoggerSettings s = FactorySettings();
        s.FlowMode = 7;
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QVERIFY(display.ModeLabelsVisible);
        QVERIFY(!display.FrameRows);
        QVERIFY(display.Flow.Active);
        QVERIFY(!display.Velocity.Active);
    }

    void captions_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("offsetText");
        QTest::newRow("0 inches") << 0.0 << 1 << " 0 Inches";
        QTest::newRow("1 foot") << 1.0 << 0 << " 1 Foot";
        QTest::newRow("1 meter") << 1.0 << 2 << " 1 Meter";
        QTest::newRow("1 inch") << 1.0 << 1 << " 1 Inch";
        QTest::newRow("2.5 cm") << 2.5 << 3 << " 2.5 cm";
        QTest::newRow("1 cm") << 1.0 << 3 << " 1 cm";
        QTest::newRow("-0.25 feet") << -0.25 << 0 << " -0.25 Feet";
        QTest::newRow("unknown unit") << 3.0 << 9 << " 3 Feet";
    }
    void captions()
    {
        QFETCH(double, value);
        QFETCH(int, unit);
        QFETCH(QString, offsetText);
        LoggerSettings s = FactorySettings();
        s.LevelOffset = value;
        s.LevelOffsetType = static_cast<uint8_t>(unit);
        s.ManningsD = value;
        s.ManningsDType = static_cast<uint8_t>(unit);
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.FrameRows->OffsetText, offsetText);
        QCOMPARE(display.FrameRows->DiameterText, offsetText);
    }

    void slopeAndRoughness()
    {
        LoggerSettings s = FactorySettings();
        FlowDisplayState state;
        FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.FrameRows->SlopeText, QStringLiteral(" 1 %"));
        QCOMPARE(display.FrameRows->RoughnessText, QStringLiteral(" 0.014"));
        s.ManningsSType = 0;
        s.ManningsS = 0.005;
        display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.FrameRows->SlopeText, QStringLiteral(" 0.005"));
    }

    void columns()
    {
        LoggerSettings s = FactorySettings();
        s.FlowUnits = 4;
        s.FlowTop = 250.5;
        s.VelUnits = 1;
        s.VelTop = 3.0;
        FlowDisplayState state;
        FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.Flow.MaxText, QStringLiteral("250.50"));
        QCOMPARE(display.Flow.MinText, QStringLiteral("0.00"));
        QCOMPARE(display.Flow.UnitsText, QStringLiteral("LPS"));
        QCOMPARE(display.Velocity.MaxText, QStringLiteral("3.00"));
        QCOMPARE(display.Velocity.UnitsText, QStringLiteral("MPS"));
        MeterColumn flow;
        MeterColumn velocity;
        flow.Value = 12.0;
        flow.Minimum = -5.0;
        ApplyFlowDisplayToColumns(display, flow, velocity);
        QVERIFY(flow.Shown && velocity.Shown);
        QCOMPARE(flow.Maximum, 250.5);
        QCOMPARE(flow.Minimum, 0.0);
        QCOMPARE(flow.Value, 12.0); // the newest value stays until the next sample
        QCOMPARE(velocity.Maximum, 3.0);
        s.VelUnits = 0;
        display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.Velocity.UnitsText, QStringLiteral("FPS"));
    }

    void disconnectedHidesEverything()
    {
        const LoggerSettings s = FactorySettings();
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, false, state);
        QVERIFY(!display.ModeLabelsVisible);
        QVERIFY(display.FrameRows);
        QVERIFY(!display.FrameRows->RatingVisible && !display.FrameRows->OffsetVisible && !display.FrameRows->PipeVisible);
        QVERIFY(!display.Flow.Active && !display.Velocity.Active);
        QCOMPARE(state.FlowDecimals, 2);
        MeterColumn flow{true, true, 0.0, 100.0, 42.0, QString(), 7};
        MeterColumn velocity{true, true, 0.0, 100.0, 3.0, QString(), 7};
        ApplyFlowDisplayToColumns(display, flow, velocity);
        QVERIFY(!flow.Shown && !velocity.Shown);
        QCOMPARE(flow.Value, 0.0);
        QCOMPARE(velocity.Value, 0.0);
    }

    void decimalsRefreshed()
    {
        LoggerSettings s = FactorySettings();
        s.UpperLimit[0] = 1.0; // levels up to a foot in a one-foot pipe
        FlowDisplayState state;
        UpdateFlowDisplay(s, RatingState{}, true, state);
        QVERIFY(state.FlowDecimals != 2 || state.VelocityDecimals != 2);
        UpdateFlowDisplay(s, RatingState{}, false, state);
        QCOMPARE(state.FlowDecimals, 2);
        QCOMPARE(state.VelocityDecimals, 2);
    }

    void unitNames()
    {
        const QStringList flow{"CFS", "GPM", "MGD", "CMS", "LPS", "", ""};
        for (int16_t code = 0; code < 7; ++code) {
            QCOMPARE(FlowUnitName(code), flow[code]);
        }
        QCOMPARE(FlowUnitName(-1), QString());
        QCOMPARE(LengthUnitName(0, true), QStringLiteral("Feet"));
        QCOMPARE(LengthUnitName(0, false), QStringLiteral("Foot"));
        QCOMPARE(LengthUnitName(1, true), QStringLiteral("Inches"));
        QCOMPARE(LengthUnitName(1, false), QStringLiteral("Inch"));
        QCOMPARE(LengthUnitName(2, true), QStringLiteral("Meters"));
        QCOMPARE(LengthUnitName(2, false), QStringLiteral("Meter"));
        QCOMPARE(LengthUnitName(3, true), QStringLiteral("cm"));
        QCOMPARE(LengthUnitName(3, false), QStringLiteral("cm"));
        QCOMPARE(LengthUnitName(-4, false), QStringLiteral("Foot"));
    }

    void derivedReadings()
    {
        LoggerSettings s = FactorySettings();
        s.FlowMode = 2;
        RatingState rating;
        ClearFlowTable(rating);
        rating.RatingExponent = 1.0;
        rating.RatingMultiplier = 2.0;
        FlowDisplayState state;
        state.FlowDecimals = 3;
        state.VelocityDecimals = 1;
        const DerivedReadings readings = ComputeDerivedReadings(s, rating, state, {1.25, -1.0, 0.0, 2.0, -1.0});
        const std::array<QString, 5> flows{"2.500", "", "0.000", "4.000", ""};
        const std::array<QString, 5> velocities{"0.0", "", "0.0", "0.0", ""};
        QCOMPARE(readings.FlowTexts, flows);
        QCOMPARE(readings.VelocityTexts, velocities);
        QCOMPARE(readings.FlowValue, 2.5);
        QCOMPARE(readings.VelocityValue, 0.0);
        const DerivedReadings missing = ComputeDerivedReadings(s, rating, state, {-1.0, 1.0, -1.0, -1.0, -1.0});
        QCOMPARE(missing.FlowTexts[0], QString());
        QCOMPARE(missing.FlowTexts[1], QStringLiteral("2.000"));
        QCOMPARE(missing.FlowValue, 0.0);
    }
};

BREVEL_TEST(FlowDisplayTest)
#include "tst_flowdisplay.moc"
