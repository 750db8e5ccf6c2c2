#pragma once

#include "FakeSerialPort.h"
#include "RecordingPrompter.h"
#include "config/LoggerSettings.h"
#include "core/AppState.h"
#include "core/SampleRecord.h"
#include "flow/Rating.h"
#include "link/FrameCodec.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/ModemDial.h"
#include "link/ModemDialogue.h"
#include "link/ReplyTicker.h"

#include <QEventLoop>
#include <QTest>
#include <array>
#include <functional>
#include <memory>

// Shows a dialogue without a window: runs the event loop until it hides
// itself. whileShown runs once the dialogue is open, to drive it.
class LoopDisplay : public ModemDisplay {
public:
    void ShowModal(ModemDialogue& dialogue) override
    {
        ++shown;
        QEventLoop loop;
        QObject::connect(&dialogue, &ModemDialogue::hidden, &loop, &QEventLoop::quit);
        dialogue.Open();
        if (whileShown) {
            whileShown(dialogue);
        }
        if (!dialogue.IsHidden()) {
            loop.exec();
        }
        text = dialogue.Text();
        tickBusyAtEnd = dialogue.TickBusy();
    }

    std::function<void(ModemDialogue&)> whileShown;
    int shown = 0;
    QString text;
    bool tickBusyAtEnd = false;
};

// A link on any port with fast ticks: the status tick and the modem
// window's tick both run every TickMs.
struct ModemLink {
    static constexpr int TickMs = 5;

    explicit ModemLink(SerialPort& port) : link(port, state), ticker(link, TickMs)
    {
        ticker.start();
        link.OpenPort(2, QStringLiteral("9600,N,8,1"));
    }

    bool dial(const QString& number, ModemDisplay& display, bool useFile = false, const QString& file = {})
    {
        return DialModem(number, ModemDialSetup{numbers, useFile, file}, link, prompter, display, TickMs);
    }

    AppState state;
    LoggerLink link;
    ReplyTicker ticker;
    RecordingPrompter prompter;
    std::array<QString, 4> numbers;
};

// A modem that echoes each command line and answers "OK"; a dial gets
// dialAnswer.
inline FakeSerialPort::Responder AnsweringModem(QByteArray dialAnswer = "\r\nCONNECT 9600\r\n")
{
    return [dialAnswer](const QByteArray& written) {
        if (written.startsWith("ATD")) {
            return written + dialAnswer;
        }
        return written + "\r\nOK\r\n";
    };
}

// After a dial: wakes the logger on the far end with the modem's reply
// wait, as the connection window does, reads its settings and one live
// sample. Fails the running test on the first step that does not work.
inline void ReadLoggerBehindModem(LoggerLink& link, AppState& state)
{
    LoggerSettings settings;
    settings.NumAnalogChannels = 0;
    RatingState rating;
    LoggerCommands commands(link, state, settings, rating);
    state.ReplyTicks = state.ModemReplyTicks;
    QVERIFY(commands.WakeLogger([] { return false; }));
    QCOMPARE(int(settings.NumAnalogChannels), 3);
    QVERIFY(commands.ReadSettings());

    QVERIFY(link.SendFrame(QByteArray(1, char(Command::StartSample)) + char(1), 2));
    QCOMPARE(link.ReadReplyByte(state.ReplyTicks), int(Frame::Done));
    QVERIFY(link.SendFrame(QByteArray(1, char(Command::ReadSample)), 2));
    QByteArray frame(24, '\0');
    QVERIFY(link.ReceiveFrame(frame));
    CompactSampleFrame(frame, 3, 2);
    LiveSample sample;
    QVERIFY(DecodeSampleRecord(frame, 0, 5, sample));
    QVERIFY(!sample.Timestamp.isEmpty());
}
