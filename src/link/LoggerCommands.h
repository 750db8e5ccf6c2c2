#pragma once

#include "core/LiveSample.h"
#include "link/CommandCodes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class LoggerLink;
struct LoggerStatus;
struct LoggerSettings;
struct RatingState;

// What a read-sample command brought.
struct LiveSampleOutcome {
    enum class Kind {
        Sample,   // a sample frame, decoded; analog channels first, pulse channels at 8 and 9
        NoSample, // the logger answered 0xFD: it has no sample to give
        Failed,   // no acknowledgement, another answer, or a bad frame
        NotAcknowledged, // the request was not acknowledged, or could not be written
    };
    Kind Type = Kind::Failed;
    LiveSample Sample;
};

// The logger's command set on top of the frame layer. No operation shows
// anything: each reports through its result, and the window that started it
// decides what to tell the user.
class LoggerCommands {
public:
    LoggerCommands(LoggerLink& link, LoggerStatus& status, LoggerSettings& settings, RatingState& rating);

    static constexpr int WakeAttempts = 10;

    // The wake-up handshake, up to ten attempts, then the identification.
    // cancelRequested is asked between attempts, never in the middle of one;
    // attemptStarting hears the number (from 1) of each attempt as it starts.
    bool WakeLogger(const std::function<bool()>& cancelRequested,
                    const std::function<void(int attempt)>& attemptStarting = {});

    // "date hh:mm:ss" in the short date format; "00/00/00 00:00:00" on failure.
    QString ReadLoggerClock();
    // The logger's clock as a local date and time; nothing when the read
    // fails or the logger holds an impossible date or time.
    std::optional<QDateTime> ReadLoggerDateTime();
    // From "month/day/year hour:minute:second", optionally followed by AM or PM.
    bool SetLoggerClock(const QString& time);
    // Refreshes RecordCount, StatusWord and LoggingStateText.
    bool ReadLoggerStatus();
    // Refreshes FirmwareVersion and, when plausible, the channel counts and SodSupported.
    bool ReadIdentification();

    // What the window that reads the settings refreshes on the way.
    struct SettingsReadSteps {
        // After a successful decode, before the status read: select the
        // programmed flow source, show the settings summary.
        std::function<void()> SettingsDecoded;
        // After the status read, before the clock read.
        std::function<void()> ShowLiveSamples;
    };
    // Reads the settings memory in three blocks and decodes it, then reads the
    // status and the clock into LoggerStatus whatever happened. True when the
    // settings were read and decoded; otherwise the record is unchanged.
    bool ReadSettings(const SettingsReadSteps& steps = {});
    // Writes the encoded settings in four blocks, reads them back in three and
    // compares every byte.
    bool ProgramSettings();
    // The settings image as the logger holds it, read in three blocks.
    std::optional<QByteArray> ReadSettingsImage();

    // Start sample (09 01), sent once: the logger takes a fresh sample. Its
    // one answer byte is read and ignored; the read-sample command tells.
    void StartSample();
    // Read sample (0A), sent once: 0xFA and the 24-byte sample frame, or 0xFD.
    LiveSampleOutcome ReadLiveSample();

    bool ConfirmSettings();
    bool ClearLoggerMemory();
    bool InitialiseMemory();
    bool ResetPulseAccumulators();

    // The 8 characters at addresses 0-7, unprintable bytes as spaces; "" on failure.
    QString ReadMemorySignature();
    bool WriteMemorySignature(const QString& text);

    static QString LoggingStateFor(uint16_t statusWord);

private:
    bool RunDoneCommand(const QByteArray& payload, int ticks);
    QString ReadLoggerClockBody();
    // The seven clock bytes (seconds ... year), the hours in the 24-hour form.
    std::optional<QByteArray> ReadClockBytes();
    bool SetLoggerClockBody(const QString& time);

    LoggerLink& link_;
    LoggerStatus& status_;
    LoggerSettings& settings_;
    RatingState& rating_;
};

// Two characters: '0' + high nibble, '0' + low nibble (a nibble above 9 gives
// a character beyond the digits, as the logger's clock bytes are shown).
QString BcdText(uint8_t byte);
