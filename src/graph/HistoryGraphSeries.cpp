#include "graph/HistoryGraphSeries.h"

#include "graph/GraphTime.h"
#include "history/RecordTable.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

QString StripTitle(const HistoryColumn& column)
{
    switch (column.kind) {
    case HistoryColumn::Kind::Analog:
        return QStringLiteral("Channel %1 (%2)").arg(column.channel + 1).arg(column.header);
    case HistoryColumn::Kind::Pulse:
        return QStringLiteral("Pulse %1 (%2)").arg(column.channel + 1).arg(column.header);
    case HistoryColumn::Kind::Flow:
    case HistoryColumn::Kind::Velocity:
        return column.header;
    }
    return column.header;
}

// "Flow (CFS)" reads CFS, "Vel (FPS)" FPS.
QString StripUnit(const HistoryColumn& column)
{
    if (column.kind == HistoryColumn::Kind::Analog || column.kind == HistoryColumn::Kind::Pulse) {
        return column.header;
    }
    const qsizetype open = column.header.indexOf(u'(');
    return open < 0 ? QString() : column.header.mid(open + 1).chopped(1);
}

// The records the graph draws: every row's, and in a packed table also the
// last record each row stands for and the records on both sides of a gap.
std::vector<int> GraphRecords(const RecordTable& table, const std::vector<double>& recordTimes, double interval)
{
    std::vector<int> records;
    const int rows = table.rowCount();
    const int total = table.recordCount();
    if (!table.isPacked()) {
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
        const int first = table.recordOf(row);
        const int last = row + 1 < rows ? table.recordOf(row + 1) - 1 : total - 1;
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
    std::vector<double> recordTimes(size_t(table.recordCount()));
    for (int r = 0; r < table.recordCount(); ++r) {
        recordTimes[size_t(r)] = table.recordSeconds(r);
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
    const std::vector<HistoryColumn>& columns = table.columns();
    const size_t n = recordOfSample->size();
    series.times.resize(n);
    for (const HistoryColumn& column : columns) {
        GraphStrip strip;
        strip.title = StripTitle(column);
        strip.unit = StripUnit(column);
        strip.decimals = column.decimals;
        strip.flowUnits = column.flowUnits;
        strip.values.resize(n);
        series.strips.push_back(std::move(strip));
    }
    std::vector<double> values(columns.size());
    for (size_t i = 0; i < n; ++i) {
        const int record = (*recordOfSample)[i];
        series.times[i] = recordTimes[size_t(record)];
        table.recordValues(record, values);
        for (size_t k = 0; k < columns.size(); ++k) {
            series.strips[k].values[i] = float(values[k]);
        }
    }
    if (!everyRecord) {
        series.recordOfSample = recordOfSample;
    }
    series.gapsBefore = FindGaps(series.times, interval, series.recordOfSample ? *recordOfSample : std::vector<int>{});
    series.exactValue = [&table, records = series.recordOfSample](int sample, int strip) {
        std::array<double, RecordTable::MaxValueColumns> row{};
        table.recordValues(records ? (*records)[size_t(sample)] : sample, row);
        return row[size_t(strip)];
    };
    return series;
}

int HistoryGraphRecord(const GraphSeries& series, int sample)
{
    return series.recordOfSample ? (*series.recordOfSample)[size_t(sample)] : sample;
}
