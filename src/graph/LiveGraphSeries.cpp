#include "graph/LiveGraphSeries.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t RecentSpacings = 15;

} // namespace

LiveGraphSeries::LiveGraphSeries()
{
    series_.ExactValue = [this](int sample, int strip) { return exact_[size_t(strip)][size_t(sample)]; };
}

void LiveGraphSeries::SetStrips(const std::vector<LiveStrip>& strips)
{
    if (strips == strips_ && series_.Strips.size() == strips.size()) {
        return;
    }
    strips_ = strips;
    series_.Strips.clear();
    for (const LiveStrip& strip : strips_) {
        series_.Strips.push_back({strip.Title, strip.Unit, strip.Decimals, strip.FlowUnits, {}});
    }
    exact_.assign(strips_.size(), {});
    Clear();
}

void LiveGraphSeries::Clear()
{
    series_.Times.clear();
    series_.GapsBefore.clear();
    for (GraphStrip& strip : series_.Strips) {
        strip.Values.clear();
    }
    for (auto& values : exact_) {
        values.clear();
    }
    spacings_.clear();
}

void LiveGraphSeries::Add(double t, const std::vector<double>& values)
{
    if (!series_.Times.empty() && t < series_.Times.back()) {
        Clear();
    }
    if (!series_.Times.empty()) {
        const double spacing = t - series_.Times.back();
        if (spacings_.size() >= 3) {
            std::vector<double> recent(spacings_.begin(), spacings_.end());
            const auto middle = recent.begin() + std::ptrdiff_t(recent.size() / 2);
            std::nth_element(recent.begin(), middle, recent.end());
            if (spacing > 1.5 * *middle) {
                series_.GapsBefore.push_back(series_.Count());
            }
        }
        if (spacing > 0) {
            spacings_.push_back(spacing);
            if (spacings_.size() > RecentSpacings) {
                spacings_.pop_front();
            }
        }
    }
    series_.Times.push_back(t);
    for (size_t k = 0; k < series_.Strips.size(); ++k) {
        const double value = k < values.size() ? values[k] : std::numeric_limits<double>::quiet_NaN();
        series_.Strips[k].Values.push_back(float(value));
        exact_[k].push_back(value);
    }
    DropOlderThan(t - KeptSeconds);
}

void LiveGraphSeries::DropOlderThan(double t)
{
    // Readings leave in batches, so that each one costs no more than a few.
    const int old = series_.FirstAtOrAfter(t);
    if (old < std::max(64, series_.Count() / 16)) {
        return;
    }
    series_.Times.erase(series_.Times.begin(), series_.Times.begin() + old);
    for (size_t k = 0; k < series_.Strips.size(); ++k) {
        std::vector<float>& values = series_.Strips[k].Values;
        values.erase(values.begin(), values.begin() + old);
        exact_[k].erase(exact_[k].begin(), exact_[k].begin() + old);
    }
    std::vector<int> gaps;
    for (int gap : series_.GapsBefore) {
        if (gap - old > 0) {
            gaps.push_back(gap - old);
        }
    }
    series_.GapsBefore = std::move(gaps);
}
