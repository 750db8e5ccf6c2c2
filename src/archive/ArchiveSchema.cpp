#include "archive/ArchiveSchema.h"

#include "history/HistoryTable.h"

static_assert(ArchiveValueColumns == HistoryTable::MaxValueColumns);

const std::vector<ArchiveSchemaStep>& ArchiveSchema()
{
    static const std::vector<ArchiveSchemaStep> steps{
        {1,
         {
             // A site is a logger's place: its name, or the name the user gave.
             QStringLiteral("CREATE TABLE sites ("
                            " id {id},"
                            " name TEXT NOT NULL UNIQUE)"),
             // One row per download (collection): when, through which port,
             // what it brought, and how its records were scaled. Times of
             // records are the logger's local clock; utc_offset is the
             // computer's offset from UTC at collection (seconds east) and
             // clock_offset the logger's clock minus the computer's.
             QStringLiteral("CREATE TABLE downloads ("
                            " id {id},"
                            " site_id BIGINT NOT NULL REFERENCES sites (id),"
                            " collected_utc TEXT NOT NULL,"
                            " utc_offset INTEGER NOT NULL,"
                            " clock_offset INTEGER,"
                            " port TEXT NOT NULL,"
                            " logger_name TEXT NOT NULL,"
                            " complete INTEGER NOT NULL,"
                            " analog_channels INTEGER NOT NULL,"
                            " pulse_channels INTEGER NOT NULL,"
                            " record_count INTEGER NOT NULL,"
                            " new_count INTEGER NOT NULL,"
                            " flow_mode INTEGER NOT NULL,"
                            " flow_units INTEGER NOT NULL,"
                            " vel_units INTEGER NOT NULL,"
                            " level_offset TEXT NOT NULL,"
                            " roughness TEXT NOT NULL,"
                            " slope TEXT NOT NULL,"
                            " diameter TEXT NOT NULL,"
                            " rating_name TEXT NOT NULL)"),
             // The value columns of a download as the history table showed
             // them: slot n is value<n> of its records.
             QStringLiteral("CREATE TABLE download_columns ("
                            " download_id BIGINT NOT NULL REFERENCES downloads (id),"
                            " slot INTEGER NOT NULL,"
                            " kind TEXT NOT NULL,"
                            " channel INTEGER NOT NULL,"
                            " header TEXT NOT NULL,"
                            " decimals INTEGER NOT NULL,"
                            " raw_low INTEGER,"
                            " raw_high INTEGER,"
                            " eu_low DOUBLE PRECISION,"
                            " eu_high DOUBLE PRECISION,"
                            " pulse_unit DOUBLE PRECISION,"
                            " PRIMARY KEY (download_id, slot))"),
             // stamp: seconds since 2000-01-01 00:00:00 by the logger's clock.
             // ordinal: the record's place among the download's records of
             // the same second (fast logging writes ten). raw<k>: the counts
             // as read, analog channels first, then pulse channels.
             QStringLiteral("CREATE TABLE records ("
                            " site_id BIGINT NOT NULL REFERENCES sites (id),"
                            " stamp BIGINT NOT NULL,"
                            " ordinal INTEGER NOT NULL,"
                            " download_id BIGINT NOT NULL REFERENCES downloads (id),"
                            " raw0 INTEGER, raw1 INTEGER, raw2 INTEGER, raw3 INTEGER, raw4 INTEGER,"
                            " raw5 INTEGER, raw6 INTEGER, raw7 INTEGER, raw8 INTEGER, raw9 INTEGER,"
                            " value0 DOUBLE PRECISION, value1 DOUBLE PRECISION, value2 DOUBLE PRECISION,"
                            " value3 DOUBLE PRECISION, value4 DOUBLE PRECISION, value5 DOUBLE PRECISION,"
                            " value6 DOUBLE PRECISION, value7 DOUBLE PRECISION, value8 DOUBLE PRECISION,"
                            " value9 DOUBLE PRECISION, value10 DOUBLE PRECISION, value11 DOUBLE PRECISION,"
                            " PRIMARY KEY (site_id, stamp, ordinal))"),
         }},
    };
    return steps;
}
