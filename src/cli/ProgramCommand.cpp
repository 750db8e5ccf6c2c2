#include "cli/CliLogger.h"
#include "cli/Report.h"
#include "cli/Subcommands.h"
#include "config/SettingsImage.h"
#include "config/SetupFile.h"

namespace {

// The first byte at which two images differ, -1 when they are equal.
int FirstDifference(const QByteArray& a, const QByteArray& b)
{
    const int common = int(std::min(a.size(), b.size()));
    for (int i = 0; i < common; ++i) {
        if (a.at(i) != b.at(i)) {
            return i;
        }
    }
    return a.size() == b.size() ? -1 : common;
}

} // namespace

ExitCode RunProgram(const QStringList& arguments, StopSignal& stop)
{
    CliArguments options(QStringLiteral("program SETUPFILE --port PORT [options]"),
                         QStringLiteral("Program the settings of a setup file into the logger, read them back and "
                                        "compare every byte; exit status 5 when they differ."));
    QString path;
    const auto fileFailure = [&path] {
        return Fail(ExitCode::FileError, QStringLiteral("%1: Error: file was not loaded correctly.").arg(path));
    };
    // A file that cannot be read is told before the call is made.
    const auto readable = [&]() -> std::optional<ExitCode> {
        path = options.Positional().at(0);
        LoggerSettings settings;
        RatingState rating;
        if (!ReadSetupFile(path, settings, rating, true)) {
            return fileFailure();
        }
        return std::nullopt;
    };
    ExitCode code = ExitCode::Done;
    const std::unique_ptr<CliLogger> connected = ParseAndConnect(options, arguments, 1, stop, code, readable);
    if (!connected) {
        return code;
    }
    CliLogger& logger = *connected;
    if (!ReadSetupFile(path, logger.Settings, logger.Rating, logger.Options.ErrorTrapping)) {
        return fileFailure();
    }
    const std::optional<QByteArray> image = EncodeSettings(logger.Settings, logger.Options.ErrorTrapping);
    if (!image) {
        return Fail(ExitCode::FileError, QStringLiteral("%1: the settings cannot be encoded for the logger").arg(path));
    }
    const QByteArray wanted = image->left(SettingsImageSize);
    const bool programmed = logger.Commands.ProgramSettings() && logger.Commands.ConfirmSettings();
    const std::optional<QByteArray> readBack = logger.Commands.ReadSettingsImage();
    if (!readBack) {
        return Fail(ExitCode::LoggerError,
                    QStringLiteral("%1: the settings could not be read back").arg(logger.PortEntry()));
    }
    if (const int at = FirstDifference(*readBack, wanted); at >= 0) {
        return Fail(ExitCode::VerificationFailed,
                    QStringLiteral("%1: the settings read back differ from %2 at byte %3 of %4")
                        .arg(logger.PortEntry(), path)
                        .arg(at)
                        .arg(wanted.size()));
    }
    if (!programmed) {
        return Fail(ExitCode::LoggerError,
                    QStringLiteral("%1: Error: the logger did not confirm the settings").arg(logger.PortEntry()));
    }
    Report report(options.Json());
    report.Add(QStringLiteral("port"), QStringLiteral("Port"), logger.PortEntry());
    report.Add(QStringLiteral("file"), QStringLiteral("Setup file"), path);
    report.Add(QStringLiteral("bytes"), QStringLiteral("Bytes programmed and verified"), int(wanted.size()));
    report.Add(QStringLiteral("logger_name"), QStringLiteral("Logger name"), logger.Settings.LoggerName);
    report.Print();
    return ExitCode::Done;
}
