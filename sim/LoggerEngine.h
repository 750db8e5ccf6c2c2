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

    Reply receive(const QByteArray& bytes) override;
    void lineDropped() override;

    // Loads the logger's memory from options().MemoryFile, or creates the
    // file from the fresh memory when there is none yet. Every later change
    // of the memory is saved there.
    bool attachMemoryFile(QString* error);

    const LoggerOptions& options() const { return options_; }
    const LoggerMemory& memory() const { return memory_; }
    // The line went dead (a hang-up fault) and stays so until the computer
    // reconnects.
    bool lineDead() const { return faults_.lineDead(); }
    QDateTime loggerTime() const;
    void setStatusWord(uint16_t status) { options_.StatusWord = status; }

    // Known raw counts for the live readings (tests, calibration), instead
    // of the generated ones; channels count from 0.
    void setLiveAnalogCount(int channel, uint16_t raw);
    void setLivePulseCount(int channel, uint16_t raw);
    void releaseLiveCounts();

private:
    Reply answer(const QByteArray& request);
    QByteArray clockReply() const;
    bool setClock(const QByteArray& request);
    QByteArray statusReply() const;
    QByteArray identificationReply() const;
    QByteArray sampleFrame() const;
    std::optional<QByteArray> historyBlock(int kind);
    std::optional<QByteArray> readMemory(const QByteArray& request) const;
    bool writeMemory(const QByteArray& request);
    int recordSize() const;
    int64_t wallNow() const;
    void memoryChanged();

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
