#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "link/ClockOffsetText.h"
#include "link/CommunicationsLog.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"

#include <QTest>
#include <algorithm>
#include <iterator>

class LinkTextsTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        using Kind = LinkTraceEvent::Kind;
        // The whole line setting as QSerialPort numbers it: baud, parity, data bits, stop bits.
        const auto line = [](const char* text) {
            const std::optional<LineSettings> s = ParseLineSettings(QString::fromLatin1(text));
            return s ? QStringLiteral("%1 %2 %3 %4").arg(s->BaudRate).arg(s->Parity).arg(s->DataBits).arg(s->StopBits)
                     : QStringLiteral("refused");
        };
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("same") << ClockOffsetText(0) << "Logger clock agrees with this computer";
        QTest::newRow("behind") << ClockOffsetText(-133) << "Logger clock 2 min 13 s behind this computer";
        QTest::newRow("ahead") << ClockOffsetText(59) << "Logger clock 59 s ahead of this computer";
        QTest::newRow("hours") << ClockOffsetText(3 * 3600 + 5 * 60 + 9)
                               << "Logger clock 3 h 5 min ahead of this computer";
        QTest::newRow("a day") << ClockOffsetText(-86400 - 7200) << "Logger clock 1 day 2 h behind this computer";
        QTest::newRow("sent") << TraceLineText({Kind::Sent, QByteArray::fromHex("F8030C0005F9"), {}}, 1.25)
                              << "   1.250 > F8 03 0C 00 05 F9";
        QTest::newRow("retry") << TraceLineText({Kind::Sent, QByteArray::fromHex("F8030CF9"), "retry 2"}, 1.25)
                               << "   1.250 > F8 03 0C F9  retry 2";
        QTest::newRow("bad frame") << TraceLineText({Kind::BadFrame, QByteArray::fromHex("F80102F9"), "bad CRC"}, 1.25)
                                   << "   1.250 < F8 01 02 F9  bad frame: bad CRC";
        QTest::newRow("timeout") << TraceLineText({Kind::Timeout, {}, "timeout"}, 1.25)
                                 << "   1.250 <   no reply: timeout";
        QTest::newRow("even parity, two stops") << line("19200,e,7,2") << "19200 2 7 2";
        QTest::newRow("unknown parity") << line("9600,X,8,1") << "refused";
        QTest::newRow("nine data bits") << line("9600,N,9,1") << "refused";
    }
    void texts()
    {
        QFETCH(QString, text);
        QTEST(text, "expected");
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
        QCOMPARE(heard.size(), CommunicationsLog::MaxLines + 2);
        QCOMPARE(log.Text().count(QLatin1Char('\n')), CommunicationsLog::MaxLines);
    }

    void numbersFixedPortsThenDevicesThenVirtualLoggers()
    {
        QList<SerialDevice> devices{{"/dev/ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART"},
                                    {"/dev/ttyS1", "/dev/ttyS1", "ttyS1"},
                                    {"/dev/ttyACM0", "/dev/ttyACM0", "Modem"}};
        const QList<NumberedPort> ports = NumberPorts(devices, {{"river", "/run/sim/river", "/dev/pts/3"}});
        QStringList entries;
        std::ranges::transform(ports, std::back_inserter(entries), &NumberedPort::Entry);
        QCOMPARE(entries, (QStringList{"COM2 - ttyS1 (/dev/ttyS1)", "COM9 - Modem (/dev/ttyACM0)",
                                       "COM10 - FT232R USB UART (/dev/ttyUSB0)",
                                       "COM11 - Virtual logger river (/dev/pts/3)"}));
        for (int i = 1; i <= 10; ++i) {
            devices.append({QStringLiteral("/dev/ttyUSB%1").arg(i), QStringLiteral("/dev/ttyUSB%1").arg(i), "Adapter"});
        }
        QCOMPARE(NumberPorts(devices, {}).last().Number, 16);
    }

    // A COM number keeps its device until the next scan, whatever virtual logger starts meanwhile.
    void numbersHoldUntilTheNextScan()
    {
        ScratchFolder announcements;
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), announcements.path(QStringLiteral("river"))));
        PortDirectory directory(announcements.dir.path());
        directory.Rescan();
        const int number = directory.Ports().last().Number; // virtual loggers come after the devices
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), announcements.path(QStringLiteral("brook")))); // sorts first
        QCOMPARE(directory.SystemPortName(number), announcements.path(QStringLiteral("river")));
        directory.Rescan();
        QCOMPARE(directory.SystemPortName(number), announcements.path(QStringLiteral("brook")));
    }
};

BREVEL_TEST(LinkTextsTest)
#include "tst_linktexts.moc"
