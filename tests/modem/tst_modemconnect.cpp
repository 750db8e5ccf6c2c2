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
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The Connect action of the main window with the Modem option: the virtual
// logger behind its Hayes modem, in process, at the program's own 100 ms
// ticks.
class ModemConnectTest : public QObject {
    Q_OBJECT

    struct Program {
        explicit Program(const ModemOptions& modemOptions) : modem(engine, modemOptions), port(modem, 0, 9600)
        {
            controller.StartUp(QString(), QString());
        }

        // Fills the connection window for a modem call when it shows, then
        // presses its Connect.
        void connectThroughModem(const QString& number, const QString& commandFile)
        {
            QTimer::singleShot(0, [number, commandFile] {
                QWidget* window = QApplication::activeModalWidget();
                QVERIFY(window && window->objectName() == QLatin1String("frmConnect"));
                window->findChild<QRadioButton*>(QStringLiteral("optModem"))->setChecked(true);
                // The number is typed over the one shown, key by key.
                QApplication::setActiveWindow(window);
                QTest::mouseClick(window->findChild<QComboBox*>(QStringLiteral("cmbNumber"))->lineEdit(),
                                  Qt::LeftButton);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), number);
                window->findChild<QLineEdit*>(QStringLiteral("txtConfiguration"))->setText(commandFile);
                auto* chkInitFile = window->findChild<QCheckBox*>(QStringLiteral("chkInitFile"));
                if (chkInitFile->isChecked() == commandFile.isEmpty()) {
                    chkInitFile->click();
                }
                window->findChild<QPushButton*>(QStringLiteral("cmdConnect"))->click();
            });
            window.ui().cmdConnect->click();
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
    void modemConnectionReadsTheLogger()
    {
        Program program(QuickModem(ModemOptions::DialOutcome::Connect));
        program.session.User.ModemNumber = {"555-0199", "555-0100", "", ""};
        program.engine.setLiveAnalogCount(0, 32768);
        QTemporaryDir dir;
        const QString commandFile = dir.filePath(QStringLiteral("modem.txt"));
        QFile file(commandFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("at&f\r\n; remark\r\nATS0=0 no answer\r\n");
        file.close();

        // Typed as the start of a recent number, the number stays as typed.
        program.connectThroughModem(QStringLiteral("555-01"), commandFile);

        QVERIFY(program.prompter.messages.isEmpty());
        QVERIFY(program.session.Connection.Connected);
        QCOMPARE(program.session.Connection.ReplyTicks, program.session.Options.ModemReplyTicks);
        QVERIFY(program.modem.online());
        QCOMPARE(program.session.User.CurrentModemNumber, QStringLiteral("555-01"));
        QCOMPARE(program.session.User.ModemNumber, (std::array<QString, 4>{"555-01", "555-0199", "555-0100", ""}));
        QCOMPARE(program.session.User.ModemInit, commandFile);
        QCOMPARE(program.session.User.UseModemInit, int16_t{1});
        QCOMPARE(program.window.ui().meters[0].lblValue->text(), QStringLiteral("50.00"));
    }

    void cancelledDialLeavesTheProgramDisconnected()
    {
        Program program(QuickModem(ModemOptions::DialOutcome::Busy));
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, this, [] {
            QWidget* window = QApplication::activeModalWidget();
            if (window && window->objectName() == QLatin1String("frmModem")) {
                window->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
            }
        });
        canceller.start(500);
        program.connectThroughModem(QStringLiteral("555-0100"), QString());
        QVERIFY(!program.session.Connection.Connected);
        QVERIFY(!program.session.Connection.Busy);
        QVERIFY(!program.port.isOpen());
        QVERIFY(program.prompter.messages.isEmpty());
    }

    // Closing the main window while the modem dials ends the program at once.
    void closingDuringTheDialEndsTheProgram()
    {
        Program program(QuickModem(ModemOptions::DialOutcome::Busy));
        const auto dialling = [] {
            const QWidget* window = QApplication::activeModalWidget();
            return window && window->objectName() == QLatin1String("frmModem");
        };
        const qint64 ms = CloseWhile(
            program.window, [&] { program.connectThroughModem(QStringLiteral("555-0100"), QString()); }, dialling,
            [] {});
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(program.store.writtenKeys.size(), 15);
        QVERIFY(!program.port.isOpen());
    }
};

BREVEL_TEST(ModemConnectTest)
#include "tst_modemconnect.moc"
