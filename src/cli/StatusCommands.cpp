#include "core/ComputerClock.h"
#include "cli/CliLogger.h"
#include "cli/Report.h"
#include "cli/Subcommands.h"

namespace {

const QString ClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

void AddClock(Report& report, const QString& key, const QString& label, const CliLogger::ClockReading& clock)
{
    report.add(key + QStringLiteral("_offset_seconds"), label + QStringLiteral(" offset"),
               double(clock.offsetSeconds), SignedSeconds(clock.offsetSeconds) + QStringLiteral(" (logger minus computer)"));
}

ExitCode ClockFailure(const CliLogger& logger)
{
    return Fail(ExitCode::LoggerError, QStringLiteral("%1: the logger's clock could not be read").arg(logger.portEntry()));
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
    const std::optional<CliLogger::ClockReading> clock = logger.readClock();
    if (!clock) {
        return ClockFailure(logger);
    }
    const LoggerStatus& state = logger.status;
    const LoggerSettings& settings = logger.settings;
    Report report(options.json());
    report.add(QStringLiteral("port"), QStringLiteral("Port"), logger.portEntry());
    report.add(QStringLiteral("logger_name"), QStringLiteral("Logger name"), settings.LoggerName);
    report.add(QStringLiteral("firmware"), QStringLiteral("Firmware"), state.FirmwareVersion);
    report.add(QStringLiteral("analog_channels"), QStringLiteral("Analog channels"), settings.NumAnalogChannels);
    report.add(QStringLiteral("pulse_channels"), QStringLiteral("Pulse channels"), settings.NumDigitalChannels);
    report.add(QStringLiteral("sample_on_demand"), QStringLiteral("Sample on demand"), settings.SodSupported);
    report.add(QStringLiteral("status_word"), QStringLiteral("Status word"), state.StatusWord,
               QStringLiteral("0x%1").arg(state.StatusWord, 4, 16, QLatin1Char('0')));
    report.add(QStringLiteral("logging_state"), QStringLiteral("Logging state"), state.LoggingStateText);
    report.add(QStringLiteral("records"), QStringLiteral("Records"), double(state.RecordCount));
    report.add(QStringLiteral("interval"), QStringLiteral("Interval"), settings.SampleInterval);
    report.add(QStringLiteral("logger_clock"), QStringLiteral("Logger clock"), clock->logger.toString(ClockFormat));
    report.add(QStringLiteral("computer_clock"), QStringLiteral("Computer clock"), clock->computer.toString(ClockFormat));
    AddClock(report, QStringLiteral("clock"), QStringLiteral("Clock"), *clock);
    report.print();
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
    const std::optional<CliLogger::ClockReading> before = logger.readClock();
    if (!before) {
        return ClockFailure(logger);
    }
    if (!logger.commands.SetLoggerClock(ComputerClockText())) {
        return Fail(ExitCode::LoggerError, QStringLiteral("%1: the logger did not set its clock").arg(logger.portEntry()));
    }
    const std::optional<CliLogger::ClockReading> after = logger.readClock();
    if (!after) {
        return ClockFailure(logger);
    }
    Report report(options.json());
    report.add(QStringLiteral("port"), QStringLiteral("Port"), logger.portEntry());
    AddClock(report, QStringLiteral("before"), QStringLiteral("Before: clock"), *before);
    AddClock(report, QStringLiteral("after"), QStringLiteral("After: clock"), *after);
    report.add(QStringLiteral("logger_clock"), QStringLiteral("Logger clock"), after->logger.toString(ClockFormat));
    report.print();
    return ExitCode::Done;
}
