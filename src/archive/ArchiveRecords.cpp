#include "archive/ArchiveRecords.h"

#include "archive/Archive.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

HistoryColumn::Kind KindNamed(const QString& name)
{
    if (name == u"pulse") {
        return HistoryColumn::Kind::Pulse;
    }
    if (name == u"flow") {
        return HistoryColumn::Kind::Flow;
    }
    if (name == u"velocity") {
        return HistoryColumn::Kind::Velocity;
    }
    return HistoryColumn::Kind::Analog;
}

std::optional<qint64> OptionalLong(const QSqlQuery& query, int field)
{
    return query.isNull(field) ? std::nullopt : std::optional(query.value(field).toLongLong());
}

struct Reader {
    Archive& Source;
    QString* Error;
    QSqlQuery Query = Source.Query();

    bool Exec(const QString& sql, const QVariantList& values)
    {
        Query.setForwardOnly(true);
        Query.prepare(sql);
        for (const QVariant& value : values) {
            Query.addBindValue(value);
        }
        if (!Query.exec()) {
            if (Error) {
                *Error = Source.Failure(QStringLiteral("cannot read the archive %1"), Query.lastError());
            }
            return false;
        }
        return true;
    }
};

std::optional<qint64> FindSite(Reader& reader, const QString& site)
{
    if (!reader.Exec(QStringLiteral("SELECT id FROM sites WHERE name = ?"), {site})) {
        return std::nullopt;
    }
    if (!reader.Query.next()) {
        if (reader.Error) {
            *reader.Error = QStringLiteral("the archive %1 holds no site \"%2\"").arg(reader.Source.Location().Text(), site);
        }
        return std::nullopt;
    }
    return reader.Query.value(0).toLongLong();
}

} // namespace

std::optional<std::vector<ArchiveSite>> ListSites(Archive& archive, QString* error)
{
    Reader reader{archive, error};
    if (!reader.Exec(QStringLiteral("SELECT s.name, COUNT(r.stamp), MIN(r.stamp), MAX(r.stamp),"
                                    " (SELECT MAX(d.collected_utc) FROM downloads d WHERE d.site_id = s.id)"
                                    " FROM sites s LEFT JOIN records r ON r.site_id = s.id GROUP BY s.id, s.name"),
                     {})) {
        return std::nullopt;
    }
    std::vector<ArchiveSite> sites;
    while (reader.Query.next()) {
        const QSqlQuery& q = reader.Query;
        sites.push_back({q.value(0).toString(), q.value(1).toLongLong(), OptionalLong(q, 2), OptionalLong(q, 3),
                         QDateTime::fromString(q.value(4).toString(), Qt::ISODate)});
    }
    // By name the same way on every engine, whatever the server's collation.
    std::sort(sites.begin(), sites.end(), [](const ArchiveSite& a, const ArchiveSite& b) { return a.Name < b.Name; });
    return sites;
}

std::optional<ArchiveRecords> LoadSiteRecords(Archive& archive, const QString& site, ArchiveRange range,
                                              QString* error, ArchiveRawCounts rawCounts)
{
    Reader reader{archive, error};
    const std::optional<qint64> siteId = FindSite(reader, site);
    if (!siteId) {
        return std::nullopt;
    }
    ArchiveRecords out;
    QSqlQuery& q = reader.Query;
    if (!reader.Exec(QStringLiteral("SELECT id, collected_utc, utc_offset, clock_offset, port, logger_name, complete,"
                                    " analog_channels + pulse_channels, record_count, new_count, flow_mode,"
                                    " level_offset, roughness, slope, diameter, rating_name, flow_units"
                                    " FROM downloads WHERE site_id = ? ORDER BY id"),
                     {*siteId})) {
        return std::nullopt;
    }
    std::unordered_map<qint64, int> downloadIndex;
    while (q.next()) {
        ArchiveDownloadFacts d;
        d.Id = q.value(0).toLongLong();
        d.CollectedAt = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        d.UtcOffset = q.value(2).toInt();
        if (!q.isNull(3)) {
            d.ClockOffset = q.value(3).toInt();
        }
        d.Port = q.value(4).toString();
        d.LoggerName = q.value(5).toString();
        d.Complete = q.value(6).toInt() != 0;
        if (rawCounts == ArchiveRawCounts::Read) {
            out.rawCount_ = std::max(out.rawCount_, q.value(7).toInt());
        }
        d.RecordCount = q.value(8).toInt();
        d.NewCount = q.value(9).toInt();
        d.FlowMode = uint8_t(q.value(10).toInt());
        d.FlowDescription = {q.value(11).toString(), q.value(12).toString(), q.value(13).toString(),
                             q.value(14).toString(), q.value(15).toString()};
        d.FlowUnits = q.value(16).toInt();
        downloadIndex[d.Id] = int(out.downloads_.size());
        out.downloads_.push_back(std::move(d));
    }
    // Each download's columns by slot: kind, channel, header, decimals.
    struct SlotColumn {
        ArchiveColumn Column;
        int Decimals = 0;
    };
    std::vector<std::vector<SlotColumn>> slotColumns(out.downloads_.size());
    if (!reader.Exec(QStringLiteral("SELECT c.download_id, c.slot, c.kind, c.channel, c.header, c.decimals"
                                    " FROM download_columns c JOIN downloads d ON d.id = c.download_id"
                                    " WHERE d.site_id = ? ORDER BY c.download_id, c.slot"),
                     {*siteId})) {
        return std::nullopt;
    }
    const auto indexOf = [&](const QVariant& download) {
        const auto found = downloadIndex.find(download.toLongLong());
        return found == downloadIndex.end() ? -1 : found->second;
    };
    while (q.next()) {
        auto& columns = slotColumns[size_t(indexOf(q.value(0)))];
        columns.resize(std::max(columns.size(), size_t(q.value(1).toInt()) + 1));
        columns[size_t(q.value(1).toInt())] = {{KindNamed(q.value(2).toString()), q.value(3).toInt(), q.value(4).toString()},
                                               q.value(5).toInt()};
        out.slotCount_ = std::max(out.slotCount_, int(columns.size()));
    }

    QString sql = QStringLiteral("SELECT stamp, ordinal, download_id");
    for (int k = 0; k < out.rawCount_; ++k) {
        sql += QStringLiteral(", raw") + QString::number(k);
    }
    for (int k = 0; k < out.slotCount_; ++k) {
        sql += QStringLiteral(", value") + QString::number(k);
    }
    sql += QStringLiteral(" FROM records WHERE site_id = ?");
    QVariantList bound{*siteId};
    if (range.From) {
        sql += QStringLiteral(" AND stamp >= ?");
        bound << *range.From;
    }
    if (range.To) {
        sql += QStringLiteral(" AND stamp < ?");
        bound << *range.To;
    }
    if (!reader.Exec(sql + QStringLiteral(" ORDER BY stamp, ordinal"), bound)) {
        return std::nullopt;
    }
    std::vector<bool> used(out.downloads_.size());
    while (q.next()) {
        out.stamps_.push_back(q.value(0).toLongLong());
        out.ordinals_.push_back(q.value(1).toInt());
        const int download = indexOf(q.value(2));
        if (download < 0) {
            if (error) {
                *error = QStringLiteral("the archive %1 is inconsistent: records of site \"%2\" name another site's download")
                             .arg(archive.Location().Text(), site);
            }
            return std::nullopt;
        }
        out.downloadOf_.push_back(download);
        used[size_t(download)] = true;
        int field = 3;
        for (int k = 0; k < out.rawCount_; ++k) {
            const QVariant raw = q.value(field++);
            out.raw_.push_back(raw.isNull() ? -1 : raw.toInt());
        }
        for (int k = 0; k < out.slotCount_; ++k) {
            const QVariant value = q.value(field++);
            out.values_.push_back(value.isNull() ? std::nan("") : value.toDouble());
        }
    }

    // The columns of the downloads the records came from, in the table's
    // order: analog channels, pulse channels, flow, velocity.
    for (size_t d = 0; d < out.downloads_.size(); ++d) {
        for (const SlotColumn& slot : slotColumns[d]) {
            if (used[d] && std::find(out.columns_.begin(), out.columns_.end(), slot.Column) == out.columns_.end()) {
                out.columns_.push_back(slot.Column);
            }
        }
    }
    std::stable_sort(out.columns_.begin(), out.columns_.end(), [](const ArchiveColumn& a, const ArchiveColumn& b) {
        return std::pair(int(a.Type), a.Channel) < std::pair(int(b.Type), b.Channel);
    });
    for (size_t d = 0; d < out.downloads_.size(); ++d) {
        ArchiveDownloadFacts& facts = out.downloads_[d];
        facts.SlotOfColumn.assign(out.columns_.size(), -1);
        facts.Decimals.assign(out.columns_.size(), 0);
        for (size_t slot = 0; slot < slotColumns[d].size(); ++slot) {
            const auto at = std::find(out.columns_.begin(), out.columns_.end(), slotColumns[d][slot].Column);
            if (at != out.columns_.end()) {
                const auto column = size_t(at - out.columns_.begin());
                facts.SlotOfColumn[column] = int(slot);
                facts.Decimals[column] = slotColumns[d][slot].Decimals;
            }
        }
    }
    return out;
}
