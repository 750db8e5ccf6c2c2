#include "link/LoggerLink.h"

#include "core/ErrorTrap.h"
#include "link/FrameCodec.h"
#include "platform/SerialPort.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>

namespace {

constexpr uint8_t WakeU = 0x55;
constexpr uint8_t WakeG = 0x47;
constexpr uint8_t WakeW = 0x57;
constexpr uint8_t ReadMemory = 0x08;
constexpr uint8_t WriteMemory = 0x07;

} // namespace

struct LoggerLink::Wait {
    int Count = 0;
    QEventLoop Loop;
};

LoggerLink::LoggerLink(SerialPort& port, LinkState& state, const ProgramOptions& options, QObject* parent)
    : QObject(parent), port_(port), state_(state), options_(options)
{
    connect(&port_, &SerialPort::BytesArrived, this, &LoggerLink::EndFinishedWaits);
    connect(&port_, &SerialPort::PortLost, this, &LoggerLink::EndFinishedWaits);
}

LoggerLink::~LoggerLink()
{
    for (Wait* wait : waits_) {
        wait->Loop.quit();
    }
}

bool LoggerLink::OpenPort(int portNumber, const QString& settings)
{
    return RunTrapped(
        options_.ErrorTrapping,
        [&] {
            if (port_.IsOpen()) {
                if (port_.PortNumber() == portNumber && port_.LineSettingsText() == settings) {
                    port_.DiscardInput();
                    return true;
                }
                ClosePort();
            }
            port_.SetPortNumber(portNumber);
            port_.SetLineSettings(settings);
            if (port_.Open()) {
                // A device without modem lines (a pseudo-terminal) refuses
                // these; that does not make the port unusable.
                port_.SetDtr(true);
                port_.SetRts(true);
            }
            const bool open = port_.IsOpen();
            port_.DiscardInput();
            return open;
        },
        [] { return false; });
}

void LoggerLink::ClosePort()
{
    if (!port_.IsOpen()) {
        return;
    }
    try {
        port_.SetDtr(false);
    } catch (...) {
    }
    try {
        port_.Close();
    } catch (...) {
    }
}

bool LoggerLink::WaitIsOver(const Wait& wait) const
{
    if (state_.ReplyCountdown <= 0 || !port_.IsOpen()) {
        return true;
    }
    return wait.Count > 0 && port_.BytesAvailable() >= wait.Count;
}

void LoggerLink::EndFinishedWaits()
{
    for (Wait* wait : waits_) {
        if (WaitIsOver(*wait)) {
            wait->Loop.quit();
        }
    }
}

void LoggerLink::WaitForBytes(int ticks, int count)
{
    state_.ReplyCountdown = static_cast<int16_t>(ticks);
    QCoreApplication::processEvents();
    Wait wait;
    wait.Count = count;
    if (WaitIsOver(wait)) {
        return;
    }
    // Whoever counts ReplyCountdown down (the main window's status tick, a
    // ReplyTicker), the wait looks again each time the event loop has served
    // what was pending and is about to sleep.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const QMetaObject::Connection check =
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &LoggerLink::EndFinishedWaits);
    waits_.push_back(&wait);
    wait.Loop.exec();
    waits_.erase(std::find(waits_.begin(), waits_.end(), &wait));
    disconnect(check);
}

bool LoggerLink::WaitForQuiet(int ticks)
{
    // Like every pause it serves what events wait, even with the port gone.
    bool quiet = true;
    for (int budget = 10 * ticks;;) {
        port_.DiscardInput();
        const int wait = std::min(ticks, budget);
        WaitForBytes(wait, 1);
        if (port_.BytesAvailable() == 0) {
            break;
        }
        quiet = false;
        // The ticks that passed before the bytes came.
        budget -= std::max(wait - state_.ReplyCountdown, 1);
        if (budget <= 0) {
            break;
        }
    }
    port_.DiscardInput();
    return quiet;
}

void LoggerLink::TickReplyCountdown()
{
    if (state_.ReplyCountdown > 0) {
        --state_.ReplyCountdown;
    }
    EndFinishedWaits();
}

void LoggerLink::Trace(LinkTraceEvent::Kind kind, const QByteArray& bytes, const QString& note)
{
    if (trace_) {
        trace_(LinkTraceEvent{kind, bytes, note});
    }
}

bool LoggerLink::WakeHandshake()
{
    static constexpr uint8_t steps[3][2] = {{WakeU, WakeG}, {WakeG, WakeW}, {WakeW, Frame::Done}};
    return RunTrapped(
        options_.ErrorTrapping,
        [&] {
            port_.DiscardInput();
            for (const auto& step : steps) {
                const QByteArray letter(1, static_cast<char>(step[0]));
                Trace(LinkTraceEvent::Kind::Sent, letter, QStringLiteral("wake-up"));
                if (!port_.Write(letter)) {
                    return false;
                }
                WaitForBytes(state_.ReplyTicks, 1);
                const QByteArray answer = port_.BytesAvailable() > 0 ? port_.ReadAll() : QByteArray();
                Trace(answer.isEmpty() ? LinkTraceEvent::Kind::Timeout : LinkTraceEvent::Kind::ReplyByte, answer);
                if (answer.size() != 1 || static_cast<uint8_t>(answer.at(0)) != step[1]) {
                    return false;
                }
            }
            return true;
        },
        [] { return false; });
}

void LoggerLink::DrainStaleInput()
{
    if (port_.BytesAvailable() == 0) {
        return;
    }
    port_.DiscardInput();
    WaitForBytes(2, 0);
    if (port_.BytesAvailable() > 0) {
        port_.ReadAll();
        port_.DiscardInput();
        WaitForBytes(4, 0);
    }
}

bool LoggerLink::SendFrame(const QByteArray& payload, int retries)
{
    if (payload.isEmpty() || payload.size() > Frame::MaxPayload) {
        return false;
    }
    return RunTrapped(
        options_.ErrorTrapping,
        [&] {
            const QByteArray frame = BuildFrame(payload);
            for (int left = retries;; --left) {
                DrainStaleInput();
                port_.DiscardInput();
                Trace(LinkTraceEvent::Kind::Sent, frame,
                      left < retries ? QStringLiteral("retry %1").arg(retries - left) : QString());
                if (!port_.Write(frame)) {
                    return false;
                }
                WaitForBytes(state_.ReplyTicks, 1);
                const QByteArray answer = port_.BytesAvailable() > 0 ? port_.ReadOne() : QByteArray();
                if (answer.size() == 1 && static_cast<uint8_t>(answer.at(0)) == Frame::Acknowledge) {
                    Trace(LinkTraceEvent::Kind::Acknowledged, answer);
                    return true;
                }
                Trace(LinkTraceEvent::Kind::NotAcknowledged, answer,
                      answer.isEmpty() ? QStringLiteral("timeout") : QString());
                if (left <= 0 || !port_.IsOpen()) {
                    return false;
                }
            }
        },
        [] { return false; });
}

int LoggerLink::NextReplyByte()
{
    if (port_.BytesAvailable() == 0) {
        WaitForBytes(state_.ReplyTicks, 1);
        if (port_.BytesAvailable() == 0) {
            return -1;
        }
    }
    const QByteArray one = port_.ReadOne();
    frameBytes_ += one;
    return one.size() == 1 ? static_cast<uint8_t>(one.at(0)) : -1;
}

QString LoggerLink::ReceiveFrameBody(QByteArray& payload)
{
    const QString timeout = QStringLiteral("timeout");
    const int expected = static_cast<int>(payload.size());
    WaitForBytes(state_.ReplyTicks + 3, 4);

    // Hunt for the start byte among what is already waiting, without waiting.
    for (;;) {
        if (port_.BytesAvailable() == 0) {
            return timeout;
        }
        const QByteArray one = port_.ReadOne();
        frameBytes_ += one;
        if (one.size() == 1 && static_cast<uint8_t>(one.at(0)) == Frame::Start) {
            break;
        }
    }

    const int length = NextReplyByte();
    if (length < 0) {
        return timeout;
    }
    if (length != expected + 2) {
        return QStringLiteral("bad length");
    }
    QByteArray received(expected, '\0');
    uint16_t crc = 0;
    for (int i = 0; i < length; ++i) {
        int byte = NextReplyByte();
        if (byte == Frame::Escape) {
            const int k = NextReplyByte();
            if (k < 0) {
                return timeout;
            }
            if (k > 6) {
                return QStringLiteral("bad escape");
            }
            byte = Frame::Start + k;
        }
        if (byte < 0) {
            return timeout;
        }
        if (i < expected) {
            received[i] = static_cast<char>(byte);
        } else if (i == expected) {
            crc = static_cast<uint16_t>(byte);
        } else {
            crc = static_cast<uint16_t>(crc | (byte << 8));
        }
    }
    if (NextReplyByte() != Frame::End) {
        return QStringLiteral("no end byte");
    }
    if (crc != ComputeCrc16(received, 0, expected - 1)) {
        return QStringLiteral("bad CRC");
    }
    payload = received;
    return {};
}

bool LoggerLink::ReceiveFrame(QByteArray& payload)
{
    auto fail = [this] {
        WaitForBytes(2, 0);
        port_.DiscardInput();
        return false;
    };
    if (payload.size() > Frame::MaxPayload) {
        return fail();
    }
    frameBytes_.clear();
    return RunTrapped(
        options_.ErrorTrapping,
        [&] {
            const QString failure = ReceiveFrameBody(payload);
            Trace(failure.isEmpty() ? LinkTraceEvent::Kind::Received : LinkTraceEvent::Kind::BadFrame, frameBytes_,
                  failure);
            return failure.isEmpty() || fail();
        },
        fail);
}

int LoggerLink::ReadReplyByte(int ticks)
{
    return RunTrapped(
        options_.ErrorTrapping,
        [&] {
            if (port_.BytesAvailable() == 0) {
                WaitForBytes(ticks, 1);
            }
            const QByteArray one = port_.BytesAvailable() > 0 ? port_.ReadOne() : QByteArray();
            if (one.size() != 1) {
                Trace(LinkTraceEvent::Kind::Timeout, one, QStringLiteral("timeout"));
                return -1;
            }
            Trace(LinkTraceEvent::Kind::ReplyByte, one);
            return static_cast<int>(static_cast<uint8_t>(one.at(0)));
        },
        [] { return -1; });
}

bool LoggerLink::ReadBlock(QByteArray& buffer, int offset, int count, int32_t address)
{
    if (offset < 0 || count < 0 || count > MaxReadBlock || address < 0 || address >= (1 << 24)) {
        return false;
    }
    QByteArray request(5, '\0');
    request[0] = static_cast<char>(ReadMemory);
    request[1] = static_cast<char>(address & 0xFF);
    request[2] = static_cast<char>((address >> 8) & 0xFF);
    request[3] = static_cast<char>((address >> 16) & 0xFF);
    request[4] = static_cast<char>(count);
    buffer.resize(offset + count, '\0');
    return RunTrapped(
        options_.ErrorTrapping,
        [&] {
            for (int attempt = 0; attempt < 2; ++attempt) {
                if (!SendFrame(request, 2)) {
                    continue;
                }
                QByteArray reply(count + 3, '\0');
                if (!ReceiveFrame(reply) || reply.left(3) != request.mid(1, 3)) {
                    continue;
                }
                std::copy(reply.cbegin() + 3, reply.cend(), buffer.begin() + offset);
                return true;
            }
            return false;
        },
        [] { return false; });
}

bool LoggerLink::WriteBlock(const QByteArray& buffer, int offset, int count, int32_t address)
{
    const int32_t last = address + count - 1;
    if (offset < 0 || count < 1 || count > MaxWriteBlock || offset + count > buffer.size() || address < 0
        || last >= 0x10000) {
        return false;
    }
    QByteArray request;
    request.reserve(count + 7);
    request.append(static_cast<char>(WriteMemory));
    request.append(static_cast<char>(0xA7));
    request.append(static_cast<char>(0x7A));
    request.append(static_cast<char>(address & 0xFF));
    request.append(static_cast<char>((address >> 8) & 0xFF));
    request.append(static_cast<char>(last & 0xFF));
    request.append(static_cast<char>((last >> 8) & 0xFF));
    request.append(buffer.mid(offset, count));
    return RunTrapped(
        options_.ErrorTrapping, [&] { return SendFrame(request, 2); }, [] { return false; });
}
