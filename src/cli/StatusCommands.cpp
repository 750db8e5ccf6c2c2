#include "core/ComputerClock.h"
#include "cli/CliLogger.h"
#include "cli/Report.h"
#include "cli/Subcommands.h"

namespace {

const QString ClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

void AddClock(Report& report, const QString& key, const QString& label, const CliLogger::ClockReading& clock)
{
    report.Add(key + QStringLiteral("_offset_seconds"), label + QStringLiteral(" offset"),
               double(clock.OffsetSeconds), SignedSeconds(clock.OffsetSeconds) + QStringLiteral(" (logger minus computer)"));
}

ExitCode ClockFailure(const CliLogger& logger)
{
    return Fail(ExitCode::LoggerError, QStringLiteral("%1: the logger's clock could not be read").arg(logger.PortEntry()));
}

} // namespace

ExitCode RunStatus(const QStringList& arguments, StopSignal& stop)
{
    CliArguments options(QStringLiteral("status --port PORT [options]"),
                         QStringLiteral("Show the logger's identification, name, state, record count, interval, "
                                        "firmware and clock, with the clock's offset from the computer's."));
    ExitCode code = ExitCode::Done;
    const std::unique_ptr<CliLogger> connected = ParseAndConnect(options, arguments, 0, stop, code);
    if (!connected) {
        return code;
    }
    CliLogger& logger = *connected;
    const std::optional<CliLogger::ClockReading> clock = logger.ReadClock();
    if (!clock) {
        return ClockFailure(logger);
    }
    const LoggerStatus& state = logger.Status;
    const LoggerSettings& settings = logger.Settings;
    Report report(options.Json());
    report.Add(QStringLiteral("port"), QStringLiteral("Port"), logger.PortEntry());
    report.Add(QStringLiteral("logger_name"), QStringLiteral("Logger name"), settings.LoggerName);
    report.Add(QStringLiteral("firmware"), QStringLiteral("Firmware"), state.FirmwareVersion);
    report.Add(QStringLiteral("analog_channels"), QStringLiteral("Analog channels"), settings.NumAnalogChannels);
    report.Add(QStringLiteral("pulse_channels"), QStringLiteral("Pulse channels"), settings.NumDigitalChannels);
    report.Add(QStringLiteral("sample_on_demand"), QStringLiteral("Sample on demand"), settings.SodSupported);
    report.Add(QStringLiteral("status_word"), QStringLiteral("Status word"), state.StatusWord,
               QStringLiteral("0x%1").arg(state.StatusWord, 4, 16, QLatin1Char('0')));
    report.Add(QStringLiteral("logging_state"), QStringLiteral("Logging state"), state.LoggingStateText);
    report.Add(QStringLiteral("records"), QStringLiteral("Records"), double(state.RecordCount));
    report.Add(QStringLiteral("interval"), QStringLiteral("Interval"), settings.SampleInterval);
    report.Add(QStringLiteral("logger_clock"), QStringLiteral("Logger clock"), clock->Logger.toString(ClockFormat));
    report.Add(QStringLiteral("computer_clock"), QStringLiteral("Computer clock"), clock->Computer.toString(ClockFormat));
    AddClock(report, QStringLiteral("clock"), QStringLiteral("Clock"), *clock);
    report.Print();
    return ExitCode::Done;
}

ExitCode RunSyncTime(const QStringList& arguments, StopSignal& stop)
{
    CliArguments options(QStringLiteral("sync-time --port PORT [options]"),
                         QStringLiteral("Set the logger's clock to the computer's; show the offset before and after."));
    ExitCode code = ExitCode::Done;
    const std::unique_ptr<CliLogger> connected = ParseAndConnect(options, arguments, 0, stop, code);
    if (!connected) {
        return code;
    }
    CliLogger& logger = *connected;
    const std::optional<CliLogger::ClockReading> before = logger.ReadClock();
    if (!before) {
        return ClockFailure(logger);
    }
    if (!logger.Commands.SetLoggerClock(ComputerClockText())) {
        return Fail(ExitCode::LoggerError, QStringLiteral("%1: the logger did not set its clock").arg(logger.PortEntry()));
    }
    const std::optional<CliLogger::ClockReading> after = logger.ReadClock();
    if (!after) {
        return ClockFailure(logger);
    }
    Report report(options.Json());
    report.Add(QStringLiteral("port"), QStringLiteral("Port"), logger.PortEntry());
    AddClock(report, QStringLiteral("before"), QStringLiteral("Before: clock"), *before);
    AddClock(report, QStringLiteral("after"), QStringLiteral("After: clock"), *after);
    report.Add(QStringLiteral("logger_clock"), QStringLiteral("Logger clock"), after->Logger.toString(ClockFormat));
    report.Print();
    return ExitCode::Done;
}
