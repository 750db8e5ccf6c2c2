#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"

#include <QTest>

class PortDirectoryTest : public QObject {
    Q_OBJECT
private slots:
    void numbersFixedPortsThenDevicesThenVirtualLoggers()
    {
        QList<SerialDevice> devices{{"/dev/ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART"},
                                    {"/dev/ttyS1", "/dev/ttyS1", "ttyS1"},
                                    {"/dev/ttyACM0", "/dev/ttyACM0", "Modem"}};
        const QList<NumberedPort> ports = NumberPorts(devices, {{"river", "/run/sim/river", "/dev/pts/3"}});
        QStringList entries;
        for (const NumberedPort& port : ports) {
            entries.append(port.Entry());
        }
        QCOMPARE(entries, (QStringList{"COM2 - ttyS1 (/dev/ttyS1)", "COM9 - Modem (/dev/ttyACM0)",
                                       "COM10 - FT232R USB UART (/dev/ttyUSB0)",
                                       "COM11 - Virtual logger river (/dev/pts/3)"}));
        // The virtual logger opens through its link, which survives a restart of the simulator.
        QCOMPARE(ports.last().Device.SystemPath, QStringLiteral("/run/sim/river"));
        for (int i = 0; i < 10; ++i) {
            const QString path = QStringLiteral("/dev/ttyUSB%1").arg(i + 1);
            devices.append({path, path, "Adapter"});
        }
        QCOMPARE(NumberPorts(devices, {}).last().Number, 16);
    }

    // A COM number keeps the device the list showed until the next scan: a
    // virtual logger started meanwhile must not move the numbers.
    void numbersHoldUntilTheNextScan()
    {
        ScratchFolder announcements;
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), announcements.path(QStringLiteral("river"))));
        PortDirectory directory(announcements.dir.path());
        directory.Rescan();
        const auto river = std::find_if(directory.Ports().begin(), directory.Ports().end(), [](const NumberedPort& p) {
            return p.Device.SystemPath.endsWith(QLatin1String("/river"));
        });
        QVERIFY(river != directory.Ports().end());
        const int number = river->Number;
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), announcements.path(QStringLiteral("brook")))); // sorts first
        QCOMPARE(directory.SystemPortName(number), announcements.path(QStringLiteral("river")));
        directory.Rescan();
        QCOMPARE(directory.SystemPortName(number), announcements.path(QStringLiteral("brook")));
    }

    void lineSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud"); // 0: refused
        QTest::newRow("direct") << "9600,N,8,1" << 9600;
        QTest::newRow("even parity, two stops") << "19200,e,7,2" << 19200;
        QTest::newRow("no baud") << ",N,8,1" << 0;
        QTest::newRow("unknown parity") << "9600,X,8,1" << 0;
        QTest::newRow("nine data bits") << "9600,N,9,1" << 0;
    }
    void lineSettings()
    {
        QFETCH(QString, text);
        const std::optional<LineSettings> settings = ParseLineSettings(text);
        QTEST(settings ? settings->BaudRate : 0, "baud");
    }
};

BREVEL_TEST(PortDirectoryTest)
#include "tst_portdirectory.moc"
