#pragma once

#include "app/UserSettings.h"
#include "config/LoggerSettings.h"
#include "app/MainWindowState.h"
#include "core/ProgramOptions.h"
#include "core/LiveSample.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"
#include "history/HistoryRecords.h"
#include "link/LoggerCommands.h"
#include "link/LinkState.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "platform/Platform.h"

#include <QString>
#include <array>

class PortDirectory;

// Everything one run of the program works on, owned by main() (or by a
// test); windows and functions take what they need by reference.
struct Session {
    Session(Platform& services, PortDirectory& portDirectory)
        : Services(services), Ports(portDirectory), Link(services.Port, Connection, Options),
          Commands(Link, Status, Logger, Rating)
    {
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Platform& Services;
    PortDirectory& Ports; // COM numbers to devices, for the connection window
    ProgramOptions Options;     // from the command line
    LinkState Connection;       // the line to the logger
    LoggerStatus Status;        // the logger as last read
    MainWindowState Window;     // the main window's controls and sampling
    UserSettings User;
    LoggerSettings Logger;
    RatingState Rating;
    RatingCatalogues Catalogues;  // flumes.lst and weirs.lst of the data folder, read at start-up
    FlowDisplayState FlowDisplay; // flow decimals and the channel 1 units check
    LoggerLink Link;
    LoggerCommands Commands;
    HistoryRecords History; // the last download, kept until the next one
    bool UseModem = false; // the connection window last closed with Modem selected

    // The display records of the main window's eight meter columns, and the
    // five newest live samples (index 0 the newest; Window.SampleCount valid).
    std::array<MeterColumn, 8> Meters;
    std::array<LiveSample, 5> SampleHistory;

    QString HelpFile; // the manual found at start-up; empty when there is none
    QString AppFolder; // the program's folder: relative flow table paths, file dialogs
};
