#pragma once

#include "history/HistoryExport.h"

#include <array>

class MainWindow;
struct Session;

// The main window's flow display: the flow-mode panel, the scale of the
// Flow and Velocity columns and their readings, and channel 1's unit check.
class MainFlowDisplay {
public:
    static constexpr size_t FlowColumn = 3;
    static constexpr size_t VelocityColumn = 4;

    MainFlowDisplay(Session& session, MainWindow& window);

    // The panel and the two columns from the settings (first thing in every
    // settings summary, and when the connection changes).
    void Refresh();
    // After settings were read: makes the programmed flume, weir or flow table
    // the current rating and tells the user when it cannot be found.
    void SelectProgrammedFlowSource();
    // The Flow and Velocity values of the five newest samples from channel 1's
    // levels (-1 where missing), into the shown columns.
    void ShowReadings(const std::array<double, 5>& levels);
    // Channel 1's unit in red while it allows no flow computation.
    void ShowUnitsWarning();
    // How flow is computed, as the panel shows it.
    HistoryFlowDescription Description() const;

private:
    Session& session_;
    MainWindow& window_;
};
