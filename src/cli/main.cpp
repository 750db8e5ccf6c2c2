// brevel: the Brevel Flow Monitor's command-line tool, for unattended
// collection from loggers: status, live sample, clock, history download
// into the archive or a CSV file, setup files, and the archive's sites.

#include "core/ProgramVersion.h"
#include "cli/CliArguments.h"
#include "cli/StopSignal.h"
#include "cli/Subcommands.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

const char* Overview()
{
    return "Usage: brevel COMMAND [options]\n"
           "The Brevel Flow Monitor's command-line tool for unattended collection.\n\n"
           "Commands:\n"
           "  ports       list COM1 to COM16 with the adapters and virtual loggers found\n"
           "  status      identification, name, state, records, interval, clock and its offset\n"
           "  sample      one live sample in engineering units, with flow and velocity\n"
           "  sync-time   set the logger's clock to the computer's\n"
           "  download    the whole history into the archive and/or a CSV file\n"
           "  export      a site's records from the archive to a CSV file\n"
           "  program     program a setup file and verify it\n"
           "  sites       the archive's sites, record counts and times\n\n"
           "Every command takes --help and --json; those that talk to a logger take --port, --baud,\n"
           "--modem --number N [--modem-file F] and --trace. See brevel(1).\n\n";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brevel"));
    StopSignal stop;
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command.isEmpty() || command == u"--help" || command == u"-h" || command == u"help") {
        std::printf("%s%s", Overview(), ExitCodeHelp());
        return command.isEmpty() ? int(ExitCode::Usage) : int(ExitCode::Done);
    }
    if (command == u"--version") {
        std::printf("brevel (%s)\n", qPrintable(ProgramCaption()));
        return int(ExitCode::Done);
    }
    ExitCode code = ExitCode::Usage;
    if (command == u"ports") {
        code = RunPorts(arguments);
    } else if (command == u"status") {
        code = RunStatus(arguments, stop);
    } else if (command == u"sample") {
        code = RunSample(arguments, stop);
    } else if (command == u"sync-time") {
        code = RunSyncTime(arguments, stop);
    } else if (command == u"download") {
        code = RunDownload(arguments, stop);
    } else if (command == u"export") {
        code = RunExport(arguments);
    } else if (command == u"sites") {
        code = RunSites(arguments);
    } else if (command == u"program") {
        code = RunProgram(arguments, stop);
    } else {
        code = CliArguments::UsageError(QStringLiteral("unknown command \"%1\"; see brevel --help").arg(command));
    }
    return int(code);
}
