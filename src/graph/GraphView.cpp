#include "graph/GraphView.h"

#include <algorithm>
#include <cmath>

void GraphView::SetRecord(double first, double last, int strips)
{
    first_ = first;
    last_ = std::max(last, first);
    if (last_ - first_ < MinimumSpan) {
        const double middle = (first_ + last_) / 2;
        first_ = middle - MinimumSpan / 2;
        last_ = middle + MinimumSpan / 2;
    }
    valueRanges_.assign(size_t(std::max(0, strips)), std::nullopt);
    ShowAll();
}

void GraphView::ShowAll()
{
    start_ = first_;
    end_ = last_;
    std::fill(valueRanges_.begin(), valueRanges_.end(), std::nullopt);
}

void GraphView::SetTimeRange(double start, double end)
{
    if (end < start) {
        std::swap(start, end);
    }
    double span = std::max(end - start, MinimumSpan);
    if (clamped_) {
        span = std::min(span, last_ - first_);
        start = std::clamp(start, first_, last_ - span);
    }
    start_ = start;
    end_ = start + span;
}

void GraphView::ZoomTime(double factor, double anchor)
{
    const double newSpan = std::max(Span() * factor, MinimumSpan);
    const double ratio = Span() > 0 ? (anchor - start_) / Span() : 0.5;
    SetTimeRange(anchor - ratio * newSpan, anchor - ratio * newSpan + newSpan);
}

void GraphView::PanTime(double seconds)
{
    SetTimeRange(start_ + seconds, end_ + seconds);
}

std::optional<std::pair<double, double>> GraphView::ValueRange(int strip) const
{
    return strip >= 0 && size_t(strip) < valueRanges_.size() ? valueRanges_[size_t(strip)] : std::nullopt;
}

void GraphView::SetValueRange(int strip, double low, double high)
{
    if (strip < 0 || size_t(strip) >= valueRanges_.size() || !(high > low)) {
        return;
    }
    valueRanges_[size_t(strip)] = std::pair{low, high};
}

void GraphView::ZoomValue(int strip, double factor, double anchor, double low, double high)
{
    SetValueRange(strip, anchor - (anchor - low) * factor, anchor + (high - anchor) * factor);
}

std::pair<double, double> PaddedRange(double low, double high)
{
    if (!(high > low)) {
        const double margin = std::max(1.0, std::fabs(low) * 0.05);
        return {low - margin, low + margin};
    }
    const double margin = (high - low) * 0.05;
    return {low - margin, high + margin};
}
