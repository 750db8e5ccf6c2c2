#include "CloseWhile.h"
#include "FakeHelpViewer.h"
#include "HayesModem.h"
#include "LoggerEngine.h"
#include "MemorySettingsStore.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "link/PortDirectory.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The Connect action of the main window with the Modem option, the virtual
// logger behind its Hayes modem in process: closing the main window while the
// modem dials. (A dial, its cancel and what they leave behind are the modem
// journey's.)
class ModemConnectTest : public QObject {
    Q_OBJECT

    struct Program {
        explicit Program(const ModemOptions& modemOptions) : modem(engine, modemOptions), port(modem, 0, 9600)
        {
            controller.StartUp(QString(), QString());
        }

        // Fills the connection window for a modem call when it shows, then
        // presses its Connect.
        void connectThroughModem(const QString& number)
        {
            QTimer::singleShot(0, [number] {
                QWidget* window = QApplication::activeModalWidget();
                QVERIFY(window && window->objectName() == QLatin1String("frmConnect"));
                window->findChild<QRadioButton*>(QStringLiteral("optModem"))->setChecked(true);
                // The number is typed over the one shown, key by key.
                QApplication::setActiveWindow(window);
                QTest::mouseClick(window->findChild<QComboBox*>(QStringLiteral("cmbNumber"))->lineEdit(),
                                  Qt::LeftButton);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), number);
                window->findChild<QPushButton*>(QStringLiteral("cmdConnect"))->click();
            });
            window.findChild<QPushButton*>(QStringLiteral("cmdConnect"))->click();
        }

        LoggerEngine engine{LoggerOptions{}};
        HayesModem modem;
        SimSerialPort port;
        RecordingPrompter prompter;
        ScriptedFileDialogs dialogs;
        MemorySettingsStore store;
        FakeHelpViewer help;
        NullBusyCursor cursor;
        Platform platform{port, prompter, dialogs, store, help, cursor};
        QTemporaryDir virtualLoggers;
        PortDirectory ports{virtualLoggers.path()};
        Session session{platform, ports};
        MainWindow window;
        MainController controller{session, window};
    };

    static ModemOptions QuickModem(ModemOptions::DialOutcome outcome)
    {
        ModemOptions options;
        options.Outcome = outcome;
        options.ConnectDelayMs = 100;
        return options;
    }

private slots:
    // Closing the main window while the modem dials ends the program at once.
    void closingDuringTheDialEndsTheProgram()
    {
        Program program(QuickModem(ModemOptions::DialOutcome::Busy));
        const auto dialling = [] {
            const QWidget* window = QApplication::activeModalWidget();
            return window && window->objectName() == QLatin1String("frmModem");
        };
        const qint64 ms = CloseWhile(
            program.window, [&] { program.connectThroughModem(QStringLiteral("555-0100")); }, dialling,
            [] {});
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(program.store.writtenKeys.size(), 15);
        QVERIFY(!program.port.isOpen());
    }
};

BREVEL_TEST(ModemConnectTest)
#include "tst_modemconnect.moc"
