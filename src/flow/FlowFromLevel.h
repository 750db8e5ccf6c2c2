#pragma once

#include <cstdint>

struct LoggerSettings;
struct RatingState;
struct FlowDisplayState;

// Flow from channel 1's level (in its engineering units) by the settings'
// flow mode: Manning's equation for a part-full round pipe, a flume or weir
// (power law or table) or a user flow table. Returns the flow in the
// settings' flow units and sets velocity in its velocity units (0 unless the
// mode is Manning's). Never fails: any arithmetic fault, an infinite or
// undefined value included, gives flow 0 and velocity 0.
double ComputeFlow(const LoggerSettings& settings, const RatingState& rating, double level, double& velocity);

// A value in the length unit of a diameter or offset code (0 feet, 1 inches,
// 2 meters, 3 cm; any other code is feet) converted to feet.
double LengthInFeet(double value, int code);

// The arc cosine as the flow computation has always taken it: 0 above
// 0.999999, pi below -0.999999.
double ArcCos(double x);

// Wetted perimeter and flow area of a round pipe of the diameter, filled to
// the depth; lengths in feet.
double PipeWettedPerimeter(double depth, double diameter);
double PipeFlowArea(double depth, double diameter);

// Decimal places (0 to 4) for values up to maxValue that change in steps of
// the resolution.
int16_t DecimalsForRange(double maxValue, double resolution);

// Sets the flow and velocity decimals from the flows over channel 1's whole
// raw range; 2 and 2 while not connected, while channel 1's unit allows no
// flow, or when its scaling is degenerate.
void EstimateFlowDecimals(const LoggerSettings& settings, const RatingState& rating, bool connected,
                          FlowDisplayState& display);
