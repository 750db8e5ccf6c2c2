#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryTable.h"

#include <QString>
#include <functional>

class HistoryRecords;
class QWidget;
struct LoggerSettings;

// The records of the history window as they were downloaded, for the archive.
struct HistoryArchiveRequest {
    const HistoryRecords& Records;
    const LoggerSettings& Settings;
    const HistoryFlowSource& Flow;
    const HistoryFlowDescription& FlowDescription;
    // False when the download was stopped or failed before every record came.
    bool Complete = true;
};

// Saves the downloaded records to the archive, telling the user how it
// went, over the window. The application provides it, so that the history
// needs no archive code.
using SaveHistoryToArchive = std::function<void(const HistoryArchiveRequest& request, QWidget* parent)>;
