#include "SimProcess.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

class SimProgramTest : public QObject {
    Q_OBJECT
private slots:
    void servesTheLoggerOnAPseudoTerminal()
    {
        SimProcess sim({QStringLiteral("--name"), QStringLiteral("bench"), QStringLiteral("--records"),
                        QStringLiteral("20")});
        QVERIFY2(sim.devicePath.startsWith(QLatin1String("/dev/pts/")), qPrintable(sim.devicePath));
        QCOMPARE(sim.linkPath, sim.folder.path() + QStringLiteral("/brevel-logger-sim/bench"));
        QCOMPARE(QFile::symLinkTarget(sim.linkPath), sim.devicePath);

        // A client locks the port, asks, and dies before reading the answer.
        const int dead = ::open(QFile::encodeName(sim.linkPath).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(dead >= 0);
        ::ioctl(dead, TIOCEXCL);
        QCOMPARE(::write(dead, "U", 1), ssize_t(1));
        pollfd answer{dead, POLLIN, 0};
        QCOMPARE(::poll(&answer, 1, 3000), 1); // "G" now waits, unread
        ::close(dead);

        for (int connection = 0; connection < 2; ++connection) { // the port can be opened again
            QSerialPort port(sim.linkPath);
            // Open as soon as the program has let go of the dead client's lock.
            bool opened = false;
            QTRY_VERIFY2_WITH_TIMEOUT(opened || (opened = port.open(QIODevice::ReadWrite)), qPrintable(port.errorString()),
                                      3000);
            port.setBaudRate(QSerialPort::Baud38400);
            port.write("UGW");
            QTRY_VERIFY_WITH_TIMEOUT(port.bytesAvailable() >= 3, 3000);
            // Nothing left over from the client before.
            QCOMPARE(port.readAll().toHex(' '), QByteArray("47 57 fc"));
            port.write(BuildFrame(QByteArray::fromHex("0C")));
            QTRY_VERIFY_WITH_TIMEOUT(port.bytesAvailable() >= 11, 3000);
            // Status: 20 records, logging.
            QCOMPARE(port.readAll().mid(3, 5).toHex(' '), QByteArray("14 00 00 80 00"));
            port.close();
        }
        sim.process.terminate();
        QVERIFY(sim.process.waitForFinished(5000));
        QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
        QVERIFY(!QFileInfo(sim.linkPath).isSymLink()); // the link goes with the program, not left dangling
    }
};

BREVEL_TEST(SimProgramTest)
#include "tst_simprogram.moc"
