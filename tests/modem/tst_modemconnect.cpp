#include "CloseWhile.h"
#include "HayesModem.h"
#include "LoggerEngine.h"
#include "MainWindowRig.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

// The Connect action of the main window with the Modem option, the virtual
// logger behind its Hayes modem in process: closing the main window while the
// modem dials. (A dial, its cancel and what they leave behind are the modem
// journey's.)
class ModemConnectTest : public QObject {
    Q_OBJECT
private slots:
    // Closing the main window while the modem dials ends the program at once.
    void closingDuringTheDialEndsTheProgram()
    {
        LoggerEngine engine{LoggerOptions{}};
        ModemOptions options;
        options.Outcome = ModemOptions::DialOutcome::Busy;
        options.ConnectDelayMs = 100;
        HayesModem modem(engine, options);
        SimSerialPort port(modem, 0, 9600);
        MainWindowRig rig(&port, nullptr, MainWindowRig::Time::Real);
        rig.startUp();
        // Fills the connection window for a modem call when it shows, the
        // number typed over the one shown key by key, then presses its Connect.
        const auto connectThroughModem = [&rig] {
            QTimer::singleShot(0, [] {
                QWidget* window = QApplication::activeModalWidget();
                QVERIFY(window && window->objectName() == QLatin1String("frmConnect"));
                window->findChild<QRadioButton*>(QStringLiteral("optModem"))->setChecked(true);
                QApplication::setActiveWindow(window);
                QTest::mouseClick(window->findChild<QComboBox*>(QStringLiteral("cmbNumber"))->lineEdit(),
                                  Qt::LeftButton);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("555-0100"));
                window->findChild<QPushButton*>(QStringLiteral("cmdConnect"))->click();
            });
            rig.press(QStringLiteral("cmdConnect"));
        };
        const auto dialling = [] {
            const QWidget* window = QApplication::activeModalWidget();
            return window && window->objectName() == QLatin1String("frmModem");
        };
        const qint64 ms = CloseWhile(rig.window, connectThroughModem, dialling, [] {});
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(rig.store.writtenKeys.size(), 15);
        QVERIFY(!port.isOpen());
    }
};

BREVEL_TEST(ModemConnectTest)
#include "tst_modemconnect.moc"
