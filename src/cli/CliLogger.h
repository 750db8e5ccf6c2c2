#pragma once

#include "cli/CliArguments.h"
#include "cli/TracePrinter.h"
#include "config/LoggerSettings.h"
#include "core/ProgramOptions.h"
#include "link/LinkState.h"
#include "link/LoggerStatus.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"
#include "history/HistoryExport.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"

#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

class StopSignal;

// A connected logger as the tool works with it: the port, the link with its
// 100 ms tick, the command set, and what was read of the logger (settings,
// rating, flow display), the way the program's session holds them.
class CliLogger {
public:
    CliLogger();
    ~CliLogger();

    // Opens the port, dials when through a modem, wakes the logger, checks
    // that it is a three-channel logger with initialised memory and reads
    // its settings, status and clock. Done, or the code with the message
    // printed.
    ExitCode Connect(const LoggerReach& reach, StopSignal& stop);

    // The port as "brevel ports" lists it ("COM9 - Virtual logger river (/dev/pts/3)").
    const QString& PortEntry() const { return portEntry_; }

    // The logger's clock and its offset from the computer's, read now.
    struct ClockReading {
        QDateTime Logger;
        QDateTime Computer;
        qint64 OffsetSeconds = 0; // logger minus computer
    };
    std::optional<ClockReading> ReadClock();

    // The flow description line 1 of an export names, as the main window shows it.
    HistoryFlowDescription FlowDescription() const;

    ProgramOptions Options;
    LinkState Line;
    LoggerStatus Status;
    LoggerSettings Settings;
    RatingState Rating;
    RatingCatalogues Catalogues;
    FlowDisplayState FlowDisplay;
    PortDirectory Ports;
    QtSerialPort Port{Ports};
    LoggerLink Link{Port, Line, Options};
    LoggerCommands Commands{Link, Status, Settings, Rating};

private:
    // The COM number of the --port text, or 0 with the message printed.
    int ResolvePort(const QString& text);
    ExitCode Dial(const LoggerReach& reach, StopSignal& stop);
    ExitCode CheckLogger();

    ReplyTicker ticker_{Link};
    TracePrinter trace_;
    QString portEntry_;
    std::optional<::FlowDisplay> display_;
};

// A subcommand that talks to a logger: parses its options (with the logger
// options added), runs the check of its arguments that needs no logger, and
// connects. Nothing when the run ends there (--help, a usage error, a failed
// check, no connection), with code set to its exit status.
std::unique_ptr<CliLogger> ParseAndConnect(CliArguments& options, const QStringList& arguments, int positionalCount,
                                           StopSignal& stop, ExitCode& code,
                                           const std::function<std::optional<ExitCode>()>& check = {});
