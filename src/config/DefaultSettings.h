#pragma once

#include "config/LoggerSettings.h"

struct RatingState;

// Puts every field to the factory values of a new logger and resets the flow
// table to its single point. NumAnalogChannels and NumDigitalChannels stay
// as they are: the analog channels' units and scaling depend on them (the
// logger's last channel measures its battery, 0 to 24 volts).
void ApplyDefaultSettings(LoggerSettings& settings, RatingState& rating);

// The flow fields alone: Manning's equation for a 1 foot pipe at 1 percent
// slope, flow in cfs and velocity in feet per second, tops of 100.
void ApplyDefaultFlowSettings(LoggerSettings& settings);
