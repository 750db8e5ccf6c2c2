#include "TestRegistry.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/QtSerialPort.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

SerialDevice Device(const char* path, const char* name) { return {QString::fromLatin1(path), QString::fromLatin1(path), QString::fromLatin1(name)}; }

QStringList Entries(const QList<NumberedPort>& ports)
{
    QStringList entries;
    for (const NumberedPort& port : ports) {
        entries.append(port.Entry());
    }
    return entries;
}

} // namespace

class PortDirectoryTest : public QObject {
    Q_OBJECT
private slots:
    void numbersFixedPortsThenDevicesThenVirtualLoggers()
    {
        const QList<SerialDevice> devices{Device("/dev/ttyUSB0", "FT232R USB UART"), Device("/dev/ttyS1", "ttyS1"),
                                          Device("/dev/ttyACM0", "Modem"), Device("/dev/ttyS12", "ttyS12")};
        const QList<VirtualLoggerEntry> loggers{{QStringLiteral("river"), QStringLiteral("/run/sim/river"),
                                                 QStringLiteral("/dev/pts/3")}};
        const QList<NumberedPort> ports = NumberPorts(devices, loggers);
        QCOMPARE(Entries(ports), (QStringList{QStringLiteral("COM2 - ttyS1 (/dev/ttyS1)"),
                                              QStringLiteral("COM9 - Modem (/dev/ttyACM0)"),
                                              QStringLiteral("COM10 - FT232R USB UART (/dev/ttyUSB0)"),
                                              QStringLiteral("COM11 - Virtual logger river (/dev/pts/3)")}));
        // The virtual logger opens through its link, which survives a restart of the simulator.
        QCOMPARE(ports.last().Device.SystemPath, QStringLiteral("/run/sim/river"));
    }

    void numbersStopAtSixteen()
    {
        QList<SerialDevice> devices;
        for (int i = 0; i < 10; ++i) {
            devices.append({QStringLiteral("/dev/ttyUSB%1").arg(i), QStringLiteral("/dev/ttyUSB%1").arg(i), QStringLiteral("Adapter")});
        }
        const QList<NumberedPort> ports = NumberPorts(devices, {});
        QCOMPARE(ports.size(), 8);
        QCOMPARE(ports.last().Number, 16);
    }

    void fixedNumbersNeedNoScan()
    {
        PortDirectory directory(QStringLiteral("/nonexistent"));
        QCOMPARE(directory.SystemPortName(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(directory.SystemPortName(8), QStringLiteral("/dev/ttyS7"));
        QCOMPARE(directory.SystemPortName(0), QString());
        QCOMPARE(directory.SystemPortName(17), QString());
    }

    void discoveryListsARunningVirtualLogger()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("creek"))));
        PortDirectory directory(dir.path());
        const QStringList entries = DiscoverPorts(directory);
        QCOMPARE(entries.first(), QString());
        const QStringList mine = entries.filter(QStringLiteral("Virtual logger creek (/dev/null)"));
        QCOMPARE(mine.size(), 1);
        const int number = mine.first().mid(3, mine.first().indexOf(QLatin1Char(' ')) - 3).toInt();
        QVERIFY(number >= 9 && number <= 16);
        QCOMPARE(directory.SystemPortName(number), dir.filePath(QStringLiteral("creek")));
    }

    void lineSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("baud");
        QTest::newRow("direct") << "9600,N,8,1" << true << 9600;
        QTest::newRow("even parity, two stops") << "19200,e,7,2" << true << 19200;
        QTest::newRow("no baud") << ",N,8,1" << false << 0;
        QTest::newRow("unknown parity") << "9600,X,8,1" << false << 0;
        QTest::newRow("nine data bits") << "9600,N,9,1" << false << 0;
        QTest::newRow("missing field") << "9600,N,8" << false << 0;
    }
    void lineSettings()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, baud);
        const std::optional<LineSettings> settings = ParseLineSettings(text);
        QCOMPARE(settings.has_value(), valid);
        if (valid) {
            QCOMPARE(settings->BaudRate, baud);
        }
    }
};

BREVEL_TEST(PortDirectoryTest)
#include "tst_portdirectory.moc"
