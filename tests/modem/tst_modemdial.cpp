#include "FakeSerialPort.h"
#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "link/LoggerLink.h"
#include "link/ModemDial.h"
#include "link/ModemDialogue.h"
#include "link/ReplyTicker.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

namespace {

// Shows a dialogue without a window: runs the event loop until it hides
// itself. The test drives the one shown from the event loop.
class LoopDisplay : public ModemDisplay {
public:
    void ShowModal(ModemDialogue& dialogue) override
    {
        ++shown;
        showing = &dialogue;
        QEventLoop loop;
        QObject::connect(&dialogue, &ModemDialogue::Hidden, &loop, &QEventLoop::quit);
        dialogue.Open();
        if (!dialogue.IsHidden()) {
            loop.exec();
        }
        text = dialogue.Text();
        tickBusyAtEnd = dialogue.TickBusy();
    }

    ModemDialogue* showing = nullptr;
    int shown = 0;
    QString text;
    bool tickBusyAtEnd = false;
};

// A link on a fake port with fast ticks: the status tick and the modem
// window's tick both run every TickMs.
struct ModemLink {
    static constexpr int TickMs = 5;

    explicit ModemLink(SerialPort& port) : link(port, state, options), ticker(link, TickMs)
    {
        ticker.Start();
        link.OpenPort(2, QStringLiteral("9600,N,8,1"));
    }

    bool dial(const QString& number, ModemDisplay& display, bool useFile = false, const QString& file = {})
    {
        outcome = DialModem(number, ModemDialSetup{numbers, useFile, file}, link, display, TickMs);
        TellDialFailure(prompter, outcome);
        return outcome.Connected();
    }

    LinkState state;
    ProgramOptions options;
    LoggerLink link;
    ReplyTicker ticker;
    RecordingPrompter prompter;
    std::array<QString, 4> numbers;
    ModemDialOutcome outcome;
};

// A modem that echoes each command line and answers "OK"; a dial gets dialAnswer.
FakeSerialPort::Responder AnsweringModem(QByteArray dialAnswer = "\r\nCONNECT 9600\r\n")
{
    return [dialAnswer](const QByteArray& written) {
        return written + (written.startsWith("ATD") ? dialAnswer : QByteArray("\r\nOK\r\n"));
    };
}

// What answers on the line.
enum class Line { Answers, EchoApart, Silent, Busy, Lost };
using Kind = ModemDialOutcome::Kind;

} // namespace

class ModemDialTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<ModemLink> modem;
    LoopDisplay display;
    ScratchFolder dir;

private slots:
    void init()
    {
        port = std::make_unique<FakeSerialPort>();
        modem = std::make_unique<ModemLink>(*port);
        display = LoopDisplay();
        QVERIFY(port->IsOpen());
    }
    void cleanup()
    {
        modem.reset();
        port.reset();
    }

    void dial_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("useFile");
        QTest::addColumn<QString>("file"); // in the temporary folder, where only modem.txt is
        QTest::addColumn<Line>("line");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("shown"); // how the modem window's text ends
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message"); // title|text of the one error box, if any
        const QStringList plain{"ATZ", "ATE1V1Q0", "ATDT555-0100"};
        const QString connect = QStringLiteral("CONNECT 9600\r\n");
        QTest::newRow("no command file named")
            << "555-0100" << true << "" << Line::Answers << plain << connect << Kind::Connected << "";
        QTest::newRow("command file") << "555-0100" << true << "modem.txt" << Line::Answers
                                      << QStringList{"ATZ", "AT&C1", "ATS0=0", "ATDT555-0100"} << connect
                                      << Kind::Connected << "";
        // The second read takes the answer: no command is sent twice.
        QTest::newRow("echo apart")
            << "555-0100" << false << "" << Line::EchoApart << plain << connect << Kind::Connected << "";
        // A modem that never says "OK", or a busy line, runs until Cancel.
        QTest::newRow("never OK") << "555-0100" << false << "" << Line::Silent
                                  << QStringList{"ATZ", "ATZ", "ATZ"} << "Modem...\r\n" << Kind::Cancelled << "";
        QTest::newRow("busy line") << "555-0100" << false << "" << Line::Busy << plain
                                   << "ATDT555-0100\r\r\nBUSY\r\n" << Kind::Busy << "";
        QTest::newRow("empty number") << "" << false << "" << Line::Answers << QStringList{} << ""
                                      << Kind::Error << "Modem Connect|Error: no phone number specified";
        QTest::newRow("missing command file")
            << "555-0100" << true << "missing.txt" << Line::Answers << QStringList{} << "" << Kind::Error
            << "Modem Initialization|Error: cannot open modem command file";
        // The adapter is pulled out while the modem is being set up: the dial
        // ends instead of re-sending into a closed port for ever.
        QTest::newRow("port lost") << "555-0100" << false << "" << Line::Lost << QStringList{"ATZ"} << ""
                                   << Kind::Error
                                   << "Modem Initialization|Unable to communicate with a modem on this port at selected rate.";
    }
    void dial()
    {
        QFETCH(QString, number);
        QFETCH(bool, useFile);
        QFETCH(QString, file);
        QFETCH(Line, line);
        QFETCH(QStringList, sent);
        QFETCH(QString, shown);
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        const bool cancels = line == Line::Silent || line == Line::Busy;
        QElapsedTimer sinceCancel;
        bool stillDialling = false;
        FakeSerialPort* fake = port.get();
        port->setResponder([&, fake](const QByteArray& written) {
            if (ModemDialogue* dialogue = display.showing; cancels && fake->writes().size() == 3) {
                QTimer::singleShot(10 * ModemLink::TickMs, dialogue, [&stillDialling, &sinceCancel, dialogue] {
                    stillDialling = !dialogue->IsHidden() && dialogue->Result() != ModemDialogue::ResultTag::Connect;
                    sinceCancel.start();
                    dialogue->Cancel();
                });
            }
            switch (line) {
            case Line::Answers: return AnsweringModem()(written);
            case Line::Silent: return QByteArray();
            case Line::Busy: return AnsweringModem("\r\nBUSY\r\n")(written);
            case Line::Lost: fake->injectError(); return QByteArray();
            case Line::EchoApart: break;
            }
            const QByteArray answer = AnsweringModem()(written).mid(written.size());
            QTimer::singleShot(3 * ModemLink::TickMs, fake, [fake, answer] { fake->feedReceived(answer); });
            return written + '\n';
        });
        QVERIFY(dir.write("modem.txt", "at&c1\r\n; speaker\r\nATS0=0 never answer\r\n"));
        modem->numbers = {"555-0199", "555-0100", "", ""};

        const bool connected = modem->dial(number, display, useFile, file.isEmpty() ? QString() : dir.path(file));

        QCOMPARE(modem->outcome.Type, kind);
        QCOMPARE(connected, kind == Kind::Connected);
        QCOMPARE(port->writtenData(), sent.isEmpty() ? QByteArray() : (sent.join(u'\r') + u'\r').toLatin1());
        QCOMPARE(display.shown, sent.isEmpty() ? 0 : 1);
        QVERIFY2(shown.isEmpty() || display.text.endsWith(shown), qPrintable(display.text));
        QCOMPARE(modem->numbers[0], number.isEmpty() ? QStringLiteral("555-0199") : number);
        QCOMPARE(modem->prompter.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(modem->prompter.messages[0].title + '|' + modem->prompter.messages[0].text, message);
            QCOMPARE(modem->prompter.messages[0].icon, PromptIcon::Error);
        }
        // An empty number leaves the port to the connection window; a failed dial closes it.
        QCOMPARE(port->IsOpen(), connected || number.isEmpty());
        if (connected) {
            QCOMPARE(port->flow, SerialPort::FlowControl::Rts);
            QCOMPARE(modem->numbers, (std::array<QString, 4>{"555-0100", "555-0199", "", ""}));
            QVERIFY(display.text.startsWith(QStringLiteral("Sending Reset Command to Modem...\r\nATZ\r")));
            QVERIFY(display.text.contains(QStringLiteral("ATDT555-0100\r")));
        }
        if (cancels) {
            QVERIFY(stillDialling);
            QVERIFY(sinceCancel.elapsed() < 15 * ModemLink::TickMs); // a read waits 30
            QVERIFY(display.tickBusyAtEnd);
        }
    }
};

BREVEL_TEST(ModemDialTest)
#include "tst_modemdial.moc"
