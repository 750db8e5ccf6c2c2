#pragma once

#include "history/HistoryTable.h"

struct FlowDisplayState;
struct RatingState;

// The table's flow columns from the program's flow computation: channel 1's
// unit check, the flow unit's name and flow and velocity from a level.
HistoryFlowSource MakeHistoryFlowSource(const LoggerSettings& settings, const RatingState& rating,
                                        const FlowDisplayState& display);
