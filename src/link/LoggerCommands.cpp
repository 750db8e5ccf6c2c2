#include "link/LoggerCommands.h"

#include "config/LoggerSettings.h"
#include "config/Number24.h"
#include "config/SettingsImage.h"
#include "link/LoggerStatus.h"
#include "core/DateText.h"
#include "core/ErrorTrap.h"
#include "core/NumberText.h"
#include "config/Rating.h"
#include "core/SampleRecord.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"

#include <QDate>
#include <optional>

namespace {

constexpr int CommandRetries = 2;
constexpr int InitialiseTicks = 60;
constexpr int SignatureLength = 8;
// Four bytes of packed time and ten raw counts of two bytes.
constexpr int SampleFrameSize = 24;
const QString ClockFailureText = QStringLiteral("00/00/00 00:00:00");

QByteArray Payload(std::initializer_list<uint8_t> bytes)
{
    QByteArray payload;
    for (uint8_t byte : bytes) {
        payload.append(static_cast<char>(byte));
    }
    return payload;
}

// The two guard bytes that follow the code of the commands that change memory.
QByteArray GuardedPayload(uint8_t code)
{
    return Payload({code, static_cast<uint8_t>(0xA0 + code), static_cast<uint8_t>(code * 16 + 0x0A)});
}

uint8_t At(const QByteArray& bytes, int index) { return static_cast<uint8_t>(bytes.at(index)); }

// The clock fields of "month/day/year hour:minute:second[ AM|PM]".
struct ClockFields {
    int Month, Day, Year, Hour, Minute, Second;
};

std::optional<ClockFields> ParseClockText(const QString& text)
{
    const int slash1 = text.indexOf(QLatin1Char('/'));
    const int slash2 = slash1 < 0 ? -1 : text.indexOf(QLatin1Char('/'), slash1 + 1);
    const int space = slash2 < 0 ? -1 : text.indexOf(QLatin1Char(' '), slash2 + 1);
    const int colon1 = space < 0 ? -1 : text.indexOf(QLatin1Char(':'), space + 1);
    const int colon2 = colon1 < 0 ? -1 : text.indexOf(QLatin1Char(':'), colon1 + 1);
    if (colon2 < 0) {
        return std::nullopt;
    }
    int secondEnd = text.indexOf(QLatin1Char(' '), colon2 + 1);
    if (secondEnd < 0) {
        secondEnd = static_cast<int>(text.size());
    }
    auto field = [&text](int from, int to) {
        return static_cast<int>(LeadingNumber(QStringView(text).mid(from, to - from)));
    };
    ClockFields f{field(0, slash1),
                  field(slash1 + 1, slash2),
                  field(slash2 + 1, space) % 100,
                  field(space + 1, colon1),
                  field(colon1 + 1, colon2),
                  field(colon2 + 1, secondEnd)};
    if (text.contains(QLatin1String("PM")) && f.Hour != 12) {
        f.Hour += 12;
    } else if (text.contains(QLatin1String("AM")) && f.Hour == 12) {
        f.Hour = 0;
    }
    // Anything else would go to the logger as a BCD byte it cannot hold.
    if (f.Month < 1 || f.Month > 12 || f.Day < 1 || f.Day > 31 || f.Year < 0 || f.Hour < 0 || f.Hour > 23
        || f.Minute < 0 || f.Minute > 59 || f.Second < 0 || f.Second > 59) {
        return std::nullopt;
    }
    return f;
}

} // namespace

QString BcdText(uint8_t byte)
{
    return QString(QChar(48 + (byte >> 4))) + QChar(48 + (byte & 0x0F));
}

LoggerCommands::LoggerCommands(LoggerLink& link, LoggerStatus& status, LoggerSettings& settings, RatingState& rating)
    : link_(link), status_(status), settings_(settings), rating_(rating)
{
}

bool LoggerCommands::WakeLogger(const std::function<bool()>& cancelRequested,
                                const std::function<void(int attempt)>& attemptStarting)
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            for (int attempt = 1; attempt <= WakeAttempts; ++attempt) {
                if (attemptStarting) {
                    attemptStarting(attempt);
                }
                if (link_.WakeHandshake()) {
                    return ReadIdentification();
                }
                if (cancelRequested && cancelRequested()) {
                    return false;
                }
            }
            // A logger that is already awake answers framed commands only.
            return ReadIdentification();
        },
        [] { return false; });
}

std::optional<QByteArray> LoggerCommands::ReadClockBytes()
{
    QByteArray reply(7, '\0');
    if (!link_.SendFrame(Payload({Command::ReadClock}), CommandRetries) || !link_.ReceiveFrame(reply)) {
        return std::nullopt;
    }
    const uint8_t hours = At(reply, 2);
    if (hours & 0x40) {
        int hour = FromBcd(hours & 0x1F);
        const bool pm = hours & 0x20;
        if (pm && hour != 12) {
            hour += 12;
        } else if (!pm && hour == 12) {
            hour = 0;
        }
        reply[2] = static_cast<char>(ToBcd(hour));
    }
    return reply;
}

namespace {

// The clock bytes: seconds, minutes, hours (24-hour), day of week, day, month, year.
QDate ClockDate(const QByteArray& r)
{
    return QDate(2000 + FromBcd(At(r, 6)), FromBcd(At(r, 5)), FromBcd(At(r, 4)));
}

QTime ClockTime(const QByteArray& r)
{
    return QTime(FromBcd(At(r, 2)), FromBcd(At(r, 1)), FromBcd(At(r, 0)));
}

} // namespace

QString LoggerCommands::ReadLoggerClockBody()
{
    const std::optional<QByteArray> clock = ReadClockBytes();
    if (!clock) {
        return ClockFailureText;
    }
    const QByteArray& r = *clock;
    const QDate date = ClockDate(r);
    if (!date.isValid()) {
        return ClockFailureText;
    }
    if (const QTime time = ClockTime(r); time.isValid()) {
        status_.ClockOffsetSeconds = QDateTime::currentDateTime().secsTo(QDateTime(date, time));
    }
    // The time as the bytes say, even when they are not a valid time.
    return ShortDateText(date) + QLatin1Char(' ') + BcdText(At(r, 2)) + QLatin1Char(':') + BcdText(At(r, 1))
        + QLatin1Char(':') + BcdText(At(r, 0));
}

std::optional<QDateTime> LoggerCommands::ReadLoggerDateTime()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&]() -> std::optional<QDateTime> {
            const std::optional<QByteArray> r = ReadClockBytes();
            if (!r || !ClockDate(*r).isValid() || !ClockTime(*r).isValid()) {
                return std::nullopt;
            }
            return QDateTime(ClockDate(*r), ClockTime(*r));
        },
        [] { return std::optional<QDateTime>(); });
}

QString LoggerCommands::ReadLoggerClock()
{
    return RunTrapped(
        link_.Options().ErrorTrapping, [&] { return ReadLoggerClockBody(); }, [] { return ClockFailureText; });
}

bool LoggerCommands::SetLoggerClockBody(const QString& time)
{
    const std::optional<ClockFields> f = ParseClockText(time);
    if (!f) {
        return false;
    }
    auto bcd = [](int value) { return static_cast<uint8_t>(ToBcd(value)); };
    const QByteArray payload = Payload({Command::SetClock, bcd(f->Second), bcd(f->Minute), bcd(f->Hour), 0x01,
                                        bcd(f->Day), bcd(f->Month), bcd(f->Year)});
    return link_.SendFrame(payload, CommandRetries) && link_.ReadReplyByte(link_.State().ReplyTicks) == Frame::Done;
}

bool LoggerCommands::SetLoggerClock(const QString& time)
{
    return RunTrapped(
        link_.Options().ErrorTrapping, [&] { return SetLoggerClockBody(time); }, [] { return false; });
}

QString LoggerCommands::LoggingStateFor(uint16_t statusWord)
{
    if (!(statusWord & 0x0080)) {
        return QStringLiteral("Not Logging");
    }
    if (statusWord & 0x0800) {
        return QStringLiteral("Waiting for Alarm 1");
    }
    if (statusWord & 0x2000) {
        return QStringLiteral("Stopped by Alarm 2");
    }
    if (statusWord & 0x1000) {
        return QStringLiteral("Logging Until Alarm 2");
    }
    return QStringLiteral("Logging");
}

bool LoggerCommands::ReadLoggerStatus()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            QByteArray reply(5, '\0');
            if (!link_.SendFrame(Payload({Command::ReadStatus}), CommandRetries) || !link_.ReceiveFrame(reply)) {
                return false;
            }
            status_.RecordCount = At(reply, 0) | (At(reply, 1) << 8) | (static_cast<uint32_t>(At(reply, 2)) << 16);
            status_.StatusWord = static_cast<uint16_t>(At(reply, 3) | (At(reply, 4) << 8));
            status_.LoggingStateText = LoggingStateFor(status_.StatusWord);
            return true;
        },
        [] { return false; });
}

bool LoggerCommands::ReadIdentification()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            QByteArray reply(8, '\0');
            if (!link_.SendFrame(Payload({Command::ReadIdentification}), CommandRetries)
                || !link_.ReceiveFrame(reply)) {
                return false;
            }
            status_.FirmwareVersion = At(reply, 0);
            const uint8_t analog = At(reply, 1);
            const uint8_t pulse = At(reply, 2);
            if (analog < 1 || analog > 8 || pulse > 2) {
                return false;
            }
            settings_.NumAnalogChannels = analog;
            settings_.NumDigitalChannels = pulse;
            settings_.SodSupported = At(reply, 3) > 0;
            return true;
        },
        [] { return false; });
}

bool LoggerCommands::ReadSettings(const SettingsReadSteps& steps)
{
    const bool decoded = RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            const std::optional<QByteArray> image = ReadSettingsImage();
            return image && DecodeSettings(*image, settings_, rating_, link_.Options().ErrorTrapping);
        },
        [] { return false; });
    if (decoded && steps.SettingsDecoded) {
        steps.SettingsDecoded();
    }
    ReadLoggerStatus();
    if (steps.ShowLiveSamples) {
        steps.ShowLiveSamples();
    }
    status_.LoggerTimeText = ReadLoggerClock();
    return decoded;
}

bool LoggerCommands::ProgramSettings()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            const std::optional<QByteArray> image = EncodeSettings(settings_, link_.Options().ErrorTrapping);
            if (!image) {
                return false;
            }
            for (const SettingsRegion& block : SettingsWriteBlocks) {
                if (!link_.WriteBlock(*image, block.ImageOffset, block.Length, block.Address)) {
                    return false;
                }
            }
            const std::optional<QByteArray> readBack = ReadSettingsImage();
            return readBack && *readBack == image->left(SettingsImageSize);
        },
        [] { return false; });
}

std::optional<QByteArray> LoggerCommands::ReadSettingsImage()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&]() -> std::optional<QByteArray> {
            QByteArray image;
            for (const SettingsRegion& region : SettingsReadRegions) {
                if (!link_.ReadBlock(image, region.ImageOffset, region.Length, region.Address)) {
                    return std::nullopt;
                }
            }
            return image;
        },
        [] { return std::optional<QByteArray>(); });
}

void LoggerCommands::StartSample()
{
    RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            link_.SendFrame(Payload({Command::StartSample, 0x01}), 0);
            link_.ReadReplyByte(link_.State().ReplyTicks);
        },
        [] {});
}

LiveSampleOutcome LoggerCommands::ReadLiveSample()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            LiveSampleOutcome outcome;
            if (!link_.SendFrame(Payload({Command::ReadSample}), 0)) {
                outcome.Type = LiveSampleOutcome::Kind::NotAcknowledged;
                return outcome;
            }
            const int answer = link_.ReadReplyByte(link_.State().ReplyTicks);
            if (answer == Frame::NoData) {
                outcome.Type = LiveSampleOutcome::Kind::NoSample;
                outcome.Sample.Values.fill(-1);
                return outcome;
            }
            QByteArray frame(SampleFrameSize, '\0');
            if (answer != Frame::Acknowledge || !link_.ReceiveFrame(frame)) {
                return outcome;
            }
            CompactSampleFrame(frame, settings_.NumAnalogChannels, settings_.NumDigitalChannels);
            if (DecodeSampleRecord(frame, 0, 10, outcome.Sample)) {
                outcome.Type = LiveSampleOutcome::Kind::Sample;
            }
            return outcome;
        },
        [] { return LiveSampleOutcome{}; });
}

bool LoggerCommands::RunDoneCommand(const QByteArray& payload, int ticks)
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] { return link_.SendFrame(payload, CommandRetries) && link_.ReadReplyByte(ticks) == Frame::Done; },
        [] { return false; });
}

bool LoggerCommands::ConfirmSettings()
{
    return RunDoneCommand(GuardedPayload(Command::ConfirmSettings), link_.State().ReplyTicks);
}

bool LoggerCommands::ClearLoggerMemory()
{
    return RunDoneCommand(GuardedPayload(Command::ClearMemory), link_.State().ReplyTicks);
}

bool LoggerCommands::InitialiseMemory()
{
    return RunDoneCommand(GuardedPayload(Command::InitialiseMemory) + Payload({0x00, 0x00, 0x00, 0x02}),
                          InitialiseTicks);
}

bool LoggerCommands::ResetPulseAccumulators()
{
    return RunDoneCommand(Payload({Command::ResetPulseCounts, 0x03}), link_.State().ReplyTicks);
}

QString LoggerCommands::ReadMemorySignature()
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            QByteArray bytes;
            if (!link_.ReadBlock(bytes, 0, SignatureLength, 0)) {
                return QString();
            }
            QString text;
            for (char byte : bytes) {
                const uint8_t code = static_cast<uint8_t>(byte);
                text.append(code >= 32 && code <= 127 ? QChar(code) : QLatin1Char(' '));
            }
            return text;
        },
        [] { return QString(); });
}

bool LoggerCommands::WriteMemorySignature(const QString& text)
{
    return RunTrapped(
        link_.Options().ErrorTrapping,
        [&] {
            QByteArray bytes(SignatureLength, ' ');
            for (int i = 0; i < SignatureLength && i < text.size(); ++i) {
                const char16_t code = text.at(i).unicode();
                bytes[i] = static_cast<char>(code < 256 ? code : '?');
            }
            return link_.WriteBlock(bytes, 0, SignatureLength, 0);
        },
        [] { return false; });
}
