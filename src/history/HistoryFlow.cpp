#include "history/HistoryFlow.h"

#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "flow/FlowFromLevel.h"

HistoryFlowSource MakeHistoryFlowSource(const LoggerSettings& settings, const RatingState& rating,
                                        const FlowDisplayState& display)
{
    return {display.FlowUnitsInvalid, FlowUnitName(settings.FlowUnits), [&settings, &rating](double level) {
                double velocity = 0.0;
                const double flow = ComputeFlow(settings, rating, level, velocity);
                return std::pair{flow, velocity};
            }};
}
