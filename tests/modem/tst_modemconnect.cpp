#include "CloseWhile.h"
#include "HayesModem.h"
#include "LoggerEngine.h"
#include "MainWindowRig.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"

// How a dial started from the connection window ends, with the virtual logger
// behind its Hayes modem in process: closing the main window during it ends
// the program at once and without a message; a dial that cannot start says
// why. (A dial, its cancel and what they leave behind are the modem journey's.)
class ModemConnectTest : public QObject {
    Q_OBJECT
private slots:
    void dialEnds_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("closeWhileDialling");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("main window closed") << "555-0100" << true << QStringList();
        QTest::newRow("no number") << "" << false << QStringList{"Modem Connect"};
    }
    void dialEnds()
    {
        QFETCH(QString, number);
        QFETCH(bool, closeWhileDialling);
        QFETCH(QStringList, told);
        LoggerEngine engine{LoggerOptions{}};
        ModemOptions options;
        options.Outcome = ModemOptions::DialOutcome::Busy;
        options.ConnectDelayMs = 100;
        HayesModem modem(engine, options);
        SimSerialPort port(modem, 0, 9600);
        MainWindowRig rig(&port, nullptr, MainWindowRig::Time::Real);
        rig.store.values.insert(MemorySettingsStore::path("Brevel Logger", "Configuration", "ModemNumber0"), number);
        rig.startUp();
        rig.session.UseModem = true; // the connection window opens with the Modem option chosen
        if (closeWhileDialling) {
            const auto dialling = [] {
                const QWidget* window = QApplication::activeModalWidget();
                return window && window->objectName() == QLatin1String("frmModem");
            };
            const qint64 ms = CloseWhile(rig.window, [&rig] { rig.connect(); }, dialling, [] {});
            QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
            QCOMPARE(rig.store.writtenKeys.size(), 15);
        } else {
            QVERIFY(!rig.connect());
        }
        QVERIFY(!port.IsOpen());
        QCOMPARE(rig.titles(), told);
    }
};

BREVEL_TEST(ModemConnectTest)
#include "tst_modemconnect.moc"
