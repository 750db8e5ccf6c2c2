#include "graph/LiveGraphSeries.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t RecentSpacings = 15;

} // namespace

LiveGraphSeries::LiveGraphSeries()
{
    series_.exactValue = [this](int sample, int strip) { return exact_[size_t(strip)][size_t(sample)]; };
}

void LiveGraphSeries::setStrips(const std::vector<LiveStrip>& strips)
{
    if (strips == strips_ && series_.strips.size() == strips.size()) {
        return;
    }
    strips_ = strips;
    series_.strips.clear();
    for (const LiveStrip& strip : strips_) {
        series_.strips.push_back({strip.title, strip.unit, strip.decimals, strip.flowUnits, {}});
    }
    exact_.assign(strips_.size(), {});
    clear();
}

void LiveGraphSeries::clear()
{
    series_.times.clear();
    series_.gapsBefore.clear();
    for (GraphStrip& strip : series_.strips) {
        strip.values.clear();
    }
    for (auto& values : exact_) {
        values.clear();
    }
    spacings_.clear();
}

void LiveGraphSeries::add(double t, const std::vector<double>& values)
{
    if (!series_.times.empty() && t < series_.times.back()) {
        clear();
    }
    if (!series_.times.empty()) {
        const double spacing = t - series_.times.back();
        if (spacings_.size() >= 3) {
            std::vector<double> recent(spacings_.begin(), spacings_.end());
            const auto middle = recent.begin() + std::ptrdiff_t(recent.size() / 2);
            std::nth_element(recent.begin(), middle, recent.end());
            if (spacing > 1.5 * *middle) {
                series_.gapsBefore.push_back(series_.count());
            }
        }
        if (spacing > 0) {
            spacings_.push_back(spacing);
            if (spacings_.size() > RecentSpacings) {
                spacings_.pop_front();
            }
        }
    }
    series_.times.push_back(t);
    for (size_t k = 0; k < series_.strips.size(); ++k) {
        const double value = k < values.size() ? values[k] : std::numeric_limits<double>::quiet_NaN();
        series_.strips[k].values.push_back(float(value));
        exact_[k].push_back(value);
    }
    dropOlderThan(t - KeptSeconds);
}

void LiveGraphSeries::dropOlderThan(double t)
{
    // Readings leave in batches, so that each one costs no more than a few.
    const int old = series_.firstAtOrAfter(t);
    if (old < std::max(64, series_.count() / 16)) {
        return;
    }
    series_.times.erase(series_.times.begin(), series_.times.begin() + old);
    for (size_t k = 0; k < series_.strips.size(); ++k) {
        std::vector<float>& values = series_.strips[k].values;
        values.erase(values.begin(), values.begin() + old);
        exact_[k].erase(exact_[k].begin(), exact_[k].begin() + old);
    }
    std::vector<int> gaps;
    for (int gap : series_.gapsBefore) {
        if (gap - old > 0) {
            gaps.push_back(gap - old);
        }
    }
    series_.gapsBefore = std::move(gaps);
}
