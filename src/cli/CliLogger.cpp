#include "cli/CliLogger.h"

#include "cli/ModemDialDisplay.h"
#include "cli/StopSignal.h"
#include "core/AppFolder.h"
#include "core/DataFolder.h"
#include "flow/FlowSource.h"
#include "link/ModemDial.h"
#include "link/OpenPortMessage.h"
#include "link/PortList.h"

#include <QFileInfo>
#include <array>

namespace {

// The first three characters of an initialised logger's memory signature.
const QString SignaturePrefix = QStringLiteral("BL2");
constexpr int DirectReplyTicks = 10;
constexpr int SettingsReadAttempts = 3;

} // namespace

CliLogger::CliLogger()
{
    ticker_.start();
}

CliLogger::~CliLogger()
{
    link.ClosePort();
}

int CliLogger::resolvePort(const QString& text)
{
    ports.Rescan();
    const QString upper = text.trimmed().toUpper();
    if (upper.startsWith(QLatin1String("COM")) && PortNumber(upper) >= 1 && PortNumber(upper) <= PortDirectory::LastPortNumber) {
        const int number = PortNumber(upper);
        portEntry_ = upper;
        for (const NumberedPort& numbered : ports.Ports()) {
            if (numbered.Number == number) {
                portEntry_ = numbered.Entry();
            }
        }
        if (ports.SystemPortName(number).isEmpty()) {
            Fail(ExitCode::NoConnection, QStringLiteral("no device is %1 (see brevel ports)").arg(upper));
            return 0;
        }
        return number;
    }
    const QString canonical = QFileInfo(text).canonicalFilePath();
    for (const NumberedPort& numbered : ports.Ports()) {
        const SerialDevice& device = numbered.Device;
        const bool samePath = device.SystemPath == text || device.DisplayPath == text
            || (!canonical.isEmpty() && QFileInfo(device.SystemPath).canonicalFilePath() == canonical);
        if (samePath || device.Name == QStringLiteral("Virtual logger ") + text) {
            portEntry_ = numbered.Entry();
            return numbered.Number;
        }
    }
    Fail(ExitCode::NoConnection, QStringLiteral("no such port: %1 (see brevel ports)").arg(text));
    return 0;
}

ExitCode CliLogger::connect(const LoggerReach& reach, StopSignal& stop)
{
    if (reach.trace) {
        link.SetTrace([this](const LinkTraceEvent& event) { trace_.print(event); });
    }
    const int number = resolvePort(reach.port);
    if (number == 0) {
        return ExitCode::NoConnection;
    }
    if (!link.OpenPort(number, reach.baud + QStringLiteral(",N,8,1"))) {
        return Fail(ExitCode::NoConnection,
                    QStringLiteral("%1: %2").arg(portEntry_, OneLine(OpenPortFailureText(port.lastOpenError()))));
    }
    if (reach.modem) {
        if (const ExitCode dialled = dial(reach, stop); dialled != ExitCode::Done) {
            return dialled;
        }
    } else {
        line.ReplyTicks = DirectReplyTicks;
        port.setFlowControl(SerialPort::FlowControl::None);
    }
    if (!commands.WakeLogger([&stop] { return stop.requested(); })) {
        link.ClosePort();
        if (stop.requested()) {
            return Fail(ExitCode::Interrupted, QStringLiteral("interrupted while waking the logger"));
        }
        return Fail(ExitCode::NoConnection,
                    QStringLiteral("%1: Error: unable to establish communication with logger.").arg(portEntry_));
    }
    line.Connected = true;
    return checkLogger();
}

ExitCode CliLogger::dial(const LoggerReach& reach, StopSignal& stop)
{
    line.ReplyTicks = options.ModemReplyTicks;
    std::array<QString, 4> numbers;
    const ModemDialSetup setup{numbers, !reach.modemFile.isEmpty(), reach.modemFile};
    ModemDialDisplay display(stop, reach.dialSeconds, reach.trace ? &trace_ : nullptr);
    const ModemDialOutcome outcome = DialModem(reach.number, setup, link, display);
    if (outcome.connected()) {
        return ExitCode::Done;
    }
    link.ClosePort();
    if (stop.requested()) {
        return Fail(ExitCode::Interrupted, QStringLiteral("interrupted while dialling %1").arg(reach.number));
    }
    QString why = outcome.text;
    if (outcome.kind == ModemDialOutcome::Kind::Cancelled) {
        why = QStringLiteral("the modem did not connect within %1 s").arg(reach.dialSeconds);
    }
    if (outcome.kind == ModemDialOutcome::Kind::Error && reach.modemFile.size() > 0
        && why.contains(QLatin1String("command file"))) {
        why += QStringLiteral(": ") + reach.modemFile;
    }
    return Fail(ExitCode::NoConnection, QStringLiteral("%1: dialling %2: %3").arg(portEntry_, reach.number, OneLine(why)));
}

ExitCode CliLogger::checkLogger()
{
    if (settings.NumAnalogChannels != 3) {
        return Fail(ExitCode::LoggerError,
                    QStringLiteral("%1: Error: The Brevel Flow Monitor software only works correctly with loggers "
                                   "that have three analog channels (this one has %2).")
                        .arg(portEntry_)
                        .arg(settings.NumAnalogChannels));
    }
    if (!commands.ReadMemorySignature().startsWith(SignaturePrefix)) {
        return Fail(ExitCode::LoggerError,
                    QStringLiteral("%1: the logger's memory has not been initialised; connect with the Brevel Flow "
                                   "Monitor to initialise it")
                        .arg(portEntry_));
    }
    const QString dataFolder = FindDataFolder(AppFolder());
    LoadRatingCatalogues(catalogues, dataFolder, options.ErrorTrapping);
    LoggerCommands::SettingsReadSteps steps;
    steps.settingsDecoded = [&] {
        const std::optional<FlowMessage> message =
            CheckProgrammedFlowSource(settings, rating, catalogues, AppFolder(), options.ErrorTrapping);
        if (message) {
            Warn(OneLine(message->Text));
        }
        display_ = UpdateFlowDisplay(settings, rating, true, flowDisplay);
    };
    // Every value archived or shown is scaled with these settings: a noisy
    // line gets a few more tries than the program's one read before the
    // tool gives up rather than scale with settings it does not have.
    for (int attempt = 1; !commands.ReadSettings(steps); ++attempt) {
        if (attempt == SettingsReadAttempts) {
            return Fail(ExitCode::LoggerError,
                        QStringLiteral("%1: the logger's settings could not be read").arg(portEntry_));
        }
    }
    return ExitCode::Done;
}

std::optional<CliLogger::ClockReading> CliLogger::readClock()
{
    const std::optional<QDateTime> logger = commands.ReadLoggerDateTime();
    if (!logger) {
        return std::nullopt;
    }
    // The logger's clock has whole seconds: compare with the computer's
    // clock at the moment the reply came, to the second.
    const QDateTime computer = QDateTime::currentDateTime();
    const QDateTime computerSeconds = computer.addMSecs(-computer.time().msec());
    return ClockReading{*logger, computerSeconds, computerSeconds.secsTo(*logger)};
}

HistoryFlowDescription CliLogger::flowDescription() const
{
    HistoryFlowDescription description;
    description.RatingName = rating.RatingName;
    if (display_ && display_->FrameRows) {
        const FlowDisplay::Rows& rows = *display_->FrameRows;
        description.Offset = rows.OffsetText;
        description.Roughness = rows.RoughnessText;
        description.Slope = rows.SlopeText;
        description.Diameter = rows.DiameterText;
    }
    return description;
}

std::unique_ptr<CliLogger> ParseAndConnect(CliArguments& options, const QStringList& arguments, int positionalCount,
                                           StopSignal& stop, ExitCode& code,
                                           const std::function<std::optional<ExitCode>()>& check)
{
    options.addLoggerOptions();
    std::optional<ExitCode> end = options.parse(arguments, positionalCount);
    if (!end && check) {
        end = check();
    }
    if (end) {
        code = *end;
        return nullptr;
    }
    auto logger = std::make_unique<CliLogger>();
    code = logger->connect(options.reach(), stop);
    if (code != ExitCode::Done) {
        return nullptr;
    }
    return logger;
}
