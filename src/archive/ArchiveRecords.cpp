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
    Archive& archive;
    QString* error;
    QSqlQuery query = archive.query();

    bool exec(const QString& sql, const QVariantList& values)
    {
        query.setForwardOnly(true);
        query.prepare(sql);
        for (const QVariant& value : values) {
            query.addBindValue(value);
        }
        if (!query.exec()) {
            if (error) {
                *error = archive.failure(QStringLiteral("cannot read the archive %1"), query.lastError());
            }
            return false;
        }
        return true;
    }
};

std::optional<qint64> FindSite(Reader& reader, const QString& site)
{
    if (!reader.exec(QStringLiteral("SELECT id FROM sites WHERE name = ?"), {site})) {
        return std::nullopt;
    }
    if (!reader.query.next()) {
        if (reader.error) {
            *reader.error = QStringLiteral("the archive %1 holds no site \"%2\"").arg(reader.archive.location().text(), site);
        }
        return std::nullopt;
    }
    return reader.query.value(0).toLongLong();
}

} // namespace

std::optional<std::vector<ArchiveSite>> ListSites(Archive& archive, QString* error)
{
    Reader reader{archive, error};
    if (!reader.exec(QStringLiteral("SELECT s.name, COUNT(r.stamp), MIN(r.stamp), MAX(r.stamp),"
                                    " (SELECT MAX(d.collected_utc) FROM downloads d WHERE d.site_id = s.id)"
                                    " FROM sites s LEFT JOIN records r ON r.site_id = s.id GROUP BY s.id, s.name"),
                     {})) {
        return std::nullopt;
    }
    std::vector<ArchiveSite> sites;
    while (reader.query.next()) {
        const QSqlQuery& q = reader.query;
        sites.push_back({q.value(0).toString(), q.value(1).toLongLong(), OptionalLong(q, 2), OptionalLong(q, 3),
                         QDateTime::fromString(q.value(4).toString(), Qt::ISODate)});
    }
    // By name the same way on every engine, whatever the server's collation.
    std::sort(sites.begin(), sites.end(), [](const ArchiveSite& a, const ArchiveSite& b) { return a.name < b.name; });
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
    QSqlQuery& q = reader.query;
    if (!reader.exec(QStringLiteral("SELECT id, collected_utc, utc_offset, clock_offset, port, logger_name, complete,"
                                    " analog_channels + pulse_channels, record_count, new_count, flow_mode,"
                                    " level_offset, roughness, slope, diameter, rating_name, flow_units"
                                    " FROM downloads WHERE site_id = ? ORDER BY id"),
                     {*siteId})) {
        return std::nullopt;
    }
    std::unordered_map<qint64, int> downloadIndex;
    while (q.next()) {
        ArchiveDownloadFacts d;
        d.id = q.value(0).toLongLong();
        d.collectedAt = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        d.utcOffset = q.value(2).toInt();
        if (!q.isNull(3)) {
            d.clockOffset = q.value(3).toInt();
        }
        d.port = q.value(4).toString();
        d.loggerName = q.value(5).toString();
        d.complete = q.value(6).toInt() != 0;
        if (rawCounts == ArchiveRawCounts::Read) {
            out.rawCount_ = std::max(out.rawCount_, q.value(7).toInt());
        }
        d.recordCount = q.value(8).toInt();
        d.newCount = q.value(9).toInt();
        d.flowMode = uint8_t(q.value(10).toInt());
        d.flowDescription = {q.value(11).toString(), q.value(12).toString(), q.value(13).toString(),
                             q.value(14).toString(), q.value(15).toString()};
        d.flowUnits = q.value(16).toInt();
        downloadIndex[d.id] = int(out.downloads_.size());
        out.downloads_.push_back(std::move(d));
    }
    // Each download's columns by slot: kind, channel, header, decimals.
    struct SlotColumn {
        ArchiveColumn column;
        int decimals = 0;
    };
    std::vector<std::vector<SlotColumn>> slotColumns(out.downloads_.size());
    if (!reader.exec(QStringLiteral("SELECT c.download_id, c.slot, c.kind, c.channel, c.header, c.decimals"
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
    if (range.from) {
        sql += QStringLiteral(" AND stamp >= ?");
        bound << *range.from;
    }
    if (range.to) {
        sql += QStringLiteral(" AND stamp < ?");
        bound << *range.to;
    }
    if (!reader.exec(sql + QStringLiteral(" ORDER BY stamp, ordinal"), bound)) {
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
                             .arg(archive.location().text(), site);
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
            if (used[d] && std::find(out.columns_.begin(), out.columns_.end(), slot.column) == out.columns_.end()) {
                out.columns_.push_back(slot.column);
            }
        }
    }
    std::stable_sort(out.columns_.begin(), out.columns_.end(), [](const ArchiveColumn& a, const ArchiveColumn& b) {
        return std::pair(int(a.kind), a.channel) < std::pair(int(b.kind), b.channel);
    });
    for (size_t d = 0; d < out.downloads_.size(); ++d) {
        ArchiveDownloadFacts& facts = out.downloads_[d];
        facts.slotOfColumn.assign(out.columns_.size(), -1);
        facts.decimals.assign(out.columns_.size(), 0);
        for (size_t slot = 0; slot < slotColumns[d].size(); ++slot) {
            const auto at = std::find(out.columns_.begin(), out.columns_.end(), slotColumns[d][slot].column);
            if (at != out.columns_.end()) {
                const auto column = size_t(at - out.columns_.begin());
                facts.slotOfColumn[column] = int(slot);
                facts.decimals[column] = slotColumns[d][slot].decimals;
            }
        }
    }
    return out;
}
