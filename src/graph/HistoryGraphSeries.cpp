#include "graph/HistoryGraphSeries.h"

#include "graph/GraphTime.h"
#include "history/RecordTable.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

QString StripTitle(const HistoryColumn& column)
{
    switch (column.Type) {
    case HistoryColumn::Kind::Analog:
        return QStringLiteral("Channel %1 (%2)").arg(column.Channel + 1).arg(column.Header);
    case HistoryColumn::Kind::Pulse:
        return QStringLiteral("Pulse %1 (%2)").arg(column.Channel + 1).arg(column.Header);
    case HistoryColumn::Kind::Flow:
    case HistoryColumn::Kind::Velocity:
        return column.Header;
    }
    return column.Header;
}

// "Flow (CFS)" reads CFS, "Vel (FPS)" FPS.
QString StripUnit(const HistoryColumn& column)
{
    if (column.Type == HistoryColumn::Kind::Analog || column.Type == HistoryColumn::Kind::Pulse) {
        return column.Header;
    }
    const qsizetype open = column.Header.indexOf(u'(');
    return open < 0 ? QString() : column.Header.mid(open + 1).chopped(1);
}

// The records the graph draws: every row's, and in a packed table also the
// last record each row stands for and the records on both sides of a gap.
std::vector<int> GraphRecords(const RecordTable& table, const std::vector<double>& recordTimes, double interval)
{
    std::vector<int> records;
    const int rows = table.RowCount();
    const int total = table.RecordCount();
    if (!table.IsPacked()) {
        records.resize(size_t(rows));
        for (int row = 0; row < rows; ++row) {
            records[size_t(row)] = row;
        }
        return records;
    }
    const double limit = 1.5 * interval;
    const auto isGap = [&](int record) {
        return interval > 0 && recordTimes[size_t(record)] - recordTimes[size_t(record - 1)] > limit;
    };
    for (int row = 0; row < rows; ++row) {
        const int first = table.RecordOf(row);
        const int last = row + 1 < rows ? table.RecordOf(row + 1) - 1 : total - 1;
        records.push_back(first);
        for (int r = first + 1; r <= last; ++r) {
            if (isGap(r)) {
                if (records.back() != r - 1) {
                    records.push_back(r - 1);
                }
                records.push_back(r);
            }
        }
        if (records.back() != last) {
            records.push_back(last);
        }
    }
    return records;
}

} // namespace

GraphSeries BuildHistoryGraphSeries(const RecordTable& table)
{
    std::vector<double> recordTimes(size_t(table.RecordCount()));
    for (int r = 0; r < table.RecordCount(); ++r) {
        recordTimes[size_t(r)] = table.RecordSeconds(r);
    }
    const double interval = TypicalInterval(recordTimes);
    std::vector<int> selection = GraphRecords(table, recordTimes, interval);
    // A clock put back while logging leaves records out of time order; a
    // plot against time takes them in time order.
    const auto earlier = [&recordTimes](int a, int b) { return recordTimes[size_t(a)] < recordTimes[size_t(b)]; };
    if (!std::is_sorted(selection.begin(), selection.end(), earlier)) {
        std::stable_sort(selection.begin(), selection.end(), earlier);
    }
    bool everyRecord = selection.size() == recordTimes.size();
    for (size_t i = 0; everyRecord && i < selection.size(); ++i) {
        everyRecord = selection[i] == int(i);
    }
    const auto recordOfSample = std::make_shared<const std::vector<int>>(std::move(selection));

    GraphSeries series;
    const std::vector<HistoryColumn>& columns = table.Columns();
    const size_t n = recordOfSample->size();
    series.Times.resize(n);
    for (const HistoryColumn& column : columns) {
        GraphStrip strip;
        strip.Title = StripTitle(column);
        strip.Unit = StripUnit(column);
        strip.Decimals = column.Decimals;
        strip.FlowUnits = column.FlowUnits;
        strip.Values.resize(n);
        series.Strips.push_back(std::move(strip));
    }
    std::vector<double> values(columns.size());
    for (size_t i = 0; i < n; ++i) {
        const int record = (*recordOfSample)[i];
        series.Times[i] = recordTimes[size_t(record)];
        table.RecordValues(record, values);
        for (size_t k = 0; k < columns.size(); ++k) {
            series.Strips[k].Values[i] = float(values[k]);
        }
    }
    if (!everyRecord) {
        series.RecordOfSample = recordOfSample;
    }
    series.GapsBefore = FindGaps(series.Times, interval, series.RecordOfSample ? *recordOfSample : std::vector<int>{});
    series.ExactValue = [&table, records = series.RecordOfSample](int sample, int strip) {
        std::array<double, RecordTable::MaxValueColumns> row{};
        table.RecordValues(records ? (*records)[size_t(sample)] : sample, row);
        return row[size_t(strip)];
    };
    return series;
}

int HistoryGraphRecord(const GraphSeries& series, int sample)
{
    return series.RecordOfSample ? (*series.RecordOfSample)[size_t(sample)] : sample;
}
