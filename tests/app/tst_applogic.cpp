#include "MemorySettingsStore.h"
#include "TestRegistry.h"
#include "app/CommandLine.h"
#include "app/ConnectChoices.h"
#include "app/MeterLayout.h"
#include "app/UserSettings.h"
#include "core/ProgramOptions.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"

#include <QTest>

Q_DECLARE_METATYPE(ExchangeNeeds)
Q_DECLARE_METATYPE(MeterColumn)

class AppLogicTest : public QObject {
    Q_OBJECT
private slots:
    void portListAndSelection_data()
    {
        QTest::addColumn<QStringList>("discovered");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("selected");
        const QString builtIn = QStringLiteral("COM1 - ttyS0 (/dev/ttyS0)");
        const QString adapter = QStringLiteral("COM3 - FT232R USB UART (/dev/ttyUSB0)");
        const QString logger = QStringLiteral("COM9 - Virtual logger logger (/dev/pts/4)");
        QTest::newRow("stored port wins") << QStringList{builtIn, logger} << "COM2" << "COM2";
        QTest::newRow("case-sensitive: Com1 matches nothing, a found logger is offered")
            << QStringList{builtIn, logger} << "Com1" << logger;
        QTest::newRow("a found built-in port before a bare COM1") << QStringList{adapter} << "Com1" << adapter;
        QTest::newRow("nothing found: COM1") << QStringList{} << "Com1" << "COM1";
        QTest::newRow("a discovered item keeps its device name") << QStringList{logger} << "COM9" << logger;
    }
    void portListAndSelection()
    {
        QFETCH(QStringList, discovered);
        QFETCH(QString, stored);
        const QStringList items = BuildPortList(discovered);
        QTEST(items.at(PortIndexFor(items, stored)), "selected");
    }

    void appliesCommandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("trapping");
        QTest::addColumn<bool>("initialise");
        QTest::addColumn<int>("modemTicks");
        QTest::newRow("none") << "" << true << false << 4;
        QTest::newRow("-D is not -d, -I is not -i, -W is -w") << "-D -I -W7" << true << false << 7;
        QTest::newRow("-d inside a word, largest wait") << "/data/site-dump -w32767" << false << false << 32767;
        QTest::newRow("blank before the number") << "-d -w 12" << false << false << 12;
        QTest::newRow("beyond 16 bits keeps 4") << "-w32768" << true << false << 4;
        QTest::newRow("negative keeps 4") << "-w-3" << true << false << 4;
        QTest::newRow("option not last keeps 4") << "-w7 -i" << true << true << 4;
    }
    void appliesCommandLine()
    {
        QFETCH(QString, line);
        ProgramOptions state;
        state.ModemReplyTicks = 99; // a stale value must not survive
        ApplyCommandLine(line, state);
        QTEST(state.ErrorTrapping, "trapping");
        QTEST(state.ForceInitialisation, "initialise");
        QTEST(int(state.ModemReplyTicks), "modemTicks");
    }

    void guardTakesOnlyAFreeLine_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("claimed");
        QTest::addColumn<ExchangeNeeds>("needs");
        QTest::addColumn<bool>("taken");
        const auto logger = ExchangeNeeds::ConnectedLogger;
        const auto line = ExchangeNeeds::FreeLine;
        QTest::newRow("connected, idle") << true << false << false << logger << true;
        QTest::newRow("not connected") << false << false << false << logger << false;
        QTest::newRow("busy") << true << true << false << logger << false;
        QTest::newRow("sampling claims the line") << true << false << true << logger << false;
        QTest::newRow("connecting needs no logger") << false << false << false << line << true;
    }
    void guardTakesOnlyAFreeLine()
    {
        QFETCH(bool, busy);
        QFETCH(ExchangeNeeds, needs);
        QFETCH(bool, taken);
        QFETCH(bool, connected);
        LinkState link{.Connected = connected, .Busy = busy};
        {
            QFETCH(bool, claimed);
            ExchangeGuard guard(link, claimed, needs);
            QCOMPARE(guard.Held(), taken);
            if (taken) { // a click served inside the exchange's wait is refused
                QVERIFY(!ExchangeGuard(link, false, needs));
                guard.Release();
                const ExchangeGuard next(link, false, needs); // the line is free for the next one
                QVERIFY(next);
                guard.Release(); // released twice: the next one keeps it
                QVERIFY(link.Busy);
            }
        }
        QCOMPARE(link.Busy, busy); // a refused guard leaves another's Busy alone
    }

    // Twips to the bar, exact: a pixel hides a twip, so the window's picture would not see one.
    void meterLayoutFromColumnFrame()
    {
        const MeterLayout layout = MeterLayout::FromColumnFrame(120, QRect(120, 300, 420, 2640));
        QCOMPARE(QRect(layout.BarLeft, layout.BarTop, layout.BarWidth, layout.BarHeight), QRect(280, 420, 320, 2480));
        // 15 twips a pixel, to the nearest: 7 is under half a pixel, 8 over.
        QCOMPARE(QList<int>({TwipsToPixels(15), TwipsToPixels(7), TwipsToPixels(8)}), QList<int>({1, 0, 1}));
    }

    void placesTheBarTop_data()
    {
        QTest::addColumn<MeterColumn>("column");
        QTest::addColumn<int>("fillTop"); // bar area from 1000 to 2000
        QTest::newRow("full") << MeterColumn{.Maximum = 100.0, .Value = 100.0, .Units = {}} << 1000;
        QTest::newRow("empty") << MeterColumn{.Maximum = 100.0, .Value = 0.0, .Units = {}} << 2000;
        QTest::newRow("above the top clamps") << MeterColumn{.Maximum = 100.0, .Value = 250.0, .Units = {}} << 1000;
        QTest::newRow("below the bottom clamps")
            << MeterColumn{.Minimum = 10.0, .Maximum = 20.0, .Value = -5.0, .Units = {}} << 2000;
        QTest::newRow("no span") << MeterColumn{.Minimum = 5.0, .Maximum = 5.0, .Value = 7.0, .Units = {}} << 2000;
        QTest::newRow("span below the threshold")
            << MeterColumn{.Minimum = 5.0, .Maximum = 5.000001, .Value = 5.000001, .Units = {}} << 2000;
        QTest::newRow("inverted scale") << MeterColumn{.Minimum = 100.0, .Value = 25.0, .Units = {}} << 1250;
        QTest::newRow("rounded to whole twips") << MeterColumn{.Maximum = 3.0, .Value = 1.0, .Units = {}} << 1667;
    }
    void placesTheBarTop()
    {
        const MeterLayout layout{.BarTop = 400, .BarHeight = 1000, .BarLeft = 280};
        QFETCH(MeterColumn, column);
        const BarDrawing bar = PlaceBar(layout, 600, 2, column);
        QCOMPARE(QPoint(bar.Left, bar.Top), QPoint(280 + 2 * 1180, 1000));
        QTEST(bar.FillTop, "fillTop");
    }

    void redrawsOnlyOnChange()
    {
        const MeterLayout layout{.BarHeight = 1000};
        MeterColumn column{.Maximum = 10.0, .Value = 5.0, .Units = {}};
        QVERIFY(PlaceBar(layout, 0, 0, column).Changed);  // position 0 forces the first drawing
        QVERIFY(!PlaceBar(layout, 0, 0, column).Changed);
        column.Shown = true;
        QVERIFY(PlaceBar(layout, 0, 0, column).Changed);  // shown state differs from the last applied
        column.LastShown = true;
        column.Value = 5.001; // less than a twip
        QVERIFY(!PlaceBar(layout, 0, 0, column).Changed);
        column.Value = 6.0;
        QVERIFY(PlaceBar(layout, 0, 0, column).Changed);
    }

    // Each key written once, in order; the values all differ, so no two are mixed up.
    void writesBackTheSettingsItReadsKeyByKey()
    {
        const QStringList keys = {"DirectPort", "DirectBaud", "ModemPort", "ModemBaud", "ModemNumber0",
                                  "ModemNumber1", "ModemNumber2", "ModemNumber3", "ModemInit", "UseModemInit",
                                  "LastFilePath", "LastFile0", "LastFile1", "LastFile2", "LastFile3"};
        const QStringList values = {"COM9", "9600", "COM3", "19200", "555-0100", "555-0101", "", "555-0103",
                                    "/home/site/modem.txt", "1", "/home/site/setups", "a.set", "b.set", "c.set",
                                    "d.set"};
        MemorySettingsStore stored;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            stored.SetValue("Brevel Logger", "Configuration", keys[i], values[i]);
        }
        MemorySettingsStore written;
        WriteUserSettings(ReadUserSettings(stored), written);
        QCOMPARE(written.writtenKeys, keys);
        QCOMPARE(written.values, stored.values);
    }

    void unreadableSwitchCountsAsOff_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("none stored") << QString() << 0;
        QTest::newRow("blanks around") << " 1 " << 1;
        QTest::newRow("text") << "yes" << 0;
        QTest::newRow("beyond 16 bits") << "70000" << 0;
    }
    void unreadableSwitchCountsAsOff()
    {
        QFETCH(QString, stored);
        MemorySettingsStore store;
        if (!stored.isNull()) {
            store.SetValue("Brevel Logger", "Configuration", "UseModemInit", stored);
        }
        const UserSettings read = ReadUserSettings(store);
        QTEST(int(read.UseModemInit), "expected");
        QCOMPARE(QStringList({read.DirectPort, read.DirectBaud, read.ModemPort, read.ModemBaud}),
                 QStringList({"Com1", "38400", "Com1", "38400"}));
    }
};

BREVEL_TEST(AppLogicTest)
#include "tst_applogic.moc"
