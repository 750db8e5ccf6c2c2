#include "link/ModemDialogue.h"

#include "link/LoggerLink.h"
#include "platform/SerialPort.h"

namespace {

constexpr int CommandAnswerTicks = 30;
constexpr int DialAnswerTicks = 20;
constexpr int ResetPauseTicks = 10;
constexpr int ConnectedPauseTicks = 20;

// The Hayes result that a dial answer holds when it is not a connection.
QString DialFailureIn(const QString& answer)
{
    for (const char* result : {"BUSY", "NO CARRIER", "NO ANSWER", "NO DIALTONE"}) {
        if (answer.contains(QLatin1String(result))) {
            return QString::fromLatin1(result);
        }
    }
    return {};
}

} // namespace

ModemDialogue::ModemDialogue(LoggerLink& link, QStringList commands, QString number, int tickMs, QObject* parent)
    : QObject(parent), link_(link), commands_(std::move(commands)), number_(std::move(number))
{
    timer_.setInterval(tickMs);
    connect(&timer_, &QTimer::timeout, this, &ModemDialogue::Tick);
}

void ModemDialogue::Open()
{
    result_ = ResultTag::Error;
    modemCancel_ = false;
    commandIndex_ = 0;
    tickBusy_ = false;
    hidden_ = false;
    dialFailure_.clear();
    SerialPort& port = link_.Port();
    port.SetFlowControl(SerialPort::FlowControl::Rts);
    port.SetRts(true);
    text_.clear();
    emit TextColourChanged(TextColour::Red);
    AppendText(QStringLiteral("Sending Reset Command to Modem...\r\n"));
    timer_.start();
}

void ModemDialogue::Cancel()
{
    result_ = ResultTag::Cancel;
    modemCancel_ = true;
    StopWaiting();
}

void ModemDialogue::Abandon()
{
    modemCancel_ = true;
    StopWaiting();
}

// The wait in progress ends at once rather than when its ticks run out, so
// that Cancel closes the window without delay.
void ModemDialogue::StopWaiting()
{
    link_.State().ReplyCountdown = 0;
}

bool ModemDialogue::ShouldStop() const
{
    return modemCancel_ || !link_.Port().IsOpen();
}

void ModemDialogue::Hide()
{
    timer_.stop();
    hidden_ = true;
    emit Hidden();
}

void ModemDialogue::AppendText(const QString& text)
{
    text_ += text;
    emit TextAppended(text);
}

// A tick that arrives while an earlier one still waits for the modem does
// nothing; TickBusy stays set once the dialogue has ended.
void ModemDialogue::Tick()
{
    if (tickBusy_) {
        return;
    }
    tickBusy_ = true;
    if (ShouldStop()) {
        Hide();
    } else if (commandIndex_ >= commands_.size()) {
        Dial();
    } else {
        SendNextCommand();
    }
}

// A command the modem does not acknowledge is sent again at the next tick.
void ModemDialogue::SendNextCommand()
{
    link_.Port().DiscardInput();
    if (commandIndex_ == 0) {
        link_.WaitForBytes(ResetPauseTicks, 0);
    }
    SendModemLine(commands_.at(commandIndex_));
    if (ShouldStop()) {
        Hide();
        return;
    }
    // A modem that echoes sends the command back on a line of its own first.
    for (int read = 0; read < 2; ++read) {
        const QString answer = ReadModemLine(CommandAnswerTicks);
        if (ShouldStop()) {
            Hide();
            return;
        }
        if (answer.contains(QLatin1String("OK"))) {
            ++commandIndex_;
            break;
        }
    }
    tickBusy_ = false;
}

// Busy lines and lost carriers are shown but do not end the wait: only
// "CONNECT" or the user does.
void ModemDialogue::Dial()
{
    SendModemLine(QStringLiteral("ATDT") + number_);
    for (;;) {
        const QString answer = ReadModemLine(DialAnswerTicks);
        if (ShouldStop()) {
            Hide();
            return;
        }
        if (answer.contains(QLatin1String("CONNECT"))) {
            break;
        }
        if (const QString failure = DialFailureIn(answer); !failure.isEmpty()) {
            dialFailure_ = failure;
            emit DialFailed(failure);
            if (ShouldStop()) {
                Hide();
                return;
            }
        }
    }
    result_ = ResultTag::Connect;
    emit TextColourChanged(TextColour::Green);
    link_.WaitForBytes(ConnectedPauseTicks, 0);
    Hide();
}

void ModemDialogue::SendModemLine(const QString& text)
{
    link_.Port().WriteText(text + QLatin1Char('\r'));
}

QString ModemDialogue::ReadModemLine(int ticks)
{
    SerialPort& port = link_.Port();
    LinkState& state = link_.State();
    state.ReplyCountdown = static_cast<int16_t>(ticks);
    QString result;
    for (;;) {
        if (port.BytesAvailable() == 0) {
            link_.WaitForBytes(state.ReplyCountdown, 1);
        }
        if (port.IsOpen() && port.BytesAvailable() > 0) {
            const QByteArray piece = port.ReadAll();
            const QString text = QString::fromLatin1(piece);
            AppendText(text);
            result += text;
            if (piece.endsWith('\n')) {
                break;
            }
        }
        if (state.ReplyCountdown <= 0 || ShouldStop()) {
            break;
        }
    }
    return result;
}
