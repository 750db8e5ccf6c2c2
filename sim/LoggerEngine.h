#pragma once

#include "FaultInjector.h"
#include "LoggerMemory.h"
#include "LoggerOptions.h"
#include "RequestParser.h"
#include "SignalModel.h"
#include "SimDevice.h"

#include <QDateTime>
#include <array>
#include <functional>
#include <optional>

// The logger in software: consumes request bytes and answers them as the
// logger does. Unframed it answers the wake-up letters ("U" with "G", "G"
// with "W", "W" with 0xFC); framed it acknowledges every intact request of
// one of its thirteen commands with 0xFA and answers it. A damaged frame, an
// unknown command or a request with wrong parameters gets no answer at all.
class LoggerEngine : public SimDevice {
public:
    using Clock = std::function<QDateTime()>;

    // The clock gives the computer's local time (the logger's clock runs
    // from it, moved by "set clock"); by default the real time.
    explicit LoggerEngine(const LoggerOptions& options, Clock clock = {});

    Reply Receive(const QByteArray& bytes) override;
    void LineDropped() override;

    // Loads the logger's memory from Options().MemoryFile, or creates the
    // file from the fresh memory when there is none yet. Every later change
    // of the memory is saved there.
    bool AttachMemoryFile(QString* error);

    const LoggerOptions& Options() const { return options_; }
    const LoggerMemory& Memory() const { return memory_; }
    // The line went dead (a hang-up fault) and stays so until the computer
    // reconnects.
    bool LineDead() const { return faults_.LineDead(); }
    QDateTime LoggerTime() const;
    void SetStatusWord(uint16_t status) { options_.StatusWord = status; }

    // Known raw counts for the live readings (tests, calibration), instead
    // of the generated ones; channels count from 0.
    void SetLiveAnalogCount(int channel, uint16_t raw);
    void SetLivePulseCount(int channel, uint16_t raw);
    void ReleaseLiveCounts();

private:
    Reply Answer(const QByteArray& request);
    QByteArray ClockReply() const;
    bool SetClock(const QByteArray& request);
    QByteArray StatusReply() const;
    QByteArray IdentificationReply() const;
    QByteArray SampleFrame() const;
    std::optional<QByteArray> HistoryBlock(int kind);
    std::optional<QByteArray> ReadMemory(const QByteArray& request) const;
    bool WriteMemory(const QByteArray& request);
    int RecordSize() const;
    int64_t WallNow() const;
    void MemoryChanged();

    LoggerOptions options_;
    Clock clock_;
    SignalModel model_;
    LoggerMemory memory_;
    RequestParser parser_;
    FaultInjector faults_;
    bool persist_ = false;
    bool sampling_ = false;
    size_t blockStart_ = 0;
    size_t blockSize_ = 0;
    std::array<std::optional<uint16_t>, 10> liveCounts_{};
};

// The signature an initialised logger carries at address 0: "BL2", a space,
// the program's major, minor and revision numbers, padded to 8 characters.
QByteArray InitialisedSignature();
