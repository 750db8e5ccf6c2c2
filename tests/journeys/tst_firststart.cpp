#include "Journey.h"
#include "config/DefaultSettings.h"
#include "config/Rating.h"
#include "config/SettingsImage.h"

// A new user's first start against a logger fresh from the factory, and the communications log shown and saved.
class FirstStartJourney : public QObject {
    Q_OBJECT
private slots:
    void initialisesABlankLoggerAndShowsTheConversation()
    {
        QFile::remove(Journey::settingsFile());
        Journey journey({"--blank", "--erase-ms", "100"});
        QString shown;
        const auto log = [&] {
            auto* window = journey.window().findChild<QWidget*>("frmCommLog");
            return window && window->isVisible() ? window : nullptr;
        };
        journey.connectWindow();
        journey.answer("Initialization Required", QMessageBox::Ok, "the flash memory has not been programmed");
        journey.connected();
        journey.then("Communications Log", [&] { user::menu(&journey.window(), "&Help", "&Communications Log"); });
        journey.when("the log", log, [&] {
            shown = user::find<QPlainTextEdit>(log(), "txtLog")->toPlainText();
            // The wake-up letters, then acknowledged frames of the settings read.
            QVERIFY2(shown.contains(" > 55") && shown.contains("< FA  acknowledged"), qPrintable(shown.left(400)));
            user::click(user::find(log(), "cmdSave"));
        });
        journey.fileDialog("Save Communications Log", journey.files.path("for support")); // the extension added
        journey.when("back in the log", log, [&] { user::click(user::find(log(), "cmdClose")); });
        journey.closeMainWindow();
        journey.run();

        const LoggerMemory memory = journey.memory();
        const QString signature =
            QString::asprintf("BL2 %d%d%d", BREVEL_VERSION_MAJOR, BREVEL_VERSION_MINOR, BREVEL_VERSION_REVISION);
        QCOMPARE(QString::fromLatin1(memory.Read(0, 8)), signature.leftJustified(8, ' ', true));
        LoggerSettings defaults;
        RatingState rating;
        ApplyDefaultSettings(defaults, rating);
        QByteArray image;
        for (const SettingsRegion& region : SettingsReadRegions) {
            image += memory.Read(region.Address, region.Length);
        }
        QCOMPARE(image.toHex(' '), EncodeSettings(defaults, true).value().toHex(' '));

        QSettings settings(Journey::settingsFile(), QSettings::IniFormat);
        QCOMPARE(settings.value("Configuration/DirectPort").toString(), journey.portItem.section(' ', 0, 0));

        QVERIFY(QString::fromUtf8(journey.files.read("for support.txt")).startsWith(shown + '\n'));
    }
};

BREVEL_TEST(FirstStartJourney)
#include "tst_firststart.moc"
