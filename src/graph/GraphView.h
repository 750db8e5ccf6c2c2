#pragma once

#include <optional>
#include <utility>
#include <vector>

// What part of a graph shows: a span of time, and per strip either a value
// range the user chose or the range of what is visible.
class GraphView {
public:
    static constexpr double MinimumSpan = 10.0; // seconds

    // The whole record runs from first to last; zooming and panning stay
    // inside it (a record shorter than the minimum span gets that span).
    void SetRecord(double first, double last, int strips);
    // Back to the whole record, every strip on its own visible range.
    void ShowAll();

    double Start() const { return start_; }
    double End() const { return end_; }
    double Span() const { return end_ - start_; }

    // Shows start ... end, kept inside the record when clamped.
    void SetTimeRange(double start, double end);
    // factor < 1 zooms in, around the anchor time, which stays in place.
    void ZoomTime(double factor, double anchor);
    void PanTime(double seconds);
    // Whether ranges are kept inside the record (not for a live plot that
    // runs ahead of its first readings).
    void SetClamped(bool clamped) { clamped_ = clamped; }

    // The chosen value range of a strip, none for the visible range.
    std::optional<std::pair<double, double>> ValueRange(int strip) const;
    void SetValueRange(int strip, double low, double high);
    // Zooms the value range (shown now as low ... high) around the anchor.
    void ZoomValue(int strip, double factor, double anchor, double low, double high);

private:
    double first_ = 0, last_ = 0;
    double start_ = 0, end_ = 0;
    bool clamped_ = true;
    std::vector<std::optional<std::pair<double, double>>> valueRanges_;
};

// The range a strip shows for values from low to high: a margin of 5 % on
// each side, and a unit around a flat line.
std::pair<double, double> PaddedRange(double low, double high);
