#include "TestRegistry.h"
#include "link/ClockOffsetText.h"
#include "link/CommunicationsLog.h"

#include <QTest>

// The lines a user saves from the communications log and sends to support,
// and what the status line says of the logger's clock.
class LinkTextsTest : public QObject {
    Q_OBJECT
private slots:
    void saysHowFarAndWhichWay_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("same") << qint64(0) << "Logger clock agrees with this computer";
        QTest::newRow("behind") << qint64(-133) << "Logger clock 2 min 13 s behind this computer";
        QTest::newRow("ahead") << qint64(59) << "Logger clock 59 s ahead of this computer";
        QTest::newRow("hours") << qint64(3 * 3600 + 5 * 60 + 9) << "Logger clock 3 h 5 min ahead of this computer";
        QTest::newRow("a day") << qint64(-86400 - 7200) << "Logger clock 1 day 2 h behind this computer";
    }
    void saysHowFarAndWhichWay()
    {
        QFETCH(qint64, seconds);
        QTEST(ClockOffsetText(seconds), "text");
    }

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
        log.OnLine = [&heard](const QString& line) { heard << line; };
        for (int i = 0; i < CommunicationsLog::MaxLines + 2; ++i) {
            log.Add({LinkTraceEvent::Kind::Sent, QByteArray(1, char(i)), QString::number(i)});
        }
        QCOMPARE(int(log.Lines().size()), CommunicationsLog::MaxLines);
        QVERIFY(log.Lines().front().endsWith(QStringLiteral("  2")));
        QVERIFY(log.Lines().back().endsWith(QString::number(CommunicationsLog::MaxLines + 1)));
        QCOMPARE(heard.size(), CommunicationsLog::MaxLines + 2);
        QCOMPARE(log.Text().count(QLatin1Char('\n')), CommunicationsLog::MaxLines);
    }
};

BREVEL_TEST(LinkTextsTest)
#include "tst_linktexts.moc"
