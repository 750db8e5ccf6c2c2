#include "Journey.h"

// A modem dialled with a command file, hung up, a second dial cancelled; File > Exit ends at once, storing nothing.
class ModemJourney : public QObject {
    Q_OBJECT
private slots:
    void dialsCancelsADialAndExits()
    {
        QFile::remove(Journey::settingsFile());
        Journey journey({"--modem", "--connect-after", "300", "--counts", "32768"});
        MainWindow& window = journey.window();
        const QString commandFile = journey.files.path("modem.txt");
        QVERIFY(journey.files.writeLines("modem.txt", {"at&f", "; remark", "ATS0=0 no answer"}));

        journey.connectWindow([](QWidget* connect) {
            user::click(user::find(connect, "optModem"));
            user::type(user::find(connect, "cmbNumber"), "555-0100");
            QVERIFY(!user::find<QCheckBox>(connect, "chkInitFile")->isChecked());
            user::click(user::find(connect, "chkInitFile"));
            user::click(user::find(connect, "cmdBrowse"));
        });
        journey.fileDialog("Select Modem Command File", commandFile);
        journey.connected(15);
        journey.then("hang up", [&] {
            QCOMPARE(journey.label("lblValue0"), "50.00");
            user::click(user::find(&window, "cmdConnect"));
        });
        journey.when("the logger disconnected", [&] { return journey.label("lblCommStatus") == u"Not Connected"; });
        journey.then("Connect again", [&] { user::click(user::find(&window, "cmdConnect")); });
        journey.when("the connection window", [] { return user::modal("frmConnect"); }, [&] {
            QWidget* connect = user::modal("frmConnect");
            QCOMPARE(user::find<QComboBox>(connect, "cmbNumber")->currentText(), "555-0100");
            QCOMPARE(user::find<QLineEdit>(connect, "txtConfiguration")->text(), commandFile);
            QVERIFY(user::find<QCheckBox>(connect, "chkInitFile")->isChecked());
            user::click(user::find(connect, "cmdConnect"));
        });
        journey.when("the modem dialling", [] { return user::modal("frmModem"); },
                     [] { user::press("frmModem", "cmdCancel"); });
        journey.when("the program disconnected, without a message", [&] {
            return QApplication::activeModalWidget() == nullptr && journey.label("lblCommStatus") == u"Not Connected";
        });
        journey.then("File > Exit", [&] { user::menu(&window, "&File", "E&xit"); });
        journey.run();
        QVERIFY(!QFile::exists(Journey::settingsFile()));
    }
};

BREVEL_TEST(ModemJourney)
#include "tst_modem.moc"
