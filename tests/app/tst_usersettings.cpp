#include "MemorySettingsStore.h"
#include "TestRegistry.h"
#include "app/UserSettings.h"

#include <QTest>

namespace {

const QStringList kKeysInOrder = {
    "DirectPort", "DirectBaud", "ModemPort", "ModemBaud", "ModemNumber0", "ModemNumber1", "ModemNumber2",
    "ModemNumber3", "ModemInit", "UseModemInit", "LastFilePath", "LastFile0", "LastFile1", "LastFile2", "LastFile3"};

QString Stored(const MemorySettingsStore& store, const QString& key)
{
    return store.values.value(MemorySettingsStore::path("Brevel Logger", "Configuration", key));
}

} // namespace

class UserSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreGivesDefaults()
    {
        const MemorySettingsStore store;
        const UserSettings settings = ReadUserSettings(store);
        QCOMPARE(settings.DirectPort, QStringLiteral("Com1"));
        QCOMPARE(settings.DirectBaud, QStringLiteral("38400"));
        QCOMPARE(settings.ModemPort, QStringLiteral("Com1"));
        QCOMPARE(settings.ModemBaud, QStringLiteral("38400"));
        QCOMPARE(settings.UseModemInit, int16_t{0});
    }

    void writesEveryKeyInOrderAndReadsThemBack()
    {
        UserSettings settings;
        settings.DirectPort = "COM9";
        settings.DirectBaud = "9600";
        settings.ModemPort = "COM3";
        settings.ModemBaud = "19200";
        settings.ModemNumber = {"555-0100", "555-0101", "", "555-0103"};
        settings.ModemInit = "/home/site/modem.txt";
        settings.UseModemInit = 1;
        settings.LastFilePath = "/home/site/setups";
        settings.LastFile = {"a.set", "b.set", "c.set", "d.set"};
        MemorySettingsStore store;
        WriteUserSettings(settings, store);
        QCOMPARE(store.writtenKeys, kKeysInOrder);
        QCOMPARE(Stored(store, "UseModemInit"), QStringLiteral("1"));

        const UserSettings again = ReadUserSettings(store);
        QCOMPARE(again.DirectPort, settings.DirectPort);
        QCOMPARE(again.DirectBaud, settings.DirectBaud);
        QCOMPARE(again.ModemPort, settings.ModemPort);
        QCOMPARE(again.ModemBaud, settings.ModemBaud);
        QCOMPARE(again.ModemNumber, settings.ModemNumber);
        QCOMPARE(again.ModemInit, settings.ModemInit);
        QCOMPARE(again.UseModemInit, settings.UseModemInit);
        QCOMPARE(again.LastFilePath, settings.LastFilePath);
        QCOMPARE(again.LastFile, settings.LastFile);
    }

    void unreadableSwitchCountsAsOff_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("on") << "1" << 1;
        QTest::newRow("blanks around") << " 1 " << 1;
        QTest::newRow("text") << "yes" << 0;
        QTest::newRow("beyond 16 bits") << "70000" << 0;
    }
    void unreadableSwitchCountsAsOff()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        MemorySettingsStore store;
        store.setValue("Brevel Logger", "Configuration", "UseModemInit", stored);
        QCOMPARE(int(ReadUserSettings(store).UseModemInit), expected);
    }
};

BREVEL_TEST(UserSettingsTest)
#include "tst_usersettings.moc"
