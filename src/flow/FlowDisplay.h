#pragma once

#include "core/LiveSample.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct LoggerSettings;
struct RatingState;
struct FlowDisplayState;

// The flow-mode frame and the Flow and Velocity meter columns as the main
// window shows them, worked out without any widget. The main window applies
// it: texts to the labels named beside them, visibility to both labels of a
// row, and ApplyFlowDisplayToColumns to its meter column records.
struct FlowDisplay {
    QString UnitsToolTip; // lblUnits(0): why channel 1's unit allows no flow, or empty

    bool ModeLabelsVisible = false; // lblFlowMode2 ("Flow Mode:") and lblFlowMode

    // The rows of the frame; a row's texts apply only while it is visible.
    struct Rows {
        QString ModeText; // lblFlowMode
        bool RatingVisible = false; // lblFWT, lblFWT2
        QString RatingCaption;      // lblFWT: "Flume Name:", "Weir Name:", "Table Name:"
        QString RatingText;         // lblFWT2
        bool OffsetVisible = false; // lblOffset, lblOffset2
        QString OffsetText;
        bool PipeVisible = false; // the pipe diameter, slope and roughness rows
        QString DiameterText;     // lblPipeDiameter2
        QString SlopeText;        // lblSlope2
        QString RoughnessText;    // lblRoughness2
    };
    // Empty when the rows stay as they are (a flow mode with no rows of its own).
    std::optional<Rows> FrameRows;

    // Column 3 (flow) or 4 (velocity): when active, fraMeter is enabled and
    // lblMax, lblMin and lblUnits are shown with these texts; otherwise the
    // frame is disabled and the three labels hidden.
    struct Column {
        bool Active = false;
        QString MaxText;
        QString MinText;
        QString UnitsText;
        double Maximum = 0.0;
    };
    Column Flow;
    Column Velocity;
};

// Checks channel 1's unit (setting FlowUnitsInvalid), refreshes the display
// decimals and works out the frame and the two columns.
FlowDisplay UpdateFlowDisplay(const LoggerSettings& settings, const RatingState& rating, bool connected,
                              FlowDisplayState& display);

// An active column gets its range and is shown; an inactive one is hidden
// with its value 0.
void ApplyFlowDisplayToColumns(const FlowDisplay& display, MeterColumn& flowColumn, MeterColumn& velocityColumn);

// 0 "CFS", 1 "GPM", 2 "MGD", 3 "CMS", 4 "LPS", any other code "".
QString FlowUnitName(int16_t code);

// 3 "cm", 2 "Meters"/"Meter", 1 "Inches"/"Inch", any other code "Feet"/"Foot".
QString LengthUnitName(int16_t code, bool plural);

// The Flow and Velocity values of the five newest samples, from channel 1's
// levels (-1 where a level is missing): the texts of lblValue (index 0) and
// lblHistory, and the columns' newest values.
struct DerivedReadings {
    std::array<QString, 5> FlowTexts;
    std::array<QString, 5> VelocityTexts;
    double FlowValue = 0.0;
    double VelocityValue = 0.0;
};

DerivedReadings ComputeDerivedReadings(const LoggerSettings& settings, const RatingState& rating,
                                       const FlowDisplayState& display, const std::array<double, 5>& levels);
