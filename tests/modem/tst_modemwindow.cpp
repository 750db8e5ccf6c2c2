#include "HayesModem.h"
#include "LoggerEngine.h"
#include "ModemFixture.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "link/ModemWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

LoggerOptions QuickLogger()
{
    LoggerOptions options;
    options.HistoryRecords = 0;
    options.InitialiseMs = 0;
    return options;
}

ModemOptions QuickModem(ModemOptions::DialOutcome outcome)
{
    ModemOptions options;
    options.Outcome = outcome;
    options.ConnectDelayMs = 40;
    return options;
}

// Watches the modem window while it is open: its caption, the colours its
// text took, its text, and Cancel once the text holds cancelAt (an empty
// cancelAt: once the window has been open for cancelAfterMs).
class WindowWatch : public QObject {
public:
    explicit WindowWatch(QString cancelAt = {}, int cancelAfterMs = -1)
        : cancelAt_(std::move(cancelAt)), cancelAfterMs_(cancelAfterMs)
    {
        connect(&poll_, &QTimer::timeout, this, &WindowWatch::look);
        poll_.start(2);
    }

    QString caption;
    QString text;
    QList<QColor> colours;
    bool cancelled = false;

private:
    void look()
    {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!window || window->objectName() != QLatin1String("frmModem")) {
            return;
        }
        if (!open_.isValid()) {
            open_.start();
        }
        caption = window->windowTitle();
        auto* txtModem = window->findChild<QPlainTextEdit*>(QStringLiteral("txtModem"));
        text = txtModem->toPlainText();
        const QColor colour = txtModem->palette().color(QPalette::Text);
        if (colours.isEmpty() || colours.constLast() != colour) {
            colours.append(colour);
        }
        const bool due = cancelAt_.isEmpty() ? cancelAfterMs_ >= 0 && open_.elapsed() >= cancelAfterMs_
                                             : text.contains(cancelAt_);
        if (due && !cancelled) {
            cancelled = true;
            window->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        }
    }

    QString cancelAt_;
    int cancelAfterMs_;
    QElapsedTimer open_;
    QTimer poll_;
};

} // namespace

// The modem window over the virtual logger behind its Hayes modem.
class ModemWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LoggerEngine> logger;
    std::unique_ptr<HayesModem> hayes;
    std::unique_ptr<SimSerialPort> port;
    std::unique_ptr<ModemLink> modem;

    void build(ModemOptions::DialOutcome outcome, bool withModem = true)
    {
        logger = std::make_unique<LoggerEngine>(QuickLogger());
        hayes = std::make_unique<HayesModem>(*logger, QuickModem(outcome));
        port = withModem ? std::make_unique<SimSerialPort>(*hayes, 0, 9600)
                         : std::make_unique<SimSerialPort>(*logger, 0, 9600);
        modem = std::make_unique<ModemLink>(*port);
    }
    bool dial(const QString& number)
    {
        ModemWindowDisplay display(nullptr);
        return DialModem(number, ModemDialSetup{modem->numbers, false, {}}, modem->link, modem->prompter, display,
                         ModemLink::TickMs);
    }

private slots:
    void cleanup()
    {
        modem.reset();
        port.reset();
        hayes.reset();
        logger.reset();
    }

    // Dial, then wake the logger, read its settings and a live sample
    // through the modem.
    void dialledLoggerAnswersThroughTheModem()
    {
        build(ModemOptions::DialOutcome::Connect);
        WindowWatch watch;
        QVERIFY(dial(QStringLiteral("555-0100")));

        QCOMPARE(watch.caption, QStringLiteral("Modem Connection"));
        QCOMPARE(watch.colours, (QList<QColor>{QColor(255, 0, 0), QColor(0, 140, 0)}));
        QVERIFY(watch.text.startsWith(QStringLiteral("Sending Reset Command to Modem...\nATZ\n")));
        QVERIFY(watch.text.contains(QStringLiteral("ATDT555-0100\nCONNECT")));
        QVERIFY(modem->prompter.messages.isEmpty());
        QVERIFY(hayes->online());
        QCOMPARE(port->flowControl(), SerialPort::FlowControl::Rts);

        ReadLoggerBehindModem(modem->link, modem->state);
    }

    void cancelEndsTheDialWithoutAMessage_data()
    {
        QTest::addColumn<bool>("withModem");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("cancelAt");
        QTest::addColumn<QString>("shown");
        // A logger straight on the port never answers "OK": after a few
        // resets sent in vain the user gives up.
        QTest::newRow("no modem on the port") << false << int(ModemOptions::DialOutcome::Connect) << QString()
                                              << QString();
        QTest::newRow("busy line") << true << int(ModemOptions::DialOutcome::Busy) << QStringLiteral("BUSY")
                                   << QStringLiteral("ATDT555-0100\nBUSY");
        QTest::newRow("no carrier") << true << int(ModemOptions::DialOutcome::NoCarrier)
                                    << QStringLiteral("NO CARRIER") << QStringLiteral("ATDT555-0100\nNO CARRIER");
    }
    void cancelEndsTheDialWithoutAMessage()
    {
        QFETCH(bool, withModem);
        QFETCH(int, outcome);
        QFETCH(QString, cancelAt);
        QFETCH(QString, shown);
        build(ModemOptions::DialOutcome(outcome), withModem);
        WindowWatch watch(cancelAt, 1000);
        QVERIFY(!dial(QStringLiteral("555-0100")));
        QVERIFY(watch.cancelled);
        QCOMPARE(watch.colours, QList<QColor>{QColor(255, 0, 0)});
        QVERIFY(watch.text.contains(shown));
        QVERIFY(!port->isOpen());
        QVERIFY(modem->prompter.messages.isEmpty());
    }

    // Escape (or the window's close box) is neither Cancel nor a connection.
    void windowClosedOtherwiseCannotCommunicate()
    {
        build(ModemOptions::DialOutcome::Busy);
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                QTest::keyClick(window, Qt::Key_Escape);
            }
        });
        closer.start(20);
        QVERIFY(!dial(QStringLiteral("555-0100")));
        QCOMPARE(modem->prompter.messages.size(), 1);
        QCOMPARE(modem->prompter.messages[0].title, QStringLiteral("Modem Initialization"));
        QCOMPARE(modem->prompter.messages[0].text,
                 QStringLiteral("Unable to communicate with a modem on this port at selected rate."));
        QVERIFY(!port->isOpen());
    }
};

BREVEL_TEST(ModemWindowTest)
#include "tst_modemwindow.moc"
