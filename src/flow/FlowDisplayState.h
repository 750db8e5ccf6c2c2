#pragma once

#include <cstdint>

// How flow and velocity are shown, refreshed with the flow display and read
// by the live readings and the history table.
struct FlowDisplayState {
    int16_t FlowDecimals = 0;
    int16_t VelocityDecimals = 0;
    // Channel 1's unit is none of feet, inches, meters or cm: no flow is shown.
    bool FlowUnitsInvalid = false;
};
