#pragma once

#include "core/LiveSample.h"

#include <QString>
#include <array>

struct Session;

// What the live display shows, worked out from the sample history.
struct LiveReadingTexts {
    struct Column {
        bool Filled = false;  // the column is a shown analog channel: its texts below apply
        QString ValueText;    // lblValue: the newest value
        QString HistoryText;  // lblHistory: the four before it, joined by CR LF
    };
    std::array<Column, 8> Columns;
    // Channel 1's level in each of the five samples, -1 where there is none:
    // what flow and velocity are computed from.
    std::array<double, 5> Levels{-1.0, -1.0, -1.0, -1.0, -1.0};
    QString Pulse1Text;
    QString Pulse2Text;
};

// Puts a sample at the head of the five-sample history (the oldest drops
// out) and counts it, up to five.
void PushLiveSample(Session& session, const LiveSample& sample);

// Engineering values of the shown analog columns from the sample history:
// sets each such column's value (its bar) and the logger time text, and
// returns the texts for the value, history and pulse labels.
LiveReadingTexts BuildLiveReadings(Session& session);
