#include "flow/FlowDisplay.h"

#include "config/LoggerSettings.h"
#include "core/NumberText.h"
#include "flow/FlowDisplayState.h"
#include "flow/FlowFromLevel.h"
#include "config/Rating.h"

namespace {

const QString Blank = QStringLiteral(" ");

bool FlowUnitsAllowFlow(const QString& units)
{
    const QString name = units.trimmed().toLower();
    return name == QLatin1String("inches") || name == QLatin1String("feet") || name == QLatin1String("meters") ||
           name == QLatin1String("cm");
}

// A length with its unit: " 2.5 cm", " 1 Foot".
QString LengthText(double value, uint8_t unit)
{
    return Blank + NumberText(value) + Blank + LengthUnitName(unit, value != 1.0);
}

std::optional<FlowDisplay::Rows> FrameRowsFor(const LoggerSettings& s, const RatingState& rating)
{
    FlowDisplay::Rows rows;
    switch (s.SelectedFlowMethod()) {
    case FlowMethod::None:
        rows.ModeText = QStringLiteral(" No Flow Calculation");
        return rows;
    case FlowMethod::Mannings:
        rows.ModeText = QStringLiteral(" Manning's Equation");
        rows.PipeVisible = true;
        rows.DiameterText = LengthText(s.ManningsD, s.ManningsDType);
        rows.SlopeText = Blank + NumberText(s.ManningsS) + (s.ManningsSType == 1 ? QStringLiteral(" %") : QString());
        rows.RoughnessText = Blank + NumberText(s.ManningsN);
        break;
    case FlowMethod::Flume:
        rows.ModeText = QStringLiteral(" Flume");
        rows.RatingCaption = QStringLiteral("Flume Name:");
        break;
    case FlowMethod::Weir:
        rows.ModeText = QStringLiteral(" Weir");
        rows.RatingCaption = QStringLiteral("Weir Name:");
        break;
    case FlowMethod::Table:
        rows.ModeText = QStringLiteral(" Table Method");
        rows.RatingCaption = QStringLiteral("Table Name:");
        break;
    default:
        return std::nullopt;
    }
    rows.RatingVisible = s.SelectedFlowMethod() != FlowMethod::Mannings;
    if (rows.RatingVisible) {
        rows.RatingText = Blank + rating.RatingName;
    }
    rows.OffsetVisible = true;
    rows.OffsetText = LengthText(s.LevelOffset, s.LevelOffsetType);
    return rows;
}

FlowDisplay::Column ActiveColumn(double top, const QString& units)
{
    return {true, FormatDecimals(top, 2), FormatDecimals(0.0, 2), units, top};
}

void ApplyColumn(const FlowDisplay::Column& column, MeterColumn& record)
{
    record.Shown = column.Active;
    if (column.Active) {
        record.Maximum = column.Maximum;
        record.Minimum = 0.0;
    } else {
        record.Value = 0.0;
    }
}

} // namespace

FlowDisplay UpdateFlowDisplay(const LoggerSettings& settings, const RatingState& rating, bool connected,
                              FlowDisplayState& display)
{
    FlowDisplay out;
    display.FlowUnitsInvalid = !FlowUnitsAllowFlow(settings.EngUnits[0]);
    if (display.FlowUnitsInvalid) {
        out.UnitsToolTip =
            QStringLiteral("For flow measurement, channel 1 units must be one of Feet, Inches, Meters or cm!");
    }
    EstimateFlowDecimals(settings, rating, connected, display);

    if (connected) {
        out.FrameRows = FrameRowsFor(settings, rating);
        out.ModeLabelsVisible = true;
    } else {
        out.FrameRows = FlowDisplay::Rows{}; // every row hidden
    }

    const bool flowShown = connected && !display.FlowUnitsInvalid;
    if (flowShown && settings.SelectedFlowMethod() == FlowMethod::Mannings) {
        out.Velocity = ActiveColumn(settings.VelTop, settings.VelUnits != 0 ? QStringLiteral("MPS") : QStringLiteral("FPS"));
    }
    if (flowShown && settings.SelectedFlowMethod() != FlowMethod::None) {
        out.Flow = ActiveColumn(settings.FlowTop, FlowUnitName(settings.FlowUnits));
    }
    return out;
}

void ApplyFlowDisplayToColumns(const FlowDisplay& display, MeterColumn& flowColumn, MeterColumn& velocityColumn)
{
    ApplyColumn(display.Flow, flowColumn);
    ApplyColumn(display.Velocity, velocityColumn);
}

QString FlowUnitName(int16_t code)
{
    switch (code) {
    case 0: return QStringLiteral("CFS");
    case 1: return QStringLiteral("GPM");
    case 2: return QStringLiteral("MGD");
    case 3: return QStringLiteral("CMS");
    case 4: return QStringLiteral("LPS");
    default: return QString();
    }
}

QString LengthUnitName(int16_t code, bool plural)
{
    switch (code) {
    case 3: return QStringLiteral("cm");
    case 2: return plural ? QStringLiteral("Meters") : QStringLiteral("Meter");
    case 1: return plural ? QStringLiteral("Inches") : QStringLiteral("Inch");
    default: return plural ? QStringLiteral("Feet") : QStringLiteral("Foot");
    }
}

DerivedReadings ComputeDerivedReadings(const LoggerSettings& settings, const RatingState& rating,
                                       const FlowDisplayState& display, const std::array<double, 5>& levels)
{
    DerivedReadings out;
    for (size_t s = 0; s < levels.size(); ++s) {
        // -1 marks a missing level, as it does in the samples.
        if (levels[s] == -1.0) {
            continue;
        }
        double velocity = 0.0;
        const double flow = ComputeFlow(settings, rating, levels[s], velocity);
        out.FlowTexts[s] = FormatDecimals(flow, display.FlowDecimals);
        out.VelocityTexts[s] = FormatDecimals(velocity, display.VelocityDecimals);
        if (s == 0) {
            out.FlowValue = flow;
            out.VelocityValue = velocity;
        }
    }
    return out;
}
