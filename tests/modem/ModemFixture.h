#pragma once

#include "FakeSerialPort.h"
#include "RecordingPrompter.h"
#include "core/AppState.h"
#include "link/LoggerLink.h"
#include "link/ModemDial.h"
#include "link/ModemDialogue.h"
#include "link/ReplyTicker.h"

#include <QEventLoop>
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
