#include "CloseWhile.h"
#include "HayesModem.h"
#include "LoggerEngine.h"
#include "MainWindowRig.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"

// Closing the main window while the modem dials ends the program at once and
// without a message; the virtual logger behind its Hayes modem in process. (A
// dial, its cancel and what they leave behind are the modem journey's.)
class ModemConnectTest : public QObject {
    Q_OBJECT
private slots:
    void closingDuringTheDialEndsTheProgram()
    {
        LoggerEngine engine{LoggerOptions{}};
        ModemOptions options;
        options.Outcome = ModemOptions::DialOutcome::Busy;
        options.ConnectDelayMs = 100;
        HayesModem modem(engine, options);
        SimSerialPort port(modem, 0, 9600);
        MainWindowRig rig(&port, nullptr, MainWindowRig::Time::Real);
        rig.store.values.insert(MemorySettingsStore::path("Brevel Logger", "Configuration", "ModemNumber0"), "555-0100");
        rig.startUp();
        rig.session.UseModem = true; // the connection window opens with the Modem option chosen
        const auto dialling = [] {
            const QWidget* window = QApplication::activeModalWidget();
            return window && window->objectName() == QLatin1String("frmModem");
        };
        const qint64 ms = CloseWhile(rig.window, [&rig] { rig.connect(); }, dialling, [] {});
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(rig.store.writtenKeys.size(), 15);
        QVERIFY(!port.IsOpen());
        QCOMPARE(rig.titles(), QStringList()); // a dial ended by closing is no failure to tell
    }
};

BREVEL_TEST(ModemConnectTest)
#include "tst_modemconnect.moc"
