#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"

#include <QTest>

namespace {

// The factory flow settings of a three-channel logger: a one-foot pipe.
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

RatingState NamedRating()
{
    RatingState rating;
    ClearFlowTable(rating);
    rating.RatingName = QStringLiteral("- None -");
    rating.RatingExponent = 1.0;
    rating.RatingMultiplier = 2.0;
    return rating;
}

} // namespace

class FlowDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void unitsCheck_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("case and blanks") << "  fEET " << false;
        QTest::newRow("Meters") << "Meters" << false;
        QTest::newRow("singular Meter") << "Meter" << true;
        QTest::newRow("Volts") << "Volts" << true;
    }
    void unitsCheck()
    {
        QFETCH(QString, units);
        QFETCH(bool, invalid);
        LoggerSettings s = FactorySettings();
        s.EngUnits[0] = units;
        s.UpperLimit[0] = 1.0;
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(state.FlowUnitsInvalid, invalid);
        QCOMPARE(display.UnitsToolTip.isEmpty(), !invalid);
        if (invalid) {
            QCOMPARE(display.UnitsToolTip,
                     QStringLiteral("For flow measurement, channel 1 units must be one of Feet, Inches, Meters or cm!"));
        }
        QCOMPARE(display.Flow.Active, !invalid);
        QCOMPARE(display.Velocity.Active, !invalid);
        QVERIFY(display.ModeLabelsVisible && display.FrameRows && display.FrameRows->PipeVisible); // the rows stay
        QCOMPARE(state.FlowDecimals == 2 && state.VelocityDecimals == 2, invalid);
    }

    void frameRows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("modeText"); // "-": the rows stay as they are
        QTest::addColumn<QString>("ratingCaption"); // empty: the row is hidden
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<bool>("flowColumn");
        QTest::addColumn<bool>("velocityColumn");
        QTest::newRow("none") << 0 << " No Flow Calculation" << "" << false << false << false;
        QTest::newRow("Manning's") << 1 << " Manning's Equation" << "" << true << true << true;
        QTest::newRow("flume") << 2 << " Flume" << "Flume Name:" << false << true << false;
        QTest::newRow("weir") << 3 << " Weir" << "Weir Name:" << false << true << false;
        QTest::newRow("table") << 4 << " Table Method" << "Table Name:" << false << true << false;
        QTest::newRow("unknown mode") << 7 << "-" << "" << false << true << false;
    }
    void frameRows()
    {
        QFETCH(int, mode);
        QFETCH(QString, modeText);
        QFETCH(QString, ratingCaption);
        QFETCH(bool, pipe);
        QFETCH(bool, flowColumn);
        QFETCH(bool, velocityColumn);
        LoggerSettings s = FactorySettings();
        s.FlowMode = static_cast<uint8_t>(mode);
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, NamedRating(), true, state);
        QVERIFY(display.ModeLabelsVisible);
        QCOMPARE(display.Flow.Active, flowColumn);
        QCOMPARE(display.Velocity.Active, velocityColumn);
        QCOMPARE(bool(display.FrameRows), modeText != QStringLiteral("-"));
        if (!display.FrameRows) {
            return;
        }
        const FlowDisplay::Rows& rows = *display.FrameRows;
        QCOMPARE(rows.ModeText, modeText);
        QCOMPARE(rows.RatingVisible, !ratingCaption.isEmpty());
        QCOMPARE(rows.RatingCaption, ratingCaption);
        QCOMPARE(rows.RatingText, ratingCaption.isEmpty() ? QString() : QStringLiteral(" - None -"));
        QCOMPARE(rows.OffsetVisible, mode != 0);
        QCOMPARE(rows.PipeVisible, pipe);
    }

    // The offset and the diameter rows, a length with its unit.
    void lengthTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 inches") << 0.0 << 1 << " 0 Inches";
        QTest::newRow("1 foot") << 1.0 << 0 << " 1 Foot";
        QTest::newRow("2 meters") << 2.0 << 2 << " 2 Meters";
        QTest::newRow("1 inch") << 1.0 << 1 << " 1 Inch";
        QTest::newRow("2.5 cm") << 2.5 << 3 << " 2.5 cm";
        QTest::newRow("-0.25 feet") << -0.25 << 0 << " -0.25 Feet";
        QTest::newRow("unknown unit") << 3.0 << 9 << " 3 Feet";
    }
    void lengthTexts()
    {
        QFETCH(double, value);
        QFETCH(int, unit);
        QFETCH(QString, text);
        LoggerSettings s = FactorySettings();
        s.LevelOffset = value;
        s.LevelOffsetType = static_cast<uint8_t>(unit);
        s.ManningsD = value;
        s.ManningsDType = static_cast<uint8_t>(unit);
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.FrameRows->OffsetText, text);
        QCOMPARE(display.FrameRows->DiameterText, text);
    }

    void pipeAndColumns_data()
    {
        QTest::addColumn<int>("slopeType");
        QTest::addColumn<int>("flowUnits");
        QTest::addColumn<int>("velocityUnits");
        QTest::addColumn<QString>("slopeText");
        QTest::addColumn<QString>("flowUnitsText");
        QTest::addColumn<QString>("velocityUnitsText");
        QTest::newRow("percent, LPS, MPS") << 1 << 4 << 1 << " 1 %" << "LPS" << "MPS";
        QTest::newRow("fraction, CFS, FPS") << 0 << 0 << 0 << " 1" << "CFS" << "FPS";
        QTest::newRow("MGD") << 1 << 2 << 0 << " 1 %" << "MGD" << "FPS";
        QTest::newRow("unknown flow unit") << 1 << 9 << 0 << " 1 %" << "" << "FPS";
    }
    void pipeAndColumns()
    {
        QFETCH(int, slopeType);
        QFETCH(int, flowUnits);
        QFETCH(int, velocityUnits);
        QFETCH(QString, slopeText);
        QFETCH(QString, flowUnitsText);
        QFETCH(QString, velocityUnitsText);
        LoggerSettings s = FactorySettings();
        s.ManningsSType = static_cast<uint8_t>(slopeType);
        s.FlowUnits = static_cast<uint8_t>(flowUnits);
        s.VelUnits = static_cast<uint8_t>(velocityUnits);
        s.FlowTop = 250.5;
        s.VelTop = 3.0;
        FlowDisplayState state;
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, true, state);
        QCOMPARE(display.FrameRows->SlopeText, slopeText);
        QCOMPARE(display.FrameRows->RoughnessText, QStringLiteral(" 0.014"));
        QCOMPARE(display.Flow.UnitsText, flowUnitsText);
        QCOMPARE(display.Velocity.UnitsText, velocityUnitsText);
        QCOMPARE(display.Flow.MaxText, QStringLiteral("250.50"));
        QCOMPARE(display.Flow.MinText, QStringLiteral("0.00"));
        QCOMPARE(display.Velocity.MaxText, QStringLiteral("3.00"));

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
    }

    void disconnectedHidesEverything()
    {
        LoggerSettings s = FactorySettings();
        s.UpperLimit[0] = 1.0;
        FlowDisplayState state;
        UpdateFlowDisplay(s, RatingState{}, true, state);
        QVERIFY(state.FlowDecimals != 2 || state.VelocityDecimals != 2);
        const FlowDisplay display = UpdateFlowDisplay(s, RatingState{}, false, state);
        QVERIFY(!display.ModeLabelsVisible);
        QVERIFY(display.FrameRows);
        QVERIFY(!display.FrameRows->RatingVisible && !display.FrameRows->OffsetVisible && !display.FrameRows->PipeVisible);
        QVERIFY(!display.Flow.Active && !display.Velocity.Active);
        QCOMPARE(state.FlowDecimals, 2);
        QCOMPARE(state.VelocityDecimals, 2);
        MeterColumn flow{true, true, 0.0, 100.0, 42.0, QString(), 7};
        MeterColumn velocity{true, true, 0.0, 100.0, 3.0, QString(), 7};
        ApplyFlowDisplayToColumns(display, flow, velocity);
        QVERIFY(!flow.Shown && !velocity.Shown);
        QCOMPARE(flow.Value, 0.0);
        QCOMPARE(velocity.Value, 0.0);
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
