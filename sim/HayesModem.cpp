#include "HayesModem.h"

#include "LoggerEngine.h"

#include <cctype>

namespace {

constexpr int MaxLineLength = 255;

// The digits at pos (advancing it); fallback when there are none.
int Number(const QByteArray& text, qsizetype& pos, int fallback)
{
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text.at(pos)))) {
        return fallback;
    }
    int value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text.at(pos))) && value < 100000) {
        value = value * 10 + (text.at(pos++) - '0');
    }
    return value;
}

} // namespace

HayesModem::HayesModem(LoggerEngine& logger, const ModemOptions& options)
    : logger_(logger)
    , options_(options)
{
}

void HayesModem::ResetSettings()
{
    echo_ = true;
    verbose_ = true;
    quiet_ = false;
    registers_.clear();
}

void HayesModem::LineDropped()
{
    online_ = false;
    line_.clear();
    logger_.LineDropped();
}

QByteArray HayesModem::ResultCode(Result result) const
{
    if (quiet_) {
        return {};
    }
    if (!verbose_) {
        return QByteArray::number(static_cast<int>(result)) + '\r';
    }
    const char* text = "";
    switch (result) {
    case Result::Ok: text = "OK"; break;
    case Result::Connect: text = "CONNECT"; break;
    case Result::NoCarrier: text = "NO CARRIER"; break;
    case Result::Error: text = "ERROR"; break;
    case Result::Busy: text = "BUSY"; break;
    }
    return QByteArray("\r\n") + text + "\r\n";
}

Reply HayesModem::Receive(const QByteArray& bytes)
{
    if (online_) {
        Reply reply = logger_.Receive(bytes);
        if (logger_.LineDead()) {
            // The far end went silent: the modem loses the carrier.
            LineDropped();
            reply.append({0, ResultCode(Result::NoCarrier)});
        }
        return reply;
    }
    Reply reply;
    QByteArray echoed;
    for (char byte : bytes) {
        if (echo_) {
            echoed.append(byte);
        }
        if (byte == '\r') {
            reply.append({0, echoed});
            echoed.clear();
            reply += CommandLine(line_);
            line_.clear();
        } else if (byte == '\b') {
            line_.chop(1);
        } else if (byte != '\n' && line_.size() < MaxLineLength) {
            line_.append(byte);
        }
    }
    reply.append({0, echoed});
    reply.removeIf([](const ReplyPiece& piece) { return piece.Bytes.isEmpty(); });
    return reply;
}

// One command line. Lines that do not start with "AT" are not commands and
// get no answer.
Reply HayesModem::CommandLine(const QByteArray& rawLine)
{
    const QByteArray line = rawLine.trimmed().toUpper();
    if (!line.startsWith("AT")) {
        return {};
    }
    qsizetype pos = 2;
    while (pos < line.size()) {
        const char command = line.at(pos++);
        int value = 0;
        switch (command) {
        case ' ':
            break;
        case 'E':
        case 'V':
        case 'Q':
            value = Number(line, pos, 0);
            if (value > 1) {
                return {{0, ResultCode(Result::Error)}};
            }
            (command == 'E' ? echo_ : command == 'V' ? verbose_ : quiet_) = value == 1;
            break;
        case 'Z':
            Number(line, pos, 0);
            ResetSettings();
            break;
        case 'H':
        case 'I':
        case 'L':
        case 'M':
        case 'X':
            if (Number(line, pos, 0) > 4) {
                return {{0, ResultCode(Result::Error)}};
            }
            break;
        case '&':
            if (pos >= line.size() || !QByteArray("FCDKW").contains(line.at(pos))) {
                return {{0, ResultCode(Result::Error)}};
            }
            if (line.at(pos++) == 'F') {
                ResetSettings();
            }
            Number(line, pos, 0);
            break;
        case 'S': {
            const int reg = Number(line, pos, -1);
            if (reg < 0 || reg > 255 || pos >= line.size()) {
                return {{0, ResultCode(Result::Error)}};
            }
            if (line.at(pos) == '?') {
                ++pos;
                const QByteArray shown = QByteArray::number(registers_.value(reg, 0)).rightJustified(3, '0');
                return {{0, "\r\n" + shown + "\r\n" + ResultCode(Result::Ok)}};
            }
            if (line.at(pos++) != '=') {
                return {{0, ResultCode(Result::Error)}};
            }
            registers_[reg] = Number(line, pos, 0);
            break;
        }
        case 'D': {
            const QByteArray number = line.mid(pos).trimmed();
            const QByteArray digits = number.startsWith('T') || number.startsWith('P') ? number.mid(1) : number;
            if (digits.trimmed().isEmpty()) {
                return {{0, ResultCode(Result::Error)}};
            }
            switch (options_.Outcome) {
            case ModemOptions::DialOutcome::Connect:
                logger_.LineDropped(); // a new call: the logger starts afresh
                online_ = true;
                return {{options_.ConnectDelayMs, ResultCode(Result::Connect)}};
            case ModemOptions::DialOutcome::Busy:
                return {{options_.ConnectDelayMs, ResultCode(Result::Busy)}};
            case ModemOptions::DialOutcome::NoCarrier:
                return {{options_.ConnectDelayMs, ResultCode(Result::NoCarrier)}};
            }
            break;
        }
        default:
            return {{0, ResultCode(Result::Error)}};
        }
    }
    return {{0, ResultCode(Result::Ok)}};
}
