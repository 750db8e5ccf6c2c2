#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryTable.h"
#include "history/ui/OpenHistoryGraph.h"
#include "history/ui/SaveHistoryToArchive.h"

#include <QString>
#include <functional>

class BusyCursor;
class FileDialogs;
class HistoryRecords;
class LoggerCommands;
class LoggerLink;
class Prompter;
class QWidget;
struct LinkState;
struct LoggerStatus;
struct LoggerSettings;

// What the table needs from the main window when it opens: the flow
// computation, the flow description of the export and the logger name.
struct HistoryTableInputs {
    HistoryFlowSource Flow;
    HistoryFlowDescription FlowDescription;
    QString LoggerName;
};

struct GetHistoryServices {
    LinkState& Line;
    LoggerStatus& Status;
    bool ErrorTrapping;
    bool SamplingContinuously; // the main window's sampling claims the line
    const LoggerSettings& Settings;
    HistoryRecords& Records;
    LoggerLink& Link;
    LoggerCommands& Commands;
    Prompter& Messages;
    FileDialogs& Dialogs;
    BusyCursor& Hourglass;
    QString AppFolder;
    std::function<HistoryTableInputs()> TableInputs;
    OpenHistoryGraph OpenGraph = {}; // the table window's Graph button
    SaveHistoryToArchive SaveToArchive = {}; // the table window's Save to Archive button
};

// The main window's Get History: reads the record count, downloads the
// history in the progress window and opens the table on what arrived.
// Does nothing unless connected, idle and not sampling continuously.
void RunGetHistory(GetHistoryServices& services, QWidget* parent);
