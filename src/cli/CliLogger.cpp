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
    ticker_.Start();
}

CliLogger::~CliLogger()
{
    Link.ClosePort();
}

int CliLogger::ResolvePort(const QString& text)
{
    Ports.Rescan();
    const QString upper = text.trimmed().toUpper();
    if (upper.startsWith(QLatin1String("COM")) && PortNumber(upper) >= 1 && PortNumber(upper) <= PortDirectory::LastPortNumber) {
        const int number = PortNumber(upper);
        portEntry_ = upper;
        for (const NumberedPort& numbered : Ports.Ports()) {
            if (numbered.Number == number) {
                portEntry_ = numbered.Entry();
            }
        }
        if (Ports.SystemPortName(number).isEmpty()) {
            Fail(ExitCode::NoConnection, QStringLiteral("no device is %1 (see brevel ports)").arg(upper));
            return 0;
        }
        return number;
    }
    const QString canonical = QFileInfo(text).canonicalFilePath();
    for (const NumberedPort& numbered : Ports.Ports()) {
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

ExitCode CliLogger::Connect(const LoggerReach& reach, StopSignal& stop)
{
    if (reach.Trace) {
        Link.SetTrace([this](const LinkTraceEvent& event) { trace_.Print(event); });
    }
    const int number = ResolvePort(reach.Port);
    if (number == 0) {
        return ExitCode::NoConnection;
    }
    if (!Link.OpenPort(number, reach.Baud + QStringLiteral(",N,8,1"))) {
        return Fail(ExitCode::NoConnection,
                    QStringLiteral("%1: %2").arg(portEntry_, OneLine(OpenPortFailureText(Port.LastOpenError()))));
    }
    if (reach.Modem) {
        if (const ExitCode dialled = Dial(reach, stop); dialled != ExitCode::Done) {
            return dialled;
        }
    } else {
        Line.ReplyTicks = DirectReplyTicks;
        Port.SetFlowControl(SerialPort::FlowControl::None);
    }
    if (!Commands.WakeLogger([&stop] { return stop.Requested(); })) {
        Link.ClosePort();
        if (stop.Requested()) {
            return Fail(ExitCode::Interrupted, QStringLiteral("interrupted while waking the logger"));
        }
        return Fail(ExitCode::NoConnection,
                    QStringLiteral("%1: Error: unable to establish communication with logger.").arg(portEntry_));
    }
    Line.Connected = true;
    return CheckLogger();
}

ExitCode CliLogger::Dial(const LoggerReach& reach, StopSignal& stop)
{
    Line.ReplyTicks = Options.ModemReplyTicks;
    std::array<QString, 4> numbers;
    const ModemDialSetup setup{numbers, !reach.ModemFile.isEmpty(), reach.ModemFile};
    ModemDialDisplay display(stop, reach.DialSeconds, reach.Trace ? &trace_ : nullptr);
    const ModemDialOutcome outcome = DialModem(reach.Number, setup, Link, display);
    if (outcome.Connected()) {
        return ExitCode::Done;
    }
    Link.ClosePort();
    if (stop.Requested()) {
        return Fail(ExitCode::Interrupted, QStringLiteral("interrupted while dialling %1").arg(reach.Number));
    }
    QString why = outcome.Text;
    if (outcome.Type == ModemDialOutcome::Kind::Cancelled) {
        why = QStringLiteral("the modem did not connect within %1 s").arg(reach.DialSeconds);
    }
    if (outcome.Type == ModemDialOutcome::Kind::Error && reach.ModemFile.size() > 0
        && why.contains(QLatin1String("command file"))) {
        why += QStringLiteral(": ") + reach.ModemFile;
    }
    return Fail(ExitCode::NoConnection, QStringLiteral("%1: dialling %2: %3").arg(portEntry_, reach.Number, OneLine(why)));
}

ExitCode CliLogger::CheckLogger()
{
    if (Settings.NumAnalogChannels != 3) {
        return Fail(ExitCode::LoggerError,
                    QStringLiteral("%1: Error: The Brevel Flow Monitor software only works correctly with loggers "
                                   "that have three analog channels (this one has %2).")
                        .arg(portEntry_)
                        .arg(Settings.NumAnalogChannels));
    }
    if (!Commands.ReadMemorySignature().startsWith(SignaturePrefix)) {
        return Fail(ExitCode::LoggerError,
                    QStringLiteral("%1: the logger's memory has not been initialised; connect with the Brevel Flow "
                                   "Monitor to initialise it")
                        .arg(portEntry_));
    }
    const QString dataFolder = FindDataFolder(AppFolder());
    LoadRatingCatalogues(Catalogues, dataFolder, Options.ErrorTrapping);
    LoggerCommands::SettingsReadSteps steps;
    steps.SettingsDecoded = [&] {
        const std::optional<FlowMessage> message =
            CheckProgrammedFlowSource(Settings, Rating, Catalogues, AppFolder(), Options.ErrorTrapping);
        if (message) {
            Warn(OneLine(message->Text));
        }
        display_ = UpdateFlowDisplay(Settings, Rating, true, FlowDisplay);
    };
    // Every value archived or shown is scaled with these settings: a noisy
    // line gets a few more tries than the program's one read before the
    // tool gives up rather than scale with settings it does not have.
    for (int attempt = 1; !Commands.ReadSettings(steps); ++attempt) {
        if (attempt == SettingsReadAttempts) {
            return Fail(ExitCode::LoggerError,
                        QStringLiteral("%1: the logger's settings could not be read").arg(portEntry_));
        }
    }
    return ExitCode::Done;
}

std::optional<CliLogger::ClockReading> CliLogger::ReadClock()
{
    const std::optional<QDateTime> logger = Commands.ReadLoggerDateTime();
    if (!logger) {
        return std::nullopt;
    }
    // The logger's clock has whole seconds: compare with the computer's
    // clock at the moment the reply came, to the second.
    const QDateTime computer = QDateTime::currentDateTime();
    const QDateTime computerSeconds = computer.addMSecs(-computer.time().msec());
    return ClockReading{*logger, computerSeconds, computerSeconds.secsTo(*logger)};
}

HistoryFlowDescription CliLogger::FlowDescription() const
{
    HistoryFlowDescription description;
    description.RatingName = Rating.RatingName;
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
    options.AddLoggerOptions();
    std::optional<ExitCode> end = options.Parse(arguments, positionalCount);
    if (!end && check) {
        end = check();
    }
    if (end) {
        code = *end;
        return nullptr;
    }
    auto logger = std::make_unique<CliLogger>();
    code = logger->Connect(options.Reach(), stop);
    if (code != ExitCode::Done) {
        return nullptr;
    }
    return logger;
}
