#pragma once

#include "cli/ExitCode.h"

#include <QStringList>

class StopSignal;

// One function per subcommand; arguments are those after its name.
ExitCode RunPorts(const QStringList& arguments);
ExitCode RunStatus(const QStringList& arguments, StopSignal& stop);
ExitCode RunSample(const QStringList& arguments, StopSignal& stop);
ExitCode RunSyncTime(const QStringList& arguments, StopSignal& stop);
ExitCode RunDownload(const QStringList& arguments, StopSignal& stop);
ExitCode RunExport(const QStringList& arguments);
ExitCode RunSites(const QStringList& arguments);
ExitCode RunProgram(const QStringList& arguments, StopSignal& stop);
