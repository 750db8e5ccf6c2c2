#include "TestRegistry.h"
#include "link/CommunicationsLog.h"

#include <QTest>

// The lines a user saves from the communications log and sends to support.
class CommunicationsLogTest : public QObject {
    Q_OBJECT
private slots:
    void linesSayWhatTheLinkSaw_data()
    {
        using Kind = LinkTraceEvent::Kind;
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("line");
        QTest::newRow("sent") << int(Kind::Sent) << QByteArray::fromHex("F8030C0005F9") << QString()
                              << "   1.250 > F8 03 0C 00 05 F9";
        QTest::newRow("retry") << int(Kind::Sent) << QByteArray::fromHex("F8030CF9") << "retry 2"
                               << "   1.250 > F8 03 0C F9  retry 2";
        QTest::newRow("bad frame") << int(Kind::BadFrame) << QByteArray::fromHex("F80102F9") << "bad CRC"
                                   << "   1.250 < F8 01 02 F9  bad frame: bad CRC";
        QTest::newRow("timeout") << int(Kind::Timeout) << QByteArray() << "timeout" << "   1.250 <   no reply: timeout";
    }
    void linesSayWhatTheLinkSaw()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, note);
        QTEST(TraceLineText({LinkTraceEvent::Kind(kind), bytes, note}, 1.25), "line");
    }

    void keepsTheNewestLinesAndTellsEach()
    {
        CommunicationsLog log;
        QStringList heard;
        log.onLine = [&heard](const QString& line) { heard << line; };
        for (int i = 0; i < CommunicationsLog::MaxLines + 2; ++i) {
            log.add({LinkTraceEvent::Kind::Sent, QByteArray(1, char(i)), QString::number(i)});
        }
        QCOMPARE(int(log.lines().size()), CommunicationsLog::MaxLines);
        QVERIFY(log.lines().front().endsWith(QStringLiteral("  2")));
        QVERIFY(log.lines().back().endsWith(QString::number(CommunicationsLog::MaxLines + 1)));
        QCOMPARE(heard.size(), CommunicationsLog::MaxLines + 2);
        QCOMPARE(log.text().count(QLatin1Char('\n')), CommunicationsLog::MaxLines);
    }
};

BREVEL_TEST(CommunicationsLogTest)
#include "tst_communicationslog.moc"
