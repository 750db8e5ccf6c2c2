#include "Journey.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "config/Rating.h"

#include <QFile>
#include <QSettings>
#include <QTest>

// A new user's first start, against a logger fresh from the factory.
class FirstStartJourney : public QObject {
    Q_OBJECT
private slots:
    void initialisesABlankLoggerWithTheDefaults()
    {
        QFile::remove(Journey::settingsFile());
        Journey journey({"--blank", "--erase-ms", "100"});
        journey.connectWindow();
        journey.answer("Initialization Required", QMessageBox::Ok, "the flash memory has not been programmed");
        journey.connected();
        journey.then("the summary of the factory settings", [&] {
            QCOMPARE(journey.label("lblLoggerName"), "Brevel Logger");
            QCOMPARE(journey.label("lblSampleInterval"), "1 day");
            QCOMPARE(journey.label("lblWarmup"), "3 sec");
            const char* units[] = {"Feet", "Temp C", "Volts"};
            const char* tops[] = {"100.00", "100.00", "24.00"};
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(journey.label(QStringLiteral("lblUnits%1").arg(c)), units[c]);
                QCOMPARE(journey.label(QStringLiteral("lblMax%1").arg(c)), tops[c]);
                QCOMPARE(journey.label(QStringLiteral("lblMin%1").arg(c)), "0.00");
            }
        });
        journey.closeMainWindow();
        if (!journey.run()) {
            return;
        }

        const LoggerMemory memory = journey.memory();
        const QString signature = QStringLiteral("BL2 %1%2%3        ")
                                      .arg(BREVEL_VERSION_MAJOR)
                                      .arg(BREVEL_VERSION_MINOR)
                                      .arg(BREVEL_VERSION_REVISION)
                                      .left(8);
        QCOMPARE(QString::fromLatin1(memory.read(0, 8)), signature);
        LoggerSettings defaults;
        defaults.NumAnalogChannels = 3;
        defaults.NumDigitalChannels = 2;
        RatingState rating;
        ApplyDefaultSettings(defaults, rating);
        QCOMPARE(journey.settingsImage().toHex(' '), EncodeSettings(defaults, true).value().toHex(' '));

        // Closing the window kept the port the user chose for the next start.
        QSettings settings(Journey::settingsFile(), QSettings::IniFormat);
        QCOMPARE(settings.value("Configuration/DirectPort").toString(), journey.portItem.section(' ', 0, 0));
    }
};

BREVEL_TEST(FirstStartJourney)
#include "tst_firststart.moc"
