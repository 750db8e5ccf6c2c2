#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryTable.h"

#include <QDateTime>
#include <QString>
#include <optional>

class Archive;
class HistoryRecords;
struct LoggerSettings;

// The facts of one collection from a logger.
struct ArchiveCollection {
    // The computer's time when the records were read, with its UTC offset
    // (QDateTime::currentDateTime()).
    QDateTime CollectedAt;
    // The logger's clock minus the computer's, in seconds, when it was read.
    std::optional<int> ClockOffsetSeconds;
    QString Port; // as the connection window lists it
    // False for the whole records of a download that was stopped or failed.
    bool Complete = true;
};

// One download as the history table shows it: the records, the settings
// they were scaled with, the flow computation and its description.
struct ArchiveDownload {
    const HistoryRecords& Records;
    const LoggerSettings& Settings;
    const HistoryFlowSource& Flow;
    HistoryFlowDescription FlowDescription;
    ArchiveCollection Collection;
    QString Site; // empty: the logger's name
};

struct ArchiveImportResult {
    bool Ok = false;
    int Added = 0;        // records the archive did not hold yet
    int AlreadyThere = 0; // records it held from an earlier download
    QString Error;        // when not ok, one line; then nothing of the download was written
};

// Archives one download in a single transaction: the site (made when new),
// a row for the collection with the download's column layout, and each
// record the site does not hold yet, with its raw counts and the values of
// the table's columns as scaled now. Any failure rolls all of it back.
ArchiveImportResult ImportDownload(Archive& archive, const ArchiveDownload& download);
