#include "CloseWhile.h"
#include "FakeSerialPort.h"
#include "HayesModem.h"
#include "LinkRig.h"
#include "LoggerEngine.h"
#include "MainWindowRig.h"
#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "link/ModemCommands.h"
#include "link/ModemDial.h"
#include "link/ModemDialogue.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <array>

namespace {

using Numbers = std::array<QString, 4>;

constexpr int TickMs = 5;

// Shows a dialogue without a window, running the event loop until it hides itself.
struct LoopDisplay : ModemDisplay {
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

QByteArray ModemAnswer(const QByteArray& written, const QByteArray& dialAnswer = "\r\nCONNECT 9600\r\n")
{
    return written + (written.startsWith("ATD") ? dialAnswer : QByteArray("\r\nOK\r\n"));
}

enum class Line { Answers, EchoApart, Silent, Busy, Lost };
using Kind = ModemDialOutcome::Kind;

} // namespace

class ModemTest : public QObject {
    Q_OBJECT
private slots:
    void dial_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("file"); // in a folder where only modem.txt is; null: no command file is used
        QTest::addColumn<Line>("line");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("shown"); // how the modem window's text ends
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message"); // title|text of the one error box, if any
        const auto row = [](const char* name, const char* file, Line line, const char* sent, const char* shown,
                            Kind kind, const char* message = "", const char* number = "555-0100") {
            QTest::newRow(name) << number << (file ? QString(file) : QString()) << line << QByteArray(sent) << shown
                                << kind << message;
        };
        const char* plain = "ATZ\rATE1V1Q0\rATDT555-0100\r";
        const char* connect = "ATDT555-0100\r\r\nCONNECT 9600\r\n";
        row("command file", "modem.txt", Line::Answers, "ATZ\rAT&C1\rATS0=0\rATDT555-0100\r", connect, Kind::Connected);
        // The second read takes the answer: no command is sent twice.
        row("no command file named, echo apart", "", Line::EchoApart, plain, "CONNECT 9600\r\n", Kind::Connected);
        // A modem that never says "OK", or a busy line, runs until Cancel.
        row("never OK", nullptr, Line::Silent, "ATZ\rATZ\rATZ\r", "Modem...\r\n", Kind::Cancelled);
        row("busy line", nullptr, Line::Busy, plain, "ATDT555-0100\r\r\nBUSY\r\n", Kind::Busy);
        row("empty number", nullptr, Line::Answers, "", "", Kind::Error,
            "Modem Connect|Error: no phone number specified", "");
        row("missing command file, a new number", "missing.txt", Line::Answers, "", "", Kind::Error,
            "Modem Initialization|Error: cannot open modem command file", "555-0177");
        // The adapter pulled out during set-up ends the dial instead of re-sending into a closed port for ever.
        row("port lost", nullptr, Line::Lost, "ATZ\r", "", Kind::Error,
            "Modem Initialization|Unable to communicate with a modem on this port at selected rate.");
    }
    void dial()
    {
        QFETCH(QString, number);
        QFETCH(QString, file);
        QFETCH(Line, line);
        QFETCH(QByteArray, sent);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        LinkRig<FakeSerialPort> rig;
        QVERIFY(rig.open());
        FakeSerialPort& port = rig.port;
        LoopDisplay display;
        const bool cancels = line == Line::Silent || line == Line::Busy;
        QElapsedTimer sinceCancel;
        bool stillDialling = false;
        port.setResponder([&](const QByteArray& written) {
            if (ModemDialogue* dialogue = display.showing; cancels && port.writes().size() == 3) {
                QTimer::singleShot(10 * TickMs, dialogue, [&stillDialling, &sinceCancel, dialogue] {
                    stillDialling = !dialogue->IsHidden() && dialogue->Result() != ModemDialogue::ResultTag::Connect;
                    sinceCancel.start();
                    dialogue->Cancel();
                });
            }
            switch (line) {
            case Line::Answers: return ModemAnswer(written);
            case Line::Silent: return QByteArray();
            case Line::Busy: return ModemAnswer(written, "\r\nBUSY\r\n");
            case Line::Lost: port.injectError(); return QByteArray();
            case Line::EchoApart: break;
            }
            const QByteArray answer = ModemAnswer(written).mid(written.size());
            QTimer::singleShot(3 * TickMs, &port, [&port, answer] { port.feedReceived(answer); });
            return written + '\n';
        });
        ScratchFolder dir;
        QVERIFY(dir.write("modem.txt", "at&c1\r\n; speaker\r\nATS0=0 never answer\r\n"));
        const Numbers remembered{"555-0199", "555-0100", "555-0111", "555-0122"};
        Numbers numbers = remembered;
        RecordingPrompter prompter;
        const ModemDialOutcome outcome = DialModem(
            number, {numbers, !file.isNull(), file.isEmpty() ? file : dir.path(file)}, rig.link, display, TickMs);
        TellDialFailure(prompter, outcome);

        QTEST(outcome.Type, "kind");
        QCOMPARE(port.writtenData(), sent);
        QCOMPARE(display.shown, sent.isEmpty() ? 0 : 1);
        QVERIFY2(shown.isEmpty() || (display.text.startsWith(u"Sending Reset Command to Modem...\r\n")
                                     && display.text.endsWith(shown)), qPrintable(display.text));
        // The dialled number goes to the top, whether the dial connects or not; a new one pushes the last out.
        const Numbers moved{"555-0100", "555-0199", "555-0111", "555-0122"};
        const Numbers pushed{"555-0177", "555-0199", "555-0100", "555-0111"};
        QCOMPARE(numbers, number.isEmpty() ? remembered : number == moved[0] ? moved : pushed);
        QCOMPARE(prompter.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompter.messages[0].title + '|' + prompter.messages[0].text, message);
            QCOMPARE(prompter.messages[0].icon, PromptIcon::Error);
        }
        // An empty number leaves the port to the connection window; a failed dial closes it.
        QCOMPARE(port.IsOpen(), outcome.Connected() || number.isEmpty());
        QVERIFY(!outcome.Connected() || port.flow == SerialPort::FlowControl::Rts); // hardware flow once connected
        if (cancels) {
            QVERIFY(stillDialling);
            QVERIFY(sinceCancel.elapsed() < 15 * TickMs); // a read waits 30
            QVERIFY(display.tickBusyAtEnd);
        }
    }

    // The commands a command file gives, after the reset that always comes first.
    void modemTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto commands = [](QByteArray file) {
            QBuffer buffer(&file);
            return buffer.open(QIODevice::ReadOnly) ? ModemCommandsFromFile(buffer).join(u' ') : QString();
        };
        QTest::newRow("upper-cased, remarks and blank lines skipped, last line without a line break")
            << commands("; set up\r\n\r\n  \r\nat&c1\r\nATS0=0 no answer\r\nATL0;quiet\r\nATM0\tmute\nate0\nat&d2")
            << "ATZ AT&C1 ATS0=0 ATL0 ATM0 ATE0 AT&D2";
        QTest::newRow("empty file") << commands({}) << "ATZ";
        QByteArray longFile;
        for (int i = 0; i < MaxModemFileCommands + 10; ++i) {
            longFile += "ATS" + QByteArray::number(i) + "=1\r\n;remark\r\n";
        }
        const QStringList kept = QString::fromLatin1(longFile).split("\r\n").filter("=1").mid(0, MaxModemFileCommands);
        QTest::newRow("commands stop at the limit") << commands(longFile) << "ATZ " + kept.join(u' ');
    }
    void modemTexts()
    {
        QFETCH(QString, text);
        QTEST(text, "expected");
    }

    // The connection window's dial through the virtual logger's modem: closing the main window during it ends the
    // program at once, without a word; a dial that cannot start says why. (The rest is the modem journey's.)
    void dialEnds_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("closeWhileDialling");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("main window closed") << "555-0100" << true << QStringList();
        QTest::newRow("no number") << "" << false << QStringList{"Modem Connect"};
    }
    void dialEnds()
    {
        QFETCH(QString, number);
        QFETCH(bool, closeWhileDialling);
        LoggerEngine engine{LoggerOptions{}};
        HayesModem modem(engine, ModemOptions{.Outcome = ModemOptions::DialOutcome::Busy, .ConnectDelayMs = 100});
        SimSerialPort port(modem, 0, 9600);
        MainWindowRig rig(&port, MainWindowRig::Time::Real);
        rig.store.values.insert(MemorySettingsStore::path("Brevel Logger", "Configuration", "ModemNumber0"), number);
        rig.startUp();
        rig.session.UseModem = true; // the connection window opens with the Modem option chosen
        if (closeWhileDialling) {
            const qint64 ms = CloseWhile(rig.window, [&rig] { rig.connect(); }, [] {
                const QWidget* window = QApplication::activeModalWidget();
                return window && window->objectName() == QLatin1String("frmModem");
            });
            QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
            QCOMPARE(rig.store.writtenKeys.size(), 15);
        } else {
            QVERIFY(!rig.connect());
        }
        QVERIFY(!port.IsOpen());
        QTEST(rig.titles(), "told");
    }
};

BREVEL_TEST(ModemTest)
#include "tst_modem.moc"
