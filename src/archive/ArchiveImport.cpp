#include "archive/ArchiveImport.h"

#include "archive/Archive.h"
#include "archive/ArchiveTime.h"
#include "config/ChannelScaling.h"
#include "config/LoggerSettings.h"
#include "history/HistoryRecords.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <charconv>
#include <cmath>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace {

// Records go in as inserts of many rows with their values written into the
// statement: each value is a number formatted here, never a text, and Qt's
// binding of two million values (a call and a hash look-up each) costs more
// than both engines' reading of the numbers. 100 rows a statement kept the
// PostgreSQL server's work lowest; SQLite hardly minds.
constexpr int BatchRows = 100;

// "," and the number as an SQL literal: the shortest text that reads back
// as the same value. A value that is not finite is stored as NULL.
template <typename Number>
void AppendNumber(std::string& sql, Number value)
{
    sql += ',';
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value)) {
            sql += "NULL";
            return;
        }
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    sql.append(text, end);
}

QString ColumnKind(HistoryColumn::Kind kind)
{
    switch (kind) {
    case HistoryColumn::Kind::Analog: return QStringLiteral("analog");
    case HistoryColumn::Kind::Pulse: return QStringLiteral("pulse");
    case HistoryColumn::Kind::Flow: return QStringLiteral("flow");
    case HistoryColumn::Kind::Velocity: return QStringLiteral("velocity");
    }
    return {};
}

// A text as the columns that must hold one take it: a null text binds as NULL.
QVariant Text(const QString& text)
{
    return QVariant(text.isNull() ? QStringLiteral("") : text);
}

int ColumnDecimals(const LoggerSettings& settings, const HistoryColumn& column)
{
    switch (column.Type) {
    case HistoryColumn::Kind::Analog: return settings.DecPlaces[size_t(column.Channel)];
    case HistoryColumn::Kind::Pulse: return settings.DecPlaces[size_t(8 + column.Channel)];
    // The table shows flow and velocity with channel 1's places.
    case HistoryColumn::Kind::Flow:
    case HistoryColumn::Kind::Velocity: return settings.DecPlaces[0];
    }
    return 0;
}

// The values of a record in the table's columns, as the table computes them.
class ColumnValues {
public:
    ColumnValues(const ArchiveDownload& download, const std::vector<HistoryColumn>& columns)
        : download_(download), columns_(columns)
    {
    }

    double Value(int record, size_t column) const
    {
        const HistoryColumn& col = columns_[column];
        const LoggerSettings& s = download_.Settings;
        const HistoryRecords& r = download_.Records;
        switch (col.Type) {
        case HistoryColumn::Kind::Analog: return EngineeringValue(s, col.Channel, r.Value(record, col.Channel));
        case HistoryColumn::Kind::Pulse:
            return r.Value(record, s.NumAnalogChannels + col.Channel) * s.PulseUnit[size_t(col.Channel)];
        case HistoryColumn::Kind::Flow: return FlowAndVelocity(record).first;
        case HistoryColumn::Kind::Velocity: return FlowAndVelocity(record).second;
        }
        return 0.0;
    }

private:
    std::pair<double, double> FlowAndVelocity(int record) const
    {
        if (record != flowRecord_) {
            flow_ = download_.Flow.ComputeFlow(EngineeringValue(download_.Settings, 0, download_.Records.Value(record, 0)));
            flowRecord_ = record;
        }
        return flow_;
    }

    const ArchiveDownload& download_;
    const std::vector<HistoryColumn>& columns_;
    mutable int flowRecord_ = -1;
    mutable std::pair<double, double> flow_;
};

class Import {
public:
    Import(Archive& archive, const ArchiveDownload& download)
        : archive_(archive), download_(download), query_(archive.Query())
    {
    }

    ArchiveImportResult Run()
    {
        ArchiveImportResult result;
        const QString site = download_.Site.isEmpty() ? download_.Settings.LoggerName : download_.Site;
        if (site.isEmpty()) {
            result.Error = QStringLiteral("cannot archive a download of a logger without a name: name its site");
            return result;
        }
        HistoryTable table(download_.Records, download_.Settings, download_.Flow);
        table.Fill(false);
        ArchiveTransaction transaction(archive_);
        if (!transaction.Begun(&result.Error)) {
            return result;
        }
        if (!FindOrAddSite(site) || !AddDownload() || !AddColumns(table.Columns()) || !AddRecords(table.Columns())
            || !SetNewCount() || !transaction.Commit(&error_)) {
            result.Error = error_;
            return result;
        }
        result.Ok = true;
        result.Added = added_;
        result.AlreadyThere = download_.Records.Count() - added_;
        return result;
    }

private:
    bool Fail(const QString& what)
    {
        error_ = archive_.Failure(what, query_.lastError());
        return false;
    }

    bool FindOrAddSite(const QString& site)
    {
        query_.prepare(QStringLiteral("INSERT INTO sites (name) VALUES (?) ON CONFLICT (name) DO NOTHING"));
        query_.addBindValue(site);
        if (!query_.exec()) {
            return Fail(QStringLiteral("cannot write to the archive %1"));
        }
        query_.prepare(QStringLiteral("SELECT id FROM sites WHERE name = ?"));
        query_.addBindValue(site);
        if (!query_.exec() || !query_.next()) {
            return Fail(QStringLiteral("cannot read the archive %1"));
        }
        siteId_ = query_.value(0).toLongLong();
        return true;
    }

    bool AddDownload()
    {
        const LoggerSettings& s = download_.Settings;
        const ArchiveCollection& c = download_.Collection;
        const HistoryFlowDescription& f = download_.FlowDescription;
        query_.prepare(QStringLiteral(
            "INSERT INTO downloads (site_id, collected_utc, utc_offset, clock_offset, port, logger_name, complete,"
            " analog_channels, pulse_channels, record_count, new_count, flow_mode, flow_units, vel_units,"
            " level_offset, roughness, slope, diameter, rating_name)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
        for (const QVariant& value :
             {QVariant(siteId_), QVariant(c.CollectedAt.toUTC().toString(Qt::ISODate)),
              QVariant(c.CollectedAt.offsetFromUtc()),
              c.ClockOffsetSeconds ? QVariant(*c.ClockOffsetSeconds) : QVariant(QMetaType::fromType<int>()),
              Text(c.Port), Text(s.LoggerName), QVariant(c.Complete ? 1 : 0),
              QVariant(int(s.NumAnalogChannels)), QVariant(int(s.NumDigitalChannels)),
              QVariant(download_.Records.Count()), QVariant(int(s.FlowMode)), QVariant(int(s.FlowUnits)),
              QVariant(int(s.VelUnits)), Text(f.Offset), Text(f.Roughness), Text(f.Slope),
              Text(f.Diameter), Text(f.RatingName)}) {
            query_.addBindValue(value);
        }
        if (!query_.exec() || !query_.next()) {
            return Fail(QStringLiteral("cannot write to the archive %1"));
        }
        downloadId_ = query_.value(0).toLongLong();
        query_.finish();
        return true;
    }

    bool AddColumns(const std::vector<HistoryColumn>& columns)
    {
        const LoggerSettings& s = download_.Settings;
        query_.prepare(QStringLiteral(
            "INSERT INTO download_columns (download_id, slot, kind, channel, header, decimals,"
            " raw_low, raw_high, eu_low, eu_high, pulse_unit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QVariant noInt(QMetaType::fromType<int>());
        const QVariant noDouble(QMetaType::fromType<double>());
        for (size_t slot = 0; slot < columns.size(); ++slot) {
            const HistoryColumn& col = columns[slot];
            const auto c = size_t(col.Channel);
            const bool analog = col.Type == HistoryColumn::Kind::Analog;
            const bool pulse = col.Type == HistoryColumn::Kind::Pulse;
            const QVariant values[] = {QVariant(downloadId_),
                                       QVariant(int(slot)),
                                       QVariant(ColumnKind(col.Type)),
                                       QVariant(col.Channel),
                                       Text(col.Header),
                                       QVariant(ColumnDecimals(s, col)),
                                       analog ? QVariant(s.RawScaleLower[c]) : noInt,
                                       analog ? QVariant(s.RawScaleUpper[c]) : noInt,
                                       analog ? QVariant(s.LowerLimit[c]) : noDouble,
                                       analog ? QVariant(s.UpperLimit[c]) : noDouble,
                                       pulse ? QVariant(s.PulseUnit[c]) : noDouble};
            for (int i = 0; i < int(std::size(values)); ++i) {
                query_.bindValue(i, values[i]);
            }
            if (!query_.exec()) {
                return Fail(QStringLiteral("cannot write to the archive %1"));
            }
        }
        return true;
    }

    // A record is known by its site, its time stamp and its place among
    // the download's records of that second (0 for the first). Fast logging
    // writes ten records a second under one stamp: all ten are kept, and a
    // record read again by a later download, at the same place in its
    // second, is found as already there. The limit: after the logger's
    // clock was set back, new records under seconds the site already holds
    // count as already there.
    bool AddRecords(const std::vector<HistoryColumn>& columns)
    {
        const HistoryRecords& records = download_.Records;
        const int rawCount = records.ValueCount();
        const ColumnValues values(download_, columns);
        std::string head = "INSERT INTO records (site_id, stamp, ordinal, download_id";
        for (int k = 0; k < rawCount; ++k) {
            head += ", raw" + std::to_string(k);
        }
        for (size_t k = 0; k < columns.size(); ++k) {
            head += ", value" + std::to_string(k);
        }
        head += ") VALUES ";
        const std::string site = std::to_string(siteId_);
        const std::string downloadId = std::to_string(downloadId_);
        std::unordered_map<qint64, int> seen;
        seen.reserve(size_t(records.Count()));
        std::string sql;
        for (int first = 0; first < records.Count(); first += BatchRows) {
            const int rows = std::min(BatchRows, records.Count() - first);
            sql = head;
            for (int record = first; record < first + rows; ++record) {
                const qint64 stamp = ArchiveStamp(records.PackedTime(record));
                sql += record == first ? "(" : ",(";
                sql += site;
                AppendNumber(sql, stamp);
                AppendNumber(sql, seen[stamp]++);
                sql += ',';
                sql += downloadId;
                for (int k = 0; k < rawCount; ++k) {
                    AppendNumber(sql, records.Value(record, k));
                }
                for (size_t k = 0; k < columns.size(); ++k) {
                    AppendNumber(sql, values.Value(record, k));
                }
                sql += ')';
            }
            sql += " ON CONFLICT (site_id, stamp, ordinal) DO NOTHING";
            if (!query_.exec(QString::fromLatin1(sql.data(), qsizetype(sql.size())))) {
                return Fail(QStringLiteral("cannot write to the archive %1"));
            }
            added_ += query_.numRowsAffected();
        }
        return true;
    }

    bool SetNewCount()
    {
        query_.prepare(QStringLiteral("UPDATE downloads SET new_count = ? WHERE id = ?"));
        query_.addBindValue(added_);
        query_.addBindValue(downloadId_);
        return query_.exec() || Fail(QStringLiteral("cannot write to the archive %1"));
    }

    Archive& archive_;
    const ArchiveDownload& download_;
    QSqlQuery query_;
    QString error_;
    qint64 siteId_ = 0;
    qint64 downloadId_ = 0;
    int added_ = 0;
};

} // namespace

ArchiveImportResult ImportDownload(Archive& archive, const ArchiveDownload& download)
{
    return Import(archive, download).Run();
}
