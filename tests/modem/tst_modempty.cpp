#include "RecordingPrompter.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/Rating.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/ModemDial.h"
#include "link/ModemWindow.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"

#include <QTest>

// The whole road over a pseudo-terminal: the program's serial port, the
// virtual logger program with its Hayes modem in front, the modem window,
// then the logger behind the modem woken and read.
class ModemPtyTest : public QObject {
    Q_OBJECT
private slots:
    void dialConnectsAndTheLoggerAnswers()
    {
        SimProcess sim({QStringLiteral("--modem"), QStringLiteral("--connect-after"), QStringLiteral("200"),
                        QStringLiteral("--name"), QStringLiteral("dialled"), QStringLiteral("--records"),
                        QStringLiteral("0")});
        QVERIFY2(sim.devicePath.startsWith(QLatin1String("/dev/pts/")), qPrintable(sim.devicePath));
        PortDirectory directory(sim.folder.path() + QStringLiteral("/brevel-logger-sim"));
        directory.Rescan();
        int portNumber = 0;
        for (const NumberedPort& port : directory.Ports()) {
            portNumber = port.Device.Name.endsWith(QLatin1String("dialled")) ? port.Number : portNumber;
        }
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

        // The connection window wakes the logger with the modem's reply wait.
        LoggerSettings settings;
        RatingState rating;
        LoggerCommands commands(link, state, settings, rating);
        state.ReplyTicks = state.ModemReplyTicks;
        QVERIFY(commands.WakeLogger([] { return false; }));
        QCOMPARE(int(settings.NumAnalogChannels), 3);
        QVERIFY(commands.ReadSettings());
        QVERIFY(commands.ReadLoggerStatus());
        link.ClosePort();
    }
};

BREVEL_TEST(ModemPtyTest)
#include "tst_modempty.moc"
