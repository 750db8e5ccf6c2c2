#include "cli/CliLogger.h"
#include "cli/Report.h"
#include "cli/Subcommands.h"
#include "config/ChannelScaling.h"
#include "core/NumberText.h"

#include <QJsonObject>

namespace {

// The sample timer's one-shot sample: start, start again a second later,
// read 0.2 s after that.
constexpr int SecondStartTicks = 10;
constexpr int ReadTicks = 2;

QJsonObject Reading(const QString& name, const QString& text, const QString& unit, std::optional<double> value)
{
    QJsonObject row{{QStringLiteral("channel"), name}, {QStringLiteral("text"), text}, {QStringLiteral("unit"), unit}};
    row.insert(QStringLiteral("value"), value ? QJsonValue(*value) : QJsonValue());
    return row;
}

} // namespace

ExitCode RunSample(const QStringList& arguments, StopSignal& stop)
{
    CliArguments options(QStringLiteral("sample --port PORT [options]"),
                         QStringLiteral("Take one live sample and show it in engineering units, with flow and "
                                        "velocity when a flow mode is set."));
    ExitCode code = ExitCode::Done;
    const std::unique_ptr<CliLogger> connected = ParseAndConnect(options, arguments, 0, stop, code);
    if (!connected) {
        return code;
    }
    CliLogger& logger = *connected;
    logger.Commands.StartSample();
    logger.Link.WaitForBytes(SecondStartTicks, 0);
    logger.Commands.StartSample();
    logger.Link.WaitForBytes(ReadTicks, 0);
    const LiveSampleOutcome outcome = logger.Commands.ReadLiveSample();
    if (outcome.Type == LiveSampleOutcome::Kind::NoSample) {
        return Fail(ExitCode::LoggerError, QStringLiteral("%1: the logger has no sample to give").arg(logger.PortEntry()));
    }
    if (outcome.Type != LiveSampleOutcome::Kind::Sample) {
        return Fail(ExitCode::LoggerError, QStringLiteral("%1: the sample could not be read").arg(logger.PortEntry()));
    }

    const LoggerSettings& s = logger.Settings;
    const LiveSample& sample = outcome.Sample;
    QJsonArray rows;
    QStringList lines;
    auto add = [&](const QString& name, const QString& text, const QString& unit, std::optional<double> value) {
        rows.append(Reading(name, text, unit, value));
        lines.append(QStringLiteral("%1: %2 %3").arg(name, text, unit).trimmed());
    };
    std::array<double, 5> levels{-1, -1, -1, -1, -1};
    for (int c = 0; c < s.NumAnalogChannels && c < 8; ++c) {
        if (!s.AnalogEnable[size_t(c)]) {
            continue;
        }
        const int32_t raw = sample.Values[size_t(c)];
        const QString name = QStringLiteral("Channel %1").arg(c + 1);
        if (raw == -1) {
            add(name, QStringLiteral("No sample"), s.EngUnits[size_t(c)], std::nullopt);
            continue;
        }
        const double value = EngineeringValue(s, c, raw);
        if (c == 0) {
            levels[0] = value;
        }
        add(name, FormatDecimals(value, s.DecPlaces[size_t(c)]), s.EngUnits[size_t(c)], value);
    }
    for (int p = 0; p < s.NumDigitalChannels && p < 2; ++p) {
        if (!s.DigitalEnable[size_t(p)]) {
            continue;
        }
        const int32_t raw = sample.Values[size_t(8 + p)];
        const QString name = QStringLiteral("Pulse %1").arg(p + 1);
        if (raw == -1) {
            add(name, QStringLiteral("no sample"), s.EngUnits[size_t(8 + p)], std::nullopt);
            continue;
        }
        const double value = raw * s.PulseUnit[size_t(p)];
        add(name, FormatDecimals(value, s.DecPlaces[size_t(8 + p)]), s.EngUnits[size_t(8 + p)], value);
    }
    const bool flowShown = s.SelectedFlowMethod() != FlowMethod::None && !logger.FlowDisplay.FlowUnitsInvalid && s.AnalogEnable[0];
    if (flowShown && levels[0] != -1) {
        const DerivedReadings derived = ComputeDerivedReadings(s, logger.Rating, logger.FlowDisplay, levels);
        add(QStringLiteral("Flow"), derived.FlowTexts[0], FlowUnitName(s.FlowUnits), derived.FlowValue);
        if (s.SelectedFlowMethod() == FlowMethod::Mannings) {
            add(QStringLiteral("Velocity"), derived.VelocityTexts[0],
                QString::fromLatin1(s.VelUnits == 0 ? "ft/s" : "m/s"), derived.VelocityValue);
        }
    }
    Report report(options.Json());
    report.Add(QStringLiteral("port"), QStringLiteral("Port"), logger.PortEntry());
    report.Add(QStringLiteral("time"), QStringLiteral("Time"), sample.Timestamp);
    report.AddRows(QStringLiteral("readings"), rows, lines);
    report.Print();
    return ExitCode::Done;
}
