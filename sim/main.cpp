// brevel-logger-sim: a virtual Brevel logger (optionally behind a Hayes
// modem) on a pseudo-terminal. Prints the device path and the path of its
// link on standard output, then serves until it is interrupted.

#include "HayesModem.h"
#include "LoggerEngine.h"
#include "PtyServer.h"
#include "SimCommandLine.h"
#include "SimControl.h"
#include "link/VirtualLoggerDirectory.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "brevel-logger-sim: %s\n", qPrintable(message));
    return 1;
}

// Feeds lines typed on standard input to the logger's live readings.
void ServeControlLines(QSocketNotifier& notifier, QByteArray& pending, LoggerEngine& logger)
{
    char buffer[512];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        notifier.setEnabled(false); // end of input: the readings stay as they are
        return;
    }
    pending.append(buffer, got);
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QString line = QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
        const QString error = ApplyControlLine(line, logger);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "brevel-logger-sim: %s\n", qPrintable(error));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Interrupt and terminate end the event loop, so that the link goes away.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stopSignals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    const SimCommandLine commandLine = ParseSimCommandLine(app.arguments());
    if (commandLine.HelpRequested) {
        std::fputs(qPrintable(commandLine.HelpText), stdout);
        return 0;
    }
    if (!commandLine.Error.isEmpty()) {
        return Fail(commandLine.Error);
    }
    const SimSettings& settings = commandLine.Settings;

    LoggerEngine logger(settings.Logger);
    QString error;
    if (!settings.Logger.MemoryFile.isEmpty() && !logger.AttachMemoryFile(&error)) {
        return Fail(QStringLiteral("%1: %2").arg(settings.Logger.MemoryFile, error));
    }
    for (int c = 0; c < settings.AnalogCounts.size(); ++c) {
        logger.SetLiveAnalogCount(c, settings.AnalogCounts.at(c));
    }
    for (int p = 0; p < settings.PulseCounts.size(); ++p) {
        logger.SetLivePulseCount(p, settings.PulseCounts.at(p));
    }
    std::unique_ptr<HayesModem> modem;
    SimDevice* device = &logger;
    if (settings.Modem) {
        modem = std::make_unique<HayesModem>(logger, settings.ModemSettings);
        device = modem.get();
    }

    PtyServer server(*device, settings.LatencyMs, settings.Baud);
    server.SetTrace(settings.Trace);
    const QString linkPath = VirtualLoggerDirectory() + QLatin1Char('/') + settings.Name;
    if (!server.Start(&error) || !server.Announce(linkPath, &error)) {
        return Fail(error);
    }

    const int stopFd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    QSocketNotifier stopNotifier(stopFd, QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    QSocketNotifier controlNotifier(STDIN_FILENO, QSocketNotifier::Read);
    controlNotifier.setEnabled(settings.Control);
    QByteArray pendingControl;
    QObject::connect(&controlNotifier, &QSocketNotifier::activated, &app,
                     [&] { ServeControlLines(controlNotifier, pendingControl, logger); });

    std::printf("%s\n%s\n", qPrintable(server.DevicePath()), qPrintable(linkPath));
    std::fflush(stdout);
    const int status = app.exec();
    ::close(stopFd);
    return status;
}
