#include "ModemFixture.h"
#include "TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QList<QByteArray> Lines(const QStringList& commands)
{
    QList<QByteArray> lines;
    for (const QString& command : commands) {
        lines.append(command.toLatin1() + '\r');
    }
    return lines;
}

} // namespace

class ModemDialTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<ModemLink> modem;
    LoopDisplay display;
    QTemporaryDir dir;

    QString writeFile(const QByteArray& text)
    {
        const QString path = dir.filePath(QStringLiteral("modem.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        return path;
    }

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
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("no command file") << false << QByteArray("AT&F\r\n")
                                         << QStringList{"ATZ", "ATE1V1Q0", "ATDT555-0100"};
        QTest::newRow("command file with remarks")
            << true << QByteArray("AT&F\r\n; speaker\r\n\r\nATS0=0 never answer\r\n")
            << QStringList{"ATZ", "AT&F", "ATS0=0", "ATDT555-0100"};
        QTest::newRow("lower case in the file") << true << QByteArray("at&c1\n")
                                                << QStringList{"ATZ", "AT&C1", "ATDT555-0100"};
    }
    void modemHearsEachCommandThenTheDial()
    {
        QFETCH(bool, useFile);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, sent);
        port->setResponder(AnsweringModem());
        modem->numbers = {"555-0199", "555-0100", "", ""};

        QVERIFY(modem->dial(QStringLiteral("555-0100"), display, useFile, writeFile(file)));

        QCOMPARE(port->writes(), Lines(sent));
        QVERIFY(port->isOpen());
        QCOMPARE(port->flow, SerialPort::FlowControl::Rts);
        QVERIFY(port->rts);
        QCOMPARE(modem->numbers, (std::array<QString, 4>{"555-0100", "555-0199", "", ""}));
        QVERIFY(modem->prompter.messages.isEmpty());
        QVERIFY(display.text.startsWith(QStringLiteral("Sending Reset Command to Modem...\r\nATZ\r")));
        QVERIFY(display.text.endsWith(QStringLiteral("CONNECT 9600\r\n")));
    }

    // The echo comes on a line of its own and "OK" only after it: the
    // second read takes it and the command is not sent again.
    void echoOnItsOwnLineAdvancesOnTheSecondRead()
    {
        FakeSerialPort* fake = port.get();
        port->setResponder([fake](const QByteArray& written) {
            const QByteArray answer = written.startsWith("ATD") ? "\r\nCONNECT\r\n" : "\r\nOK\r\n";
            QTimer::singleShot(3 * ModemLink::TickMs, fake, [fake, answer] { fake->feedReceived(answer); });
            return written + '\n';
        });
        QVERIFY(modem->dial(QStringLiteral("5550100"), display));
        QCOMPARE(port->writes(), Lines({"ATZ", "ATE1V1Q0", "ATDT5550100"}));
    }

    void unansweredCommandIsSentAgain()
    {
        int resets = 0;
        port->setResponder([&resets](const QByteArray& written) -> QByteArray {
            if (written == "ATZ\r" && ++resets < 3) {
                return "ATZ\r";
            }
            return AnsweringModem()(written);
        });
        QVERIFY(modem->dial(QStringLiteral("5550100"), display));
        QCOMPARE(port->writes(), Lines({"ATZ", "ATZ", "ATZ", "ATE1V1Q0", "ATDT5550100"}));
    }

    // Nothing on the port answers: the reset goes out again and again until
    // Cancel, which ends the wait at once.
    void silentModemRunsUntilCancel()
    {
        QElapsedTimer sinceCancel;
        display.whileShown = [&](ModemDialogue& dialogue) {
            port->setResponder([&](const QByteArray&) {
                if (port->writes().size() == 3) {
                    QTimer::singleShot(0, &dialogue, [&] {
                        sinceCancel.start();
                        dialogue.Cancel();
                    });
                }
                return QByteArray();
            });
        };
        QVERIFY(!modem->dial(QStringLiteral("5550100"), display));
        QVERIFY(sinceCancel.elapsed() < 15 * ModemLink::TickMs); // a read waits 30
        QCOMPARE(port->writes(), Lines({"ATZ", "ATZ", "ATZ"}));
        QVERIFY(!port->isOpen());
        QVERIFY(modem->prompter.messages.isEmpty());
        QVERIFY(display.tickBusyAtEnd);
    }

    void noNumberToDial_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
    }
    void noNumberToDial()
    {
        QFETCH(QString, number);
        modem->numbers = {"555-0100", "", "", ""};
        QVERIFY(!modem->dial(number, display));
        QCOMPARE(modem->prompter.messages.size(), 1);
        QCOMPARE(modem->prompter.messages[0].title, QStringLiteral("Modem Connect"));
        QCOMPARE(modem->prompter.messages[0].text, QStringLiteral("Error: no phone number specified"));
        QCOMPARE(modem->prompter.messages[0].icon, PromptIcon::Error);
        QCOMPARE(display.shown, 0);
        QCOMPARE(modem->numbers[0], QStringLiteral("555-0100"));
        QVERIFY(port->isOpen()); // the connection window closes it
        QVERIFY(port->writes().isEmpty());
    }

    void missingCommandFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no such file") << QStringLiteral("missing.txt");
        QTest::newRow("a folder") << QStringLiteral(".");
    }
    void missingCommandFile()
    {
        QFETCH(QString, path);
        QVERIFY(!modem->dial(QStringLiteral("5550100"), display, true, dir.filePath(path)));
        QCOMPARE(modem->prompter.messages.size(), 1);
        QCOMPARE(modem->prompter.messages[0].title, QStringLiteral("Modem Initialization"));
        QCOMPARE(modem->prompter.messages[0].text, QStringLiteral("Error: cannot open modem command file"));
        QCOMPARE(modem->prompter.messages[0].icon, PromptIcon::Error);
        QCOMPARE(display.shown, 0);
        QVERIFY(!port->isOpen());
    }

    void commandFileSwitchedOffOrBlankIsNotLookedFor_data()
    {
        QTest::addColumn<bool>("useFile");
        QTest::addColumn<QString>("path");
        QTest::newRow("switched off") << false << QStringLiteral("/no/such/modem.txt");
        QTest::newRow("no path") << true << QString();
    }
    void commandFileSwitchedOffOrBlankIsNotLookedFor()
    {
        QFETCH(bool, useFile);
        QFETCH(QString, path);
        port->setResponder(AnsweringModem());
        QVERIFY(modem->dial(QStringLiteral("5550100"), display, useFile, path));
        QCOMPARE(port->writes(), Lines({"ATZ", "ATE1V1Q0", "ATDT5550100"}));
    }

    // The adapter is pulled out while the modem is being set up: the dial
    // ends instead of re-sending into a closed port for ever.
    void lostPortEndsTheDial()
    {
        display.whileShown = [&](ModemDialogue&) {
            port->setResponder([&](const QByteArray&) {
                port->injectError();
                return QByteArray();
            });
        };
        QVERIFY(!modem->dial(QStringLiteral("5550100"), display));
        QCOMPARE(modem->prompter.messages.size(), 1);
        QCOMPARE(modem->prompter.messages[0].title, QStringLiteral("Modem Initialization"));
        QCOMPARE(modem->prompter.messages[0].text,
                 QStringLiteral("Unable to communicate with a modem on this port at selected rate."));
        QCOMPARE(port->writes().size(), 1);
    }
};

BREVEL_TEST(ModemDialTest)
#include "tst_modemdial.moc"
