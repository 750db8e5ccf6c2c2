#include "graph/GraphSeries.h"

#include <algorithm>

double GraphSeries::Value(int sample, int strip) const
{
    return ExactValue ? ExactValue(sample, strip) : double(Strips[size_t(strip)].Values[size_t(sample)]);
}

int GraphSeries::FirstAtOrAfter(double t) const
{
    return int(std::lower_bound(Times.begin(), Times.end(), t) - Times.begin());
}

int GraphSeries::FirstAfter(double t) const
{
    return int(std::upper_bound(Times.begin(), Times.end(), t) - Times.begin());
}

double TypicalInterval(const std::vector<double>& times)
{
    std::vector<double> spacings;
    spacings.reserve(times.size());
    for (size_t i = 1; i < times.size(); ++i) {
        if (times[i] > times[i - 1]) {
            spacings.push_back(times[i] - times[i - 1]);
        }
    }
    if (spacings.empty()) {
        return 0.0;
    }
    const auto middle = spacings.begin() + std::ptrdiff_t(spacings.size() / 2);
    std::nth_element(spacings.begin(), middle, spacings.end());
    return *middle;
}

std::vector<int> FindGaps(const std::vector<double>& times, double interval, const std::vector<int>& recordOfSample)
{
    std::vector<int> gaps;
    if (interval <= 0.0) {
        return gaps;
    }
    const double limit = 1.5 * interval;
    for (size_t i = 1; i < times.size(); ++i) {
        const bool neighbours = recordOfSample.empty() || recordOfSample[i] == recordOfSample[i - 1] + 1;
        if (neighbours && times[i] - times[i - 1] > limit) {
            gaps.push_back(int(i));
        }
    }
    return gaps;
}
