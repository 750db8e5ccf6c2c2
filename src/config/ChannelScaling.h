#pragma once

struct LoggerSettings;

// A raw count of analog channel c in engineering units, by the channel's raw
// and engineering spans: a zero raw span gives EU low, an engineering span
// below 0.0001 gives EU high. Live readings and the history table share it.
double EngineeringValue(const LoggerSettings& settings, int channel, double raw);
