#include "TestRegistry.h"
#include "LoggerEngine.h"
#include "PtyServer.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "core/DateText.h"
#include "flow/Rating.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"

#include <QTemporaryDir>
#include <QTest>

// The whole road over a real pseudo-terminal: the virtual logger served on
// a pty and announced as a running simulator announces itself, found by port
// discovery, opened with QSerialPort, driven through every operation.
class LinkOverPtyTest : public QObject {
    Q_OBJECT
private slots:
    void everyOperationOverAPseudoTerminal()
    {
        const QDateTime computerTime(QDate(2026, 7, 1), QTime(8, 15, 0));
        LoggerOptions options;
        options.InitialiseMs = 100;
        options.TwelveHourClock = true;
        LoggerEngine engine(options, [&] { return computerTime; });
        PtyServer server(engine, 5, 38400);
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QTemporaryDir announcements;
        QVERIFY2(server.announce(announcements.filePath(QStringLiteral("e2e")), &error), qPrintable(error));

        PortDirectory directory(announcements.path());
        const QStringList entries = DiscoverPorts(directory).filter(QStringLiteral("Virtual logger e2e"));
        QCOMPARE(entries.size(), 1);
        const int number = entries.first().mid(3, entries.first().indexOf(QLatin1Char(' ')) - 3).toInt();

        QtSerialPort port(directory);
        AppState state;
        state.ReplyTicks = 10;
        LoggerSettings settings;
        RatingState rating;
        LoggerLink link(port, state);
        LoggerCommands commands(link, state, settings, rating);
        ReplyTicker ticker(link);
        ticker.start();

        QVERIFY(link.OpenPort(number, QStringLiteral("38400,N,8,1")));
        QVERIFY(commands.WakeLogger({}));
        QCOMPARE(state.FirmwareVersion, int16_t(7));
        QCOMPARE(int(settings.NumAnalogChannels), 3);
        QCOMPARE(int(settings.NumDigitalChannels), 2);

        QCOMPARE(commands.ReadLoggerClock(), ShortDateText(computerTime.date()) + QStringLiteral(" 08:15:00"));
        QVERIFY(commands.SetLoggerClock(QStringLiteral("12/05/26 09:07:03 PM")));
        QCOMPARE(engine.loggerTime(), QDateTime(QDate(2026, 12, 5), QTime(21, 7, 3)));

        QVERIFY(commands.ReadLoggerStatus());
        QCOMPARE(state.RecordCount, uint32_t(engine.memory().History.size()));
        QCOMPARE(state.LoggingStateText, QStringLiteral("Logging"));

        bool decoded = false;
        LoggerCommands::SettingsReadSteps steps;
        steps.settingsDecoded = [&] { decoded = true; };
        QVERIFY(commands.ReadSettings(steps));
        QVERIFY(decoded);
        QCOMPARE(state.LoggerTimeText, ShortDateText(QDate(2026, 12, 5)) + QStringLiteral(" 21:07:03"));

        settings.LoggerName = QStringLiteral("Over the pty");
        settings.SensorWarmupTime = 12;
        QVERIFY(commands.ProgramSettings());
        QVERIFY(commands.ConfirmSettings());
        LoggerSettings readBack = settings;
        readBack.LoggerName.clear();
        readBack.SensorWarmupTime = 0;
        LoggerCommands reader(link, state, readBack, rating);
        QVERIFY(reader.ReadSettings());
        QCOMPARE(readBack.LoggerName, QStringLiteral("Over the pty"));
        QCOMPARE(int(readBack.SensorWarmupTime), 12);

        QVERIFY(commands.WriteMemorySignature(QStringLiteral("BL2 e2e")));
        QCOMPARE(commands.ReadMemorySignature(), QStringLiteral("BL2 e2e "));

        QVERIFY(commands.ClearLoggerMemory());
        QVERIFY(commands.ReadLoggerStatus());
        QCOMPARE(state.RecordCount, 0u);
        QVERIFY(commands.ResetPulseAccumulators());
        QVERIFY(commands.InitialiseMemory());
        QCOMPARE(commands.ReadMemorySignature(), QStringLiteral("        ")); // erased bytes read 0xFF

        link.ClosePort();
        QVERIFY(!port.isOpen());
    }
};

BREVEL_TEST(LinkOverPtyTest)
#include "tst_linkoverpty.moc"
