#include "LoggerEngine.h"

#include "WallClock.h"
#include "config/DefaultSettings.h"
#include "config/Number24.h"
#include "config/SettingsImage.h"
#include "config/Rating.h"
#include "link/CommandCodes.h"
#include "link/FrameCodec.h"

#include <QFileInfo>
#include <QtDebug>

#include <algorithm>

namespace {

constexpr int HistoryBlockSize = 241; // the count byte and 240 bytes of records
constexpr int MaxReadCount = 242;
constexpr int SampleFrameSize = 24;

uint8_t At(const QByteArray& bytes, int index)
{
    return static_cast<uint8_t>(bytes.at(index));
}

// Commands that change memory carry two guard bytes after the code.
bool Guarded(const QByteArray& request)
{
    const uint8_t code = At(request, 0);
    return request.size() >= 3 && At(request, 1) == 0xA0 + code && At(request, 2) == code * 16 + 0x0A;
}

char Byte(int value)
{
    return static_cast<char>(value & 0xFF);
}

uint8_t Bcd(int value)
{
    return static_cast<uint8_t>(ToBcd(value));
}

// A clock field the logger accepts: two decimal digits; -1 otherwise.
int FromClockField(uint8_t bcd)
{
    return ((bcd >> 4) > 9 || (bcd & 0x0F) > 9) ? -1 : FromBcd(bcd);
}

// The settings a logger leaves the factory with, for its channel counts.
QByteArray FactorySettingsImage(int analogChannels, int pulseChannels)
{
    LoggerSettings settings;
    settings.NumAnalogChannels = static_cast<uint8_t>(analogChannels);
    settings.NumDigitalChannels = static_cast<uint8_t>(pulseChannels);
    RatingState rating;
    ApplyDefaultSettings(settings, rating);
    return EncodeSettings(settings, true).value_or(QByteArray());
}

} // namespace

QByteArray JoinReply(const Reply& reply)
{
    QByteArray bytes;
    for (const ReplyPiece& piece : reply) {
        bytes += piece.Bytes;
    }
    return bytes;
}

QByteArray InitialisedSignature()
{
    QByteArray signature = QByteArray("BL2 ") + QByteArray::number(BREVEL_VERSION_MAJOR)
        + QByteArray::number(BREVEL_VERSION_MINOR) + QByteArray::number(BREVEL_VERSION_REVISION);
    return signature.leftJustified(8, ' ', true);
}

LoggerEngine::LoggerEngine(const LoggerOptions& options, Clock clock)
    : options_(options)
    , clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
    , model_(options.DataSeed, options.AnalogChannels)
    , faults_(options.Faults)
{
    const int64_t now = WallSeconds(clock_());
    memory_.PulseSince = now;
    if (options_.Initialised) {
        memory_.Write(0, InitialisedSignature());
        memory_.WriteSettingsImage(FactorySettingsImage(options_.AnalogChannels, options_.PulseChannels));
    }
    memory_.History = GenerateHistory(model_, std::clamp(options_.HistoryRecords, 0, MaxHistoryRecords),
                                      std::max(options_.RecordPeriodSeconds, 1), now, options_.AnalogChannels,
                                      options_.PulseChannels);
}

bool LoggerEngine::AttachMemoryFile(QString* error)
{
    const QString& path = options_.MemoryFile;
    const bool loaded = QFileInfo::exists(path) ? memory_.Load(path, error) : memory_.Save(path, error);
    persist_ = loaded;
    return loaded;
}

void LoggerEngine::MemoryChanged()
{
    QString error;
    if (persist_ && !memory_.Save(options_.MemoryFile, &error)) {
        qWarning("Cannot save the logger memory to %s: %s", qPrintable(options_.MemoryFile), qPrintable(error));
    }
}

int64_t LoggerEngine::WallNow() const
{
    return WallSeconds(clock_()) + memory_.ClockOffsetSeconds;
}

QDateTime LoggerEngine::LoggerTime() const
{
    return WallDateTime(WallNow());
}

void LoggerEngine::LineDropped()
{
    parser_.Reset();
    faults_.Reconnect();
    sampling_ = false;
    blockStart_ = 0;
    blockSize_ = 0;
}

void LoggerEngine::SetLiveAnalogCount(int channel, uint16_t raw)
{
    liveCounts_.at(static_cast<size_t>(channel)) = raw;
}

void LoggerEngine::SetLivePulseCount(int channel, uint16_t raw)
{
    liveCounts_.at(static_cast<size_t>(8 + channel)) = raw;
}

void LoggerEngine::ReleaseLiveCounts()
{
    liveCounts_.fill(std::nullopt);
}

Reply LoggerEngine::Receive(const QByteArray& bytes)
{
    Reply reply;
    for (char byte : bytes) {
        if (faults_.LineDead()) {
            break;
        }
        const std::optional<RequestParser::Event> event = parser_.Push(static_cast<uint8_t>(byte));
        if (!event) {
            continue;
        }
        Reply answered;
        if (event->Type == RequestParser::Event::Kind::Frame && !faults_.LoseRequest()) {
            answered = Answer(event->Payload);
            if (!answered.isEmpty()) {
                answered.first().DelayMs += faults_.LateDelayMs();
            }
        } else if (event->Type == RequestParser::Event::Kind::LooseByte && options_.AnswersWakeUp) {
            switch (event->Byte) {
            case 'U': answered.append({0, QByteArray(1, 'G')}); break;
            case 'G': answered.append({0, QByteArray(1, 'W')}); break;
            case 'W': answered.append({0, QByteArray(1, Byte(Frame::Done))}); break;
            default: break;
            }
        }
        for (ReplyPiece& piece : answered) {
            piece.Bytes = faults_.Distort(piece.Bytes);
            if (!piece.Bytes.isEmpty()) {
                reply.append(piece);
            }
        }
    }
    return reply;
}

// The acknowledgement and the answer of one intact request; nothing for a
// request the logger does not know.
Reply LoggerEngine::Answer(const QByteArray& request)
{
    const uint8_t code = At(request, 0);
    if (options_.MutedCommands.contains(code)) {
        return {};
    }
    const int size = static_cast<int>(request.size());
    const QByteArray done(1, Byte(Frame::Done));
    std::optional<Reply> reply;
    auto frame = [](const QByteArray& payload) { return Reply{{0, BuildFrame(payload)}}; };

    if (code == Command::ReadClock && size == 1) {
        reply = frame(ClockReply());
    } else if (code == Command::SetClock && size == 8) {
        reply = SetClock(request) ? Reply{{0, done}} : Reply{};
    } else if (code == Command::ClearMemory && size == 3 && Guarded(request)) {
        memory_.History.clear();
        blockStart_ = blockSize_ = 0;
        MemoryChanged();
        reply = Reply{{0, done}};
    } else if (code == Command::InitialiseMemory && request == QByteArray::fromHex("06A66A00000002")) {
        memory_.EraseSettings();
        memory_.History.clear();
        memory_.PulseSince = WallNow();
        blockStart_ = blockSize_ = 0;
        MemoryChanged();
        reply = Reply{{options_.InitialiseMs, done}};
    } else if (code == Command::WriteMemory && WriteMemory(request)) {
        reply = Reply{};
    } else if (code == Command::ReadMemory) {
        if (const std::optional<QByteArray> data = ReadMemory(request)) {
            reply = frame(*data);
        }
    } else if (code == Command::StartSample && request == QByteArray::fromHex("0901")) {
        sampling_ = true;
        reply = Reply{{0, done}};
    } else if (code == Command::ReadSample && size == 1) {
        if (sampling_ && !options_.NoSamples) {
            reply = Reply{{0, QByteArray(1, Byte(Frame::Acknowledge)) + BuildFrame(SampleFrame())}};
        } else {
            reply = Reply{{0, QByteArray(1, Byte(Frame::NoData))}};
        }
    } else if (code == Command::ConfirmSettings && size == 3 && Guarded(request)) {
        reply = Reply{{0, done}};
    } else if (code == Command::ReadStatus && size == 1) {
        reply = frame(StatusReply());
    } else if (code == Command::HistoryBlock && size == 2) {
        if (const std::optional<QByteArray> block = HistoryBlock(At(request, 1))) {
            reply = frame(*block);
        }
    } else if (code == Command::ResetPulseCounts && request == QByteArray::fromHex("0E03")) {
        memory_.PulseSince = WallNow();
        for (size_t p = 8; p < 10; ++p) {
            if (liveCounts_[p]) {
                liveCounts_[p] = 0;
            }
        }
        MemoryChanged();
        reply = Reply{{0, done}};
    } else if (code == Command::ReadIdentification && size == 1) {
        reply = frame(IdentificationReply());
    }
    if (!reply) {
        return {};
    }
    if (!faults_.LoseAcknowledge()) {
        reply->prepend({0, QByteArray(1, Byte(Frame::Acknowledge))});
    }
    return *reply;
}

QByteArray LoggerEngine::ClockReply() const
{
    const QDateTime now = LoggerTime();
    const int hour = now.time().hour();
    uint8_t hourByte = Bcd(hour);
    if (options_.TwelveHourClock) {
        const int twelve = hour % 12 == 0 ? 12 : hour % 12;
        hourByte = static_cast<uint8_t>(0x40 | (hour >= 12 ? 0x20 : 0) | Bcd(twelve));
    }
    QByteArray reply;
    reply.append(Byte(Bcd(now.time().second())));
    reply.append(Byte(Bcd(now.time().minute())));
    reply.append(Byte(hourByte));
    reply.append(Byte(now.date().dayOfWeek() % 7 + 1)); // Sunday is day 1
    reply.append(Byte(Bcd(now.date().day())));
    reply.append(Byte(Bcd(now.date().month())));
    reply.append(Byte(Bcd(now.date().year() % 100)));
    return reply;
}

// 01 ss mm hh weekday DD MM YY, 24-hour packed decimal. A time that is no
// time is not taken (and not confirmed).
bool LoggerEngine::SetClock(const QByteArray& request)
{
    const int second = FromClockField(At(request, 1));
    const int minute = FromClockField(At(request, 2));
    const int hour = FromClockField(At(request, 3));
    const int day = FromClockField(At(request, 5));
    const int month = FromClockField(At(request, 6));
    const int year = FromClockField(At(request, 7));
    const QDate date(2000 + year, month, day);
    const QTime time(hour, minute, second);
    if (year < 0 || !date.isValid() || !time.isValid()) {
        return false;
    }
    memory_.ClockOffsetSeconds = WallSeconds(date, time) - WallSeconds(clock_());
    MemoryChanged();
    return true;
}

QByteArray LoggerEngine::StatusReply() const
{
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(memory_.History.size(), 0xFFFFFF));
    QByteArray reply;
    reply.append(Byte(count)).append(Byte(count >> 8)).append(Byte(count >> 16));
    reply.append(Byte(options_.StatusWord)).append(Byte(options_.StatusWord >> 8));
    return reply;
}

QByteArray LoggerEngine::IdentificationReply() const
{
    QByteArray reply(8, '\0');
    reply[0] = Byte(options_.FirmwareVersion);
    reply[1] = Byte(options_.AnalogChannels);
    reply[2] = Byte(options_.PulseChannels);
    reply[3] = options_.SampleOnDemand ? 1 : 0;
    return reply;
}

// Packed time, analog slots 1 to 8 and the two pulse channels, values high
// byte first. A logger with fewer than eight analog channels reports its
// last one in slot 8; the slots between stay 0.
QByteArray LoggerEngine::SampleFrame() const
{
    const int64_t now = WallNow();
    QByteArray frame(SampleFrameSize, '\0');
    const uint32_t time = PackTimestamp(now);
    for (int i = 0; i < 4; ++i) {
        frame[i] = Byte(time >> (8 * i));
    }
    auto put = [&frame](int slot, uint16_t value) {
        frame[4 + 2 * slot] = Byte(value >> 8);
        frame[5 + 2 * slot] = Byte(value);
    };
    const int analog = options_.AnalogChannels;
    for (int c = 0; c < analog; ++c) {
        const uint16_t value = liveCounts_[static_cast<size_t>(c)].value_or(model_.AnalogCount(c, now));
        put(c == analog - 1 && analog > 1 ? 7 : c, value);
    }
    for (int p = 0; p < options_.PulseChannels; ++p) {
        put(8 + p, liveCounts_[static_cast<size_t>(8 + p)].value_or(model_.PulseCount(p, now, memory_.PulseSince)));
    }
    return frame;
}

int LoggerEngine::RecordSize() const
{
    return 4 + 2 * (options_.AnalogChannels + options_.PulseChannels);
}

// kind 0 starts at the first record, 1 moves on past the block sent last,
// 2 sends that block again. The block holds as many whole records as fit
// in 240 bytes; a block with fewer is the last, one with none says the
// history is over.
std::optional<QByteArray> LoggerEngine::HistoryBlock(int kind)
{
    if (kind == 0) {
        blockStart_ = 0;
    } else if (kind == 1) {
        blockStart_ += blockSize_;
    } else if (kind != 2) {
        return std::nullopt;
    }
    const size_t perBlock = static_cast<size_t>((HistoryBlockSize - 1) / RecordSize());
    const size_t count = memory_.History.size();
    blockStart_ = std::min(blockStart_, count);
    blockSize_ = std::min(perBlock, count - blockStart_);
    QByteArray block;
    block.reserve(HistoryBlockSize);
    block.append(Byte(static_cast<int>(blockSize_)));
    for (size_t i = 0; i < blockSize_; ++i) {
        AppendRecordBytes(block, memory_.History[blockStart_ + i], options_.AnalogChannels, options_.PulseChannels);
    }
    block.append(QByteArray(HistoryBlockSize - block.size(), '\0'));
    return block;
}

// 08 a0 a1 a2 n: the reply echoes the address, low byte first, then n bytes.
std::optional<QByteArray> LoggerEngine::ReadMemory(const QByteArray& request) const
{
    if (request.size() != 5 || At(request, 4) > MaxReadCount) {
        return std::nullopt;
    }
    const uint32_t address = At(request, 1) | At(request, 2) << 8 | At(request, 3) << 16;
    return request.mid(1, 3) + memory_.Read(address, At(request, 4));
}

// 07 A7 7A a0 a1 e0 e1 data: e is the address of the last byte written.
bool LoggerEngine::WriteMemory(const QByteArray& request)
{
    if (request.size() < 8 || !Guarded(request)) {
        return false;
    }
    const uint32_t address = At(request, 3) | At(request, 4) << 8;
    const uint32_t end = At(request, 5) | At(request, 6) << 8;
    const QByteArray data = request.mid(7);
    if (end != address + static_cast<uint32_t>(data.size()) - 1 || !memory_.Write(address, data)) {
        return false;
    }
    MemoryChanged();
    return true;
}
