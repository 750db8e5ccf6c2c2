#include "ModemFixture.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "link/ModemWindow.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"

#include <QTest>

// The whole road over a pseudo-terminal: the program's serial port, the
// virtual logger program with its Hayes modem in front, the modem window.
class ModemPtyTest : public QObject {
    Q_OBJECT

    // The COM number the port directory gives the virtual logger named name.
    static int PortNumberOf(PortDirectory& directory, const QString& name)
    {
        directory.Rescan();
        for (const NumberedPort& port : directory.Ports()) {
            if (port.Device.Name.endsWith(name)) {
                return port.Number;
            }
        }
        return 0;
    }

private slots:
    void dialConnectsAndTheLoggerAnswers()
    {
        SimProcess sim({QStringLiteral("--modem"), QStringLiteral("--connect-after"),
                        QStringLiteral("200"), QStringLiteral("--name"), QStringLiteral("dialled"),
                        QStringLiteral("--records"), QStringLiteral("0")});
        QVERIFY2(sim.devicePath.startsWith(QLatin1String("/dev/pts/")), qPrintable(sim.devicePath));
        PortDirectory directory(sim.folder.path() + QStringLiteral("/brevel-logger-sim"));
        const int portNumber = PortNumberOf(directory, QStringLiteral("dialled"));
        QVERIFY(portNumber >= 9);

        QtSerialPort port(directory);
        AppState state;
        LoggerLink link(port, state);
        ReplyTicker ticker(link, 20);
        ticker.start();
        RecordingPrompter prompter;
        std::array<QString, 4> numbers;
        QVERIFY(link.OpenPort(portNumber, QStringLiteral("9600,N,8,1")));

        ModemWindowDisplay display(nullptr);
        QVERIFY(DialModem(QStringLiteral("555-0100"), ModemDialSetup{numbers, false, {}}, link, prompter, display, 20));
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(numbers[0], QStringLiteral("555-0100"));
        ReadLoggerBehindModem(link, state);
        link.ClosePort();
    }
};

BREVEL_TEST(ModemPtyTest)
#include "tst_modempty.moc"
