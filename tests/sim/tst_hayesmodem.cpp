#include "HayesModem.h"
#include "LoggerEngine.h"
#include "TestRegistry.h"

#include <QTest>

namespace {

LoggerOptions Logger()
{
    LoggerOptions options;
    options.HistoryRecords = 0;
    return options;
}

} // namespace

class HayesModemTest : public QObject {
    Q_OBJECT
private slots:
    void commandModeAnswers_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("reset, echoed") << QByteArray("ATZ\r") << QByteArray("ATZ\r\r\nOK\r\n");
        QTest::newRow("the program's set-up") << QByteArray("ATE1V1Q0\r") << QByteArray("ATE1V1Q0\r\r\nOK\r\n");
        QTest::newRow("lower case") << QByteArray("at&f\r") << QByteArray("at&f\r\r\nOK\r\n");
        QTest::newRow("echo off") << QByteArray("ATE0\rAT\r") << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n");
        QTest::newRow("numeric codes") << QByteArray("ATE0V0\rATX9\rAT\r") << QByteArray("ATE0V0\r0\r4\r0\r");
        QTest::newRow("quiet") << QByteArray("ATE0Q1\rAT\r") << QByteArray("ATE0Q1\r");
        QTest::newRow("reset restores echo and words") << QByteArray("ATE0V0\rATZ\rAT\r")
                                                       << QByteArray("ATE0V0\r0\r\r\nOK\r\nAT\r\r\nOK\r\n");
        QTest::newRow("unknown command") << QByteArray("ATE0\rAT+FOO\r") << QByteArray("ATE0\r\r\nOK\r\n\r\nERROR\r\n");
        QTest::newRow("unknown ampersand command") << QByteArray("ATE0\rAT&Q5\r") << QByteArray("ATE0\r\r\nOK\r\n\r\nERROR\r\n");
        QTest::newRow("registers") << QByteArray("ATE0\rATS0=2\rATS0?\r")
                                   << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n\r\n002\r\n\r\nOK\r\n");
        QTest::newRow("several commands and blanks") << QByteArray("ATE0\rAT M1 L2 &C1 &D2 X4\r")
                                                     << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n");
        QTest::newRow("not a command line") << QByteArray("hello\r") << QByteArray("hello\r");
        QTest::newRow("no carriage return yet") << QByteArray("ATZ") << QByteArray("ATZ");
        QTest::newRow("backspace") << QByteArray("ATE0\rATX\b\r") << QByteArray("ATE0\r\r\nOK\r\n\r\nOK\r\n");
        QTest::newRow("dial without a number") << QByteArray("ATE0\rATDT\r") << QByteArray("ATE0\r\r\nOK\r\n\r\nERROR\r\n");
    }
    void commandModeAnswers()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        LoggerEngine logger(Logger());
        HayesModem modem(logger, ModemOptions{});
        QCOMPARE(JoinReply(modem.receive(sent)), answer);
        QVERIFY(!modem.online());
    }

    void dialOutcomes_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<bool>("online");
        QTest::newRow("connect") << int(ModemOptions::DialOutcome::Connect) << QByteArray("\r\nCONNECT\r\n") << true;
        QTest::newRow("busy") << int(ModemOptions::DialOutcome::Busy) << QByteArray("\r\nBUSY\r\n") << false;
        QTest::newRow("no carrier") << int(ModemOptions::DialOutcome::NoCarrier) << QByteArray("\r\nNO CARRIER\r\n")
                                    << false;
    }
    void dialOutcomes()
    {
        QFETCH(int, outcome);
        QFETCH(QByteArray, result);
        QFETCH(bool, online);
        LoggerEngine logger(Logger());
        ModemOptions options;
        options.Outcome = static_cast<ModemOptions::DialOutcome>(outcome);
        options.ConnectDelayMs = 1500;
        HayesModem modem(logger, options);
        const Reply reply = modem.receive("ATDT555-0100\r");
        QCOMPARE(reply.size(), 2);
        QCOMPARE(reply.at(0).Bytes, QByteArray("ATDT555-0100\r"));
        QCOMPARE(reply.at(1).DelayMs, 1500);
        QCOMPARE(reply.at(1).Bytes, result);
        QCOMPARE(modem.online(), online);
        // Online, the logger answers; otherwise the modem echoes.
        QCOMPARE(JoinReply(modem.receive("U")), QByteArray(online ? "G" : "U"));
    }

    void loggerHangUpLosesTheCarrier()
    {
        LoggerOptions options = Logger();
        options.Faults.HangUpAfterBytes = 2;
        LoggerEngine logger(options);
        HayesModem modem(logger, ModemOptions{});
        modem.receive("ATE0\rATDT1\r");
        QVERIFY(modem.online());
        QCOMPARE(JoinReply(modem.receive("UGW")), QByteArray("GW\r\nNO CARRIER\r\n"));
        QVERIFY(!modem.online());
        QCOMPARE(JoinReply(modem.receive("AT\r")), QByteArray("\r\nOK\r\n"));
        modem.receive("ATDT1\r");
        QCOMPARE(JoinReply(modem.receive("U")), QByteArray("G")); // the line is back
    }

    void droppedLineEndsTheCall()
    {
        LoggerEngine logger(Logger());
        HayesModem modem(logger, ModemOptions{});
        modem.receive("ATDT1\r");
        modem.lineDropped();
        QVERIFY(!modem.online());
        QCOMPARE(JoinReply(modem.receive("U")), QByteArray("U"));
    }
};

BREVEL_TEST(HayesModemTest)
#include "tst_hayesmodem.moc"
