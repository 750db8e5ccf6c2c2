#include "MemorySettingsStore.h"
#include "TestRegistry.h"
#include "app/UserSettings.h"

#include <QTest>

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

    // Every stored value comes back unchanged when read and written again,
    // each key once and in order. The values all differ, so no two are mixed up.
    void writesBackWhatItReadsKeyByKey()
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
        store.SetValue("Brevel Logger", "Configuration", "UseModemInit", stored);
        QCOMPARE(int(ReadUserSettings(store).UseModemInit), expected);
    }
};

BREVEL_TEST(UserSettingsTest)
#include "tst_usersettings.moc"
