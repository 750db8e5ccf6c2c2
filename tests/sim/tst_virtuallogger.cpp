#include "HayesModem.h"
#include "LinkRig.h"
#include "LoggerEngine.h"
#include "SimCommandLine.h"
#include "SimProcess.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/QtSerialPort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const LoggerEngine::Clock Fixed = [] { return QDateTime(QDate(2026, 12, 5), QTime(20, 7, 3)); };

const auto F = [](const char* hex) { return BuildFrame(Hex(hex)); };

using Rate = double FaultOptions::*;

} // namespace

class VirtualLoggerTest : public QObject {
    Q_OBJECT
private slots:
    void repliesMatchTheWire_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("reply");
        const auto row = [](const char* name, const QByteArray& sent, const QByteArray& reply = {}) {
            QTest::newRow(name) << sent << reply;
        };
        row("other bytes ignored", "xZ\r\n");
        // Inside a frame the letters are data: a read of 0x55 bytes at 0x4757.
        row("letters inside a frame", F("0857470055").left(6));
        row("status counts, clear empties", F("0C") + F("04A44A") + F("0C"),
            Hex("FA") + F("7011018030") + Hex("FAFCFA") + F("0000008030"));
        // A clock set to no time is acknowledged and kept: Saturday 5 December 2026, 20:07:03; Sunday is weekday 1.
        row("clock, and memory past 64 KB erased", F("0103076101051226") + F("00") + F("08FEFF0004"),
            Hex("FA FAF80903072007051226 2F7FF9 FA") + F("FEFF00FFFFFFFF"));
        // Intact, each refused: a wrong guard or end address, a write past the end, a read over 242, an unknown code.
        row("refused requests",
            F("04A44B") + F("07A77A0800090041") + F("07A77AFFFF00000102") + F("08080000F3") + F("05"));
        // F8 03 0C 00 05 F9 with a bad checksum, an escape beyond 6 (ending the frame: the U wakes), a short length.
        row("damaged frames", Hex("F8030C0006F9 F8030CFE07") + "U" + Hex("F8040C0005F9"), "G");
        row("restarted frame", Hex("F8030C") + F("0C"), Hex("FA") + F("7011018030"));
    }
    void repliesMatchTheWire()
    {
        QFETCH(QByteArray, sent);
        LoggerOptions options;
        options.HistoryRecords = 70000;
        options.StatusWord = 0x3080;
        LoggerEngine engine(options, Fixed);
        QTEST(JoinReply(engine.Receive(sent)), "reply");
        // Whatever came before, the next intact request is answered.
        QCOMPARE(JoinReply(engine.Receive(F("0C"))).left(3), Hex("FAF807"));
    }

    void eachFaultDoesWhatItSays_data()
    {
        QTest::addColumn<Rate>("rate"); // set to 1
        QTest::newRow("noise") << &FaultOptions::NoiseRate;
        QTest::newRow("lose bytes") << &FaultOptions::LoseByteRate;
        QTest::newRow("corrupt") << &FaultOptions::CorruptRate;
        QTest::newRow("lose acks") << &FaultOptions::LoseAckRate;
        QTest::newRow("lose requests") << &FaultOptions::LoseRequestRate;
        QTest::newRow("late replies") << &FaultOptions::LateRate;
    }
    void eachFaultDoesWhatItSays()
    {
        QFETCH(Rate, rate);
        LoggerOptions options;
        options.Faults = FaultOptions{.LateMinMs = 200, .LateMaxMs = 400};
        options.Faults.*rate = 1.0;
        LoggerEngine engine(options, Fixed);
        const QByteArray clean = JoinReply(LoggerEngine(LoggerOptions{}, Fixed).Receive(F("0F")));
        const Reply reply = engine.Receive(F("0F"));
        const QByteArray faulty = JoinReply(reply);
        if (rate == &FaultOptions::NoiseRate) {
            QCOMPARE(faulty.size(), 2 * clean.size());
            for (int i = 0; i < clean.size(); ++i) {
                QCOMPARE(faulty.at(2 * i + 1), clean.at(i));
            }
        } else if (rate == &FaultOptions::CorruptRate) {
            QCOMPARE(faulty.size(), clean.size());
            for (int i = 0; i < clean.size(); ++i) {
                const uint8_t flipped = static_cast<uint8_t>(faulty.at(i) ^ clean.at(i));
                QVERIFY2(flipped != 0 && (flipped & (flipped - 1)) == 0, "exactly one bit flips");
            }
        } else if (rate == &FaultOptions::LoseAckRate) {
            QCOMPARE(faulty, clean.mid(1)); // the frame still comes, the acknowledgement does not
            QCOMPARE(JoinReply(engine.Receive(F("04A44A"))), Hex("FC")); // and the command still runs
        } else if (rate == &FaultOptions::LateRate) {
            QCOMPARE(faulty, clean); // the whole reply, held back
            QVERIFY(reply.first().DelayMs >= 200 && reply.first().DelayMs <= 400);
        } else {
            QCOMPARE(faulty, QByteArray());
        }
    }

    void dialogue_data()
    {
        QTest::addColumn<QList<QByteArray>>("sent"); // an empty piece: the computer closes its port
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("waitMs"); // before the last piece of the last answer
        QTest::addColumn<int>("hangUpAfter"); // the reply bytes after which the logger hangs up; -1: never
        auto row = [](const char* name, const QList<QByteArray>& sent, const char* answer, int waitMs = 0,
                      int hangUpAfter = -1) {
            QTest::newRow(name) << sent << QByteArray(answer) << waitMs << hangUpAfter;
        };
        // Echo off, then a line of several commands and blanks, an unknown command, a dial without a number.
        row("command lines", {"ATE0\rAT M1 L2 &C1 &D2 X4\rAT+FOO\rATDT\r"},
            "ATE0\r\r\nOK\r\n\r\nOK\r\n\r\nERROR\r\n\r\nERROR\r\n");
        row("not a command, then no carriage return yet", {"hello\rATZ"}, "hello\rATZ");
        row("connect", {"ATDT555-0100\r"}, "ATDT555-0100\r\r\nCONNECT\r\n", 1500);
        // The carrier goes with the logger's line and with the computer's port; a new dial brings the line back.
        row("logger hangs up", {"ATE0\rATDT1\r", "UGW", "AT\r", "ATDT1\r", "U", "", "AT\r"},
            "ATE0\r\r\nOK\r\n\r\nCONNECT\r\nGW\r\nNO CARRIER\r\n\r\nOK\r\n\r\nCONNECT\r\nG\r\nOK\r\n", 0, 2);
    }
    void dialogue()
    {
        QFETCH(QList<QByteArray>, sent);
        QFETCH(int, waitMs);
        QFETCH(int, hangUpAfter);
        LoggerOptions loggerOptions;
        loggerOptions.Faults.HangUpAfterBytes = hangUpAfter;
        LoggerEngine logger(loggerOptions);
        HayesModem modem(logger, ModemOptions{.ConnectDelayMs = 1500});
        QByteArray answer;
        Reply reply;
        for (const QByteArray& piece : sent) {
            if (piece.isEmpty()) {
                modem.LineDropped();
                continue;
            }
            reply = modem.Receive(piece);
            answer += JoinReply(reply);
        }
        QTEST(answer, "answer");
        QCOMPARE(reply.isEmpty() ? 0 : reply.last().DelayMs, waitMs);
        // Only a connect, which waits, leaves the modem online, where the logger answers.
        QCOMPARE(modem.Online(), waitMs > 0);
        QCOMPARE(JoinReply(modem.Receive("U")) == "G", waitMs > 0);
    }

    void repliesArriveThroughTheEventLoop()
    {
        LoggerEngine engine(LoggerOptions{});
        SimSerialPort port(engine, 50);
        QVERIFY(!port.Write("U")); // not open yet
        QVERIFY(port.Open());
        QVERIFY(port.Write("U"));
        QCOMPARE(port.BytesAvailable(), 0);
        // Closing drops what is still on the line: the next answer comes alone.
        port.Close();
        QVERIFY(port.Open());
        port.Write("G");
        QTRY_VERIFY_WITH_TIMEOUT(port.BytesAvailable() > 0, 3000);
        QCOMPARE(port.ReadAll(), QByteArray("W"));
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no analog channel") << QStringList{"--analog", "0"} << "--analog";
        QTest::newRow("too many records") << QStringList{"--records", "2000001"} << "--records";
        QTest::newRow("name with a folder") << QStringList{"--name", "a/b"} << "--name";
        QTest::newRow("late range backwards") << QStringList{"--late-ms", "400-200"} << "--late-ms";
        QTest::newRow("unknown answer") << QStringList{"--answer", "ring"} << "--answer";
        QTest::newRow("unknown option") << QStringList{"--demo"} << "demo";
    }
    void badValuesAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const SimCommandLine parsed = ParseSimCommandLine(QStringList{"brevel-logger-sim"} + arguments);
        QVERIFY2(parsed.Error.contains(named), qPrintable(parsed.Error));
    }

    // The logger program searches its own command line for -d, -i and -w: no option of the simulator has them.
    void noOptionLooksLikeTheProgramsOwn()
    {
        const SimCommandLine parsed = ParseSimCommandLine({"brevel-logger-sim", "--help"});
        QVERIFY(parsed.HelpRequested);
        QVERIFY(parsed.HelpText.count(QRegularExpression(QStringLiteral("--[a-z]"))) > 25);
        const QRegularExpression taken(QStringLiteral("--([a-z-]*-)?[diw][a-z-]*"));
        QVERIFY2(!taken.match(parsed.HelpText).hasMatch(), qPrintable(taken.match(parsed.HelpText).captured()));
    }

    // The program on a real pty: a client that dies holding the port leaves nothing behind; the link then finds,
    // opens and wakes it; an idle wait and the device vanishing as the program ends burn no CPU.
    void servesTheLoggerOnAPseudoTerminal()
    {
        SimProcess sim({"--name", "bench", "--records", "20"});

        const int dead = ::open(QFile::encodeName(sim.linkPath).constData(), O_RDWR | O_NOCTTY);
        ::ioctl(dead, TIOCEXCL);
        QCOMPARE(::write(dead, "U", 1), ssize_t(1));
        pollfd answer{dead, POLLIN, 0};
        QCOMPARE(::poll(&answer, 1, 3000), 1); // "G" now waits, unread
        ::close(dead);

        PortDirectory directory(QFileInfo(sim.linkPath).path());
        const QString entry = QStringLiteral("Virtual logger bench (%1)").arg(sim.devicePath); // the link's target
        const QStringList entries = DiscoverPorts(directory).filter(entry);
        QCOMPARE(entries.size(), 1);
        const int number = entries.first().mid(3, entries.first().indexOf(QLatin1Char(' ')) - 3).toInt();
        LinkRig<QtSerialPort> rig(directory);
        rig.ticker.Stop();
        ReplyTicker ticker(rig.link, 10);
        ticker.Start();
        rig.state.ReplyTicks = 50; // half a second at this 10 ms tick
        // As soon as the program has let go of the dead client's lock.
        QTRY_VERIFY_WITH_TIMEOUT(rig.link.OpenPort(number, QStringLiteral("38400,N,8,1")), 3000);
        const auto cpuSeconds = [] { return double(std::clock()) / CLOCKS_PER_SEC; }; // of every thread
        double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        rig.link.WaitForBytes(50, 1); // nothing comes, not even the dead client's answer: the whole half second
        const double wall = clock.elapsed() / 1000.0;
        QVERIFY(wall >= 0.45);
        QVERIFY2(cpuSeconds() - cpuBefore < 0.02 * wall, qPrintable(QString::number(cpuSeconds() - cpuBefore)));
        QVERIFY(rig.commands.WakeLogger({}));
        QVERIFY(rig.commands.ReadLoggerStatus());
        QCOMPARE(rig.status.RecordCount, 20u);

        QSignalSpy lost(&rig.port, &SerialPort::PortLost);
        sim.process.terminate();
        cpuBefore = cpuSeconds();
        clock.restart();
        rig.link.WaitForBytes(500, 1); // five seconds, unless the loss ends it
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!rig.port.IsOpen());
        QCOMPARE(rig.port.BytesAvailable(), 0);
        rig.link.WaitForBytes(20, 0);
        QVERIFY(cpuSeconds() - cpuBefore < 0.1);
        QVERIFY(!rig.link.SendFrame(Hex("0C"), 2));
        QTRY_COMPARE_WITH_TIMEOUT(sim.process.state(), QProcess::NotRunning, 5000);
        QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
        QVERIFY(!QFileInfo(sim.linkPath).isSymLink()); // the link goes with the program, not left dangling
    }
};

BREVEL_TEST(VirtualLoggerTest)
#include "tst_virtuallogger.moc"
