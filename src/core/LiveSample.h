#pragma once

#include <QString>
#include <array>
#include <cstdint>

// One decoded sample or history record: its timestamp text and ten raw
// values; -1 marks a missing value. In a live sample, value c is analog
// channel c + 1 and values 8 and 9 are the pulse channels.
struct LiveSample {
    QString Timestamp;
    std::array<int32_t, 10> Values{};
};

// The display record of one of the main window's eight meter columns.
struct MeterColumn {
    bool Shown = false;
    bool LastShown = false;
    double Minimum = 0.0;
    double Maximum = 0.0;
    double Value = 0.0;
    QString Units;
    int32_t BarPosition = 0; // y of the bar's top edge when last drawn; 0 forces a redraw
};
