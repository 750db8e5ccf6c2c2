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

// A link on a fake port with fast ticks: the status tick and the modem
// window's tick both run every TickMs.
struct ModemLink {
    static constexpr int TickMs = 5;

    explicit ModemLink(SerialPort& port) : link(port, state, options), ticker(link, TickMs)
    {
        ticker.start();
        link.OpenPort(2, QStringLiteral("9600,N,8,1"));
    }

    bool dial(const QString& number, ModemDisplay& display, bool useFile = false, const QString& file = {})
    {
        outcome = DialModem(number, ModemDialSetup{numbers, useFile, file}, link, display, TickMs);
        TellDialFailure(prompter, outcome);
        return outcome.connected();
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
        QVERIFY(port->isOpen());
    }
    void cleanup()
    {
        modem.reset();
        port.reset();
    }

    void modemHearsEachCommandThenTheDial_data()
    {
        QTest::addColumn<bool>("useFile");
        QTest::addColumn<QByteArray>("file"); // written to the path; empty: no path
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<bool>("echoApart"); // the echo on a line of its own, the answer only later
        const QStringList plain{"ATZ", "ATE1V1Q0", "ATDT555-0100"};
        QTest::newRow("command file switched off") << false << QByteArray("AT&F\r\n") << plain << false;
        QTest::newRow("no command file named") << true << QByteArray() << plain << false;
        QTest::newRow("command file") << true << QByteArray("at&c1\r\n; speaker\r\nATS0=0 never answer\r\n")
                                      << QStringList{"ATZ", "AT&C1", "ATS0=0", "ATDT555-0100"} << false;
        // The second read takes the answer: no command is sent twice.
        QTest::newRow("echo apart") << false << QByteArray() << plain << true;
    }
    void modemHearsEachCommandThenTheDial()
    {
        QFETCH(bool, useFile);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, sent);
        QFETCH(bool, echoApart);
        FakeSerialPort* fake = port.get();
        port->setResponder([fake, echoApart](const QByteArray& written) {
            if (!echoApart) {
                return AnsweringModem()(written);
            }
            const QByteArray answer = AnsweringModem()(written).mid(written.size());
            QTimer::singleShot(3 * ModemLink::TickMs, fake, [fake, answer] { fake->feedReceived(answer); });
            return written + '\n';
        });
        QVERIFY(file.isEmpty() || dir.write("modem.txt", file));
        modem->numbers = {"555-0199", "555-0100", "", ""};

        QVERIFY(modem->dial(QStringLiteral("555-0100"), display, useFile, file.isEmpty() ? QString() : dir.path("modem.txt")));

        QCOMPARE(port->writtenData(), (sent.join(u'\r') + u'\r').toLatin1());
        QVERIFY(port->isOpen());
        QCOMPARE(port->flow, SerialPort::FlowControl::Rts);
        QCOMPARE(modem->numbers, (std::array<QString, 4>{"555-0100", "555-0199", "", ""}));
        QVERIFY(modem->prompter.messages.isEmpty());
        QVERIFY(display.text.startsWith(QStringLiteral("Sending Reset Command to Modem...\r\nATZ\r")));
        QVERIFY(display.text.contains(QStringLiteral("ATDT555-0100\r")));
        QVERIFY(display.text.endsWith(QStringLiteral("CONNECT 9600\r\n")));
    }

    // A modem that never says "OK", or a busy line, runs until Cancel, which
    // ends the wait at once.
    void dialRunsUntilCancel_data()
    {
        QTest::addColumn<QByteArray>("dialAnswer"); // empty: nothing on the port answers
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<ModemDialOutcome::Kind>("kind");
        QTest::newRow("never OK") << QByteArray() << QStringList{"ATZ", "ATZ", "ATZ"} << "Modem...\r\n"
                                  << ModemDialOutcome::Kind::Cancelled;
        QTest::newRow("busy line") << QByteArray("\r\nBUSY\r\n") << QStringList{"ATZ", "ATE1V1Q0", "ATDT5550100"}
                                   << "ATDT5550100\r\r\nBUSY\r\n" << ModemDialOutcome::Kind::Busy;
    }
    void dialRunsUntilCancel()
    {
        QFETCH(QByteArray, dialAnswer);
        QFETCH(QStringList, sent);
        QFETCH(QString, shown);
        QFETCH(ModemDialOutcome::Kind, kind);
        QElapsedTimer sinceCancel;
        bool stillDialling = false;
        display.whileShown = [&](ModemDialogue& dialogue) {
            port->setResponder([&](const QByteArray& written) {
                if (port->writes().size() == 3) {
                    QTimer::singleShot(10 * ModemLink::TickMs, &dialogue, [&] {
                        stillDialling = !dialogue.IsHidden() && dialogue.Result() != ModemDialogue::ResultTag::Connect;
                        sinceCancel.start();
                        dialogue.Cancel();
                    });
                }
                return dialAnswer.isEmpty() ? QByteArray() : AnsweringModem(dialAnswer)(written);
            });
        };
        QVERIFY(!modem->dial(QStringLiteral("5550100"), display));
        QVERIFY(stillDialling);
        QVERIFY(sinceCancel.elapsed() < 15 * ModemLink::TickMs); // a read waits 30
        QCOMPARE(port->writtenData(), (sent.join(u'\r') + u'\r').toLatin1());
        QVERIFY2(display.text.endsWith(shown), qPrintable(display.text));
        QVERIFY(!port->isOpen());
        QVERIFY(modem->prompter.messages.isEmpty());
        QCOMPARE(modem->outcome.kind, kind);
        QVERIFY(display.tickBusyAtEnd);
    }

    void dialRefused_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("file"); // in the temporary folder
        QTest::addColumn<bool>("losePort");
        QTest::addColumn<QString>("message");
        const QString noFile = QStringLiteral("Modem Initialization|Error: cannot open modem command file");
        QTest::newRow("empty number") << QString() << QString() << false
                                      << "Modem Connect|Error: no phone number specified";
        QTest::newRow("missing command file") << "5550100" << "missing.txt" << false << noFile;
        // The adapter is pulled out while the modem is being set up: the dial
        // ends instead of re-sending into a closed port for ever.
        QTest::newRow("port lost") << "5550100" << QString() << true
                                   << "Modem Initialization|Unable to communicate with a modem on this port at selected rate.";
    }
    void dialRefused()
    {
        QFETCH(QString, number);
        QFETCH(QString, file);
        QFETCH(bool, losePort);
        QFETCH(QString, message);
        modem->numbers = {"555-0100", "", "", ""};
        if (losePort) {
            port->setResponder([this](const QByteArray&) {
                port->injectError();
                return QByteArray();
            });
        }
        QVERIFY(!modem->dial(number, display, !file.isEmpty(), file.isEmpty() ? QString() : dir.path(file)));
        QCOMPARE(modem->prompter.messages.size(), 1);
        QCOMPARE(modem->prompter.messages[0].title + '|' + modem->prompter.messages[0].text, message);
        QCOMPARE(modem->prompter.messages[0].icon, PromptIcon::Error);
        QCOMPARE(display.shown, losePort ? 1 : 0);
        QCOMPARE(port->writes().size(), losePort ? 1 : 0);
        QCOMPARE(modem->numbers[0], number.trimmed().isEmpty() ? QStringLiteral("555-0100") : number);
        // An empty number leaves the port to the connection window; a failed set-up closes it.
        QCOMPARE(port->isOpen(), number.trimmed().isEmpty());
    }
};

BREVEL_TEST(ModemDialTest)
#include "tst_modemdial.moc"
