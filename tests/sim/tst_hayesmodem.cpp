#include "HayesModem.h"
#include "LoggerEngine.h"
#include "TestRegistry.h"

#include <QTest>

class HayesModemTest : public QObject {
    Q_OBJECT
private slots:
    void dialogue_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("waitMs"); // before the last piece of the answer
        QTest::addColumn<bool>("online");
        auto row = [](const char* name, const char* sent, const char* answer, int waitMs = 0, bool online = false) {
            QTest::newRow(name) << QByteArray(sent) << QByteArray(answer) << waitMs << online;
        };
        row("reset, echoed", "ATZ\r", "ATZ\r\r\nOK\r\n");
        row("echo off", "ATE0\rAT\r", "ATE0\r\r\nOK\r\n\r\nOK\r\n");
        row("unknown command", "ATE0\rAT+FOO\r", "ATE0\r\r\nOK\r\n\r\nERROR\r\n");
        row("several commands and blanks", "ATE0\rAT M1 L2 &C1 &D2 X4\r", "ATE0\r\r\nOK\r\n\r\nOK\r\n");
        row("not a command line", "hello\r", "hello\r");
        row("no carriage return yet", "ATZ", "ATZ");
        row("dial without a number", "ATE0\rATDT\r", "ATE0\r\r\nOK\r\n\r\nERROR\r\n");
        row("connect", "ATDT555-0100\r", "ATDT555-0100\r\r\nCONNECT\r\n", 1500, true);
    }
    void dialogue()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        QFETCH(int, waitMs);
        QFETCH(bool, online);
        LoggerEngine logger(LoggerOptions{});
        ModemOptions options;
        options.ConnectDelayMs = 1500;
        HayesModem modem(logger, options);
        const Reply reply = modem.Receive(sent);
        QCOMPARE(JoinReply(reply), answer);
        QCOMPARE(reply.isEmpty() ? 0 : reply.last().DelayMs, waitMs);
        QCOMPARE(modem.Online(), online);
        // Online, the logger answers.
        QCOMPARE(JoinReply(modem.Receive("U")) == "G", online);
    }

    void loggerHangUpLosesTheCarrier()
    {
        LoggerOptions options;
        options.Faults.HangUpAfterBytes = 2;
        LoggerEngine logger(options);
        HayesModem modem(logger, ModemOptions{});
        modem.Receive("ATE0\rATDT1\r");
        QVERIFY(modem.Online());
        QCOMPARE(JoinReply(modem.Receive("UGW")), QByteArray("GW\r\nNO CARRIER\r\n"));
        QVERIFY(!modem.Online());
        QCOMPARE(JoinReply(modem.Receive("AT\r")), QByteArray("\r\nOK\r\n"));
        modem.Receive("ATDT1\r");
        QCOMPARE(JoinReply(modem.Receive("U")), QByteArray("G")); // the line is back
        modem.LineDropped(); // the computer closed its port
        QVERIFY(!modem.Online());
        QCOMPARE(JoinReply(modem.Receive("AT\r")), QByteArray("\r\nOK\r\n"));
    }
};

BREVEL_TEST(HayesModemTest)
#include "tst_hayesmodem.moc"
