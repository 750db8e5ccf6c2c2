#include "SetupRig.h"
#include "TestRegistry.h"
#include "config/SettingsImage.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(PromptAnswer)

namespace {

const QString FileQuestion = "The settings information has changed without being saved to a file.\r\n"
                             "Do you want to save it now?";
const QString ProgramFailed = "Error: programming not completed successfully.";

} // namespace

class SetupWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The window opens on the General page; its timer keeps the alarm times
    // and the recent-file menu in step.
    void opensAndKeepsAlarmsAndRecentFilesInStep()
    {
        SetupRig rig;
        rig.recent = {"/data/setups/pump.set", "", "/data/b.set", ""};
        rig.settings.AlarmEnable = {1, 0};
        SetupWindow& w = rig.open();
        QCOMPARE(w.windowTitle(), QString("Brevel Flow Monitor Setup"));
        auto* tabs = rig.control<QTabWidget>("TabStrip");
        QCOMPARE(tabs->tabText(0) + "," + tabs->tabText(1) + "," + tabs->tabText(2) + "," + tabs->tabText(3),
                 QString("Analog Channels,Digital Channels,General,Flow Calculation"));
        QVERIFY(tabs->currentWidget()->isAncestorOf(rig.control("txtName")));
        auto hist = [&](int i) { return rig.control<QAction>(QString("mnuHist_%1").arg(i)); };
        QVERIFY(rig.control("txtAlarm_0")->isEnabled());
        QVERIFY(!rig.control("cmbAlarm_1")->isEnabled());
        QVERIFY(!rig.control("lblAlarm_1")->isEnabled());
        QCOMPARE(hist(0)->text() + "," + hist(2)->text(), QString("&1 pump.set,&3 b.set"));
        QVERIFY(!hist(1)->isVisible()); // an empty entry is no bare number in the menu
        QVERIFY(rig.control<QAction>("mnuSep1")->isVisible());
        rig.control<QCheckBox>("chkAlarm_1")->setChecked(true);
        rig.recent[1] = "/data/new.set";
        QTRY_VERIFY(rig.control("txtAlarm_1")->isEnabled());
        QCOMPARE(hist(1)->text(), QString("&2 new.set"));
        QVERIFY(hist(1)->isVisible());
        rig.recent = {};
        QTRY_VERIFY(!rig.control<QAction>("mnuSep1")->isVisible());
        QVERIFY(!hist(0)->isVisible());
        QVERIFY(rig.prompter.messages.isEmpty());
    }

    void browseAsksForATableFile()
    {
        QTemporaryDir folder;
        const QString table = folder.filePath("pond.tbl");
        QFile file(table);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0 0\r\n1 2.5\r\n");
        file.close();
        SetupRig rig;
        rig.open();
        rig.control<QRadioButton>("optTable")->click();
        auto* tableFile = rig.control<QLineEdit>("txtTableFile");
        tableFile->setText("old.tbl");
        rig.control<QPushButton>("cmdBrowse")->click(); // cancelled
        QCOMPARE(rig.dialogs.openRequests.size(), 1);
        QCOMPARE(tableFile->text(), QString("old.tbl"));
        rig.dialogs.choices = {table};
        rig.prompter.answers = {PromptAnswer::Ok};
        rig.control<QPushButton>("cmdBrowse")->click();
        QCOMPARE(tableFile->text(), QDir::toNativeSeparators(table));
    }

    // Closing asks about changes not saved to a file, then about changes not
    // programmed into the logger, and may program them.
    void closingQuestions_data()
    {
        QTest::addColumn<int>("channels"); // analog; one pulse channel fewer
        QTest::addColumn<QString>("edit"); // control=text, "" for none
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("programSucceeds");
        QTest::addColumn<QStringList>("texts"); // the start of each message
        QTest::addColumn<QStringList>("linkCalls");
        QTest::addColumn<bool>("closed");
        using A = PromptAnswer;
        const QString file = FileQuestion.left(40);
        const QString logger = "The settings information has changed without being programmed";
        const QString name = "txtName=Pump 7";
        auto row = [](const char* title, int channels, const QString& edit, bool busy, QList<A> answers,
                      bool connected, bool succeeds, QStringList texts, QStringList calls, bool closed) {
            QTest::newRow(title) << channels << edit << busy << answers << connected << succeeds << texts << calls
                                 << closed;
        };
        for (int channels : {3, 1, 8}) {
            row(qPrintable(QString("untouched, %1 channels").arg(channels)), channels, "", false, {}, true, true, {},
                {}, true);
        }
        row("a change beyond the stored digits", 3, "txtTop_0=100.0000001", false, {}, true, true, {}, {}, true);
        row("busy", 3, name, true, {}, true, true, {}, {}, false);
        row("cancel at the file question", 3, name, false, {A::Cancel}, true, true, {file}, {}, false);
        row("no, no", 3, name, false, {A::No, A::No}, true, true, {file, logger}, {}, true);
        row("no, cancel", 3, name, false, {A::No, A::Cancel}, true, true, {file, logger}, {}, false);
        row("no, yes programs", 3, name, false, {A::No, A::Yes}, true, true, {file, logger}, {"program", "confirm"},
            true);
        row("no, yes fails", 3, name, false, {A::No, A::Yes}, true, false, {file, logger, ProgramFailed},
            {"program"}, false);
        row("no, yes while disconnected", 3, name, false, {A::No, A::Yes}, false, true,
            {file, logger, ProgramFailed}, {}, false);
        row("no, yes with a channel unscaled", 3, "txtLowRaw_1=65535", false, {A::No, A::Yes}, true, true,
            {file, logger, "Error: channel 2 has the same High Raw and Low Raw (65535)"}, {}, false);
        // Yes to the file question with the save dialog cancelled: nothing saved, the window stays.
        row("yes, dialog cancelled", 3, name, false, {A::Yes}, true, true, {file}, {}, false);
    }
    void closingQuestions()
    {
        QFETCH(int, channels);
        QFETCH(QString, edit);
        QFETCH(bool, busy);
        QFETCH(QList<PromptAnswer>, answers);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, linkCalls);
        QFETCH(bool, closed);
        SetupRig rig(channels, channels - 1 < 2 ? channels - 1 : 2);
        SetupWindow& w = rig.open();
        QFETCH(bool, connected);
        rig.state.Connected = connected;
        QFETCH(bool, programSucceeds);
        rig.fake().programSucceeds = programSucceeds;
        if (!edit.isEmpty()) {
            rig.control<QLineEdit>(edit.section('=', 0, 0))->setText(edit.section('=', 1));
        }
        rig.state.Busy = busy;
        rig.prompter.answers = answers;
        QCOMPARE(w.close(), closed);
        QCOMPARE(w.isVisible(), !closed);
        QCOMPARE(rig.control<QTimer>("Timer1")->isActive(), !closed);
        QStringList shown;
        for (const auto& message : rig.prompter.messages) {
            shown << message.text.left(texts.value(shown.size()).size());
        }
        QCOMPARE(shown, texts);
        if (!texts.isEmpty()) {
            QCOMPARE(rig.prompter.messages[0].text, FileQuestion);
            QCOMPARE(rig.prompter.messages.last().buttons,
                     texts.size() == 3 ? PromptButtons::Ok : PromptButtons::YesNoCancel);
        }
        QCOMPARE(rig.fake().calls, linkCalls);
        QCOMPARE(rig.state.Busy, busy);
        if (!linkCalls.isEmpty()) {
            QCOMPARE(rig.fake().programmed->LoggerName, QString("Pump 7"));
        }
    }

    void savingFromTheClosingQuestionThenLoadingAgain()
    {
        QTemporaryDir folder;
        const QString path = QDir::toNativeSeparators(folder.filePath("pump.set"));
        {
            SetupRig rig;
            SetupWindow& w = rig.open();
            rig.control<QLineEdit>("txtName")->setText("Pump 7");
            rig.control<QLineEdit>("txtHighEU_1")->setText("55");
            rig.dialogs.choices = {path};
            rig.prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
            QVERIFY(w.close());
            QCOMPARE(rig.titles(), QStringList({"Data Has Changed", "Data Has Changed"}));
            QCOMPARE(rig.dialogs.saveRequests.size(), 1);
            QCOMPARE(rig.dialogs.saveRequests[0].title, QString("Save Setup File"));
            QCOMPARE(rig.recent[0], path);
            QVERIFY(QFileInfo::exists(path));
        }
        SetupRig rig;
        rig.recent[2] = path;
        SetupWindow& w = rig.open();
        rig.dialogs.choices = {path};
        rig.control<QAction>("mnuHist_2")->trigger();
        QCOMPARE(rig.dialogs.openRequests.size(), 1);
        QCOMPARE(rig.dialogs.openRequests[0].initialFileName, path);
        QCOMPARE(rig.control<QLineEdit>("txtName")->text(), QString("Pump 7"));
        QCOMPARE(rig.control<QLineEdit>("txtHighEU_1")->text(), QString("55"));
        QCOMPARE(w.SetupFileName(), QString("pump.set"));
        QCOMPARE(rig.recent[0], path);
        // Loaded but not programmed: closing asks about the logger only.
        rig.prompter.answers = {PromptAnswer::No};
        QVERIFY(w.close());
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.prompter.messages[0].text.contains("without being programmed"));
    }

    void programAsksProgramsAndConfirms_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("programOk");
        QTest::addColumn<bool>("confirmOk");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("titles");
        const QString program = "Program Settings";
        QTest::newRow("yes") << PromptAnswer::Yes << "Pump 9" << true << true << QStringList{"program", "confirm"}
                             << QStringList{program};
        QTest::newRow("no") << PromptAnswer::No << "Pump 9" << true << true << QStringList() << QStringList{program};
        QTest::newRow("write fails") << PromptAnswer::Yes << "Pump 9" << false << true << QStringList{"program"}
                                     << QStringList{program, program};
        QTest::newRow("confirm fails") << PromptAnswer::Yes << "Pump 9" << true << false
                                       << QStringList{"program", "confirm"} << QStringList{program, program};
        // A name with no single-byte code cannot be encoded, and is never sent.
        QTest::newRow("unencodable") << PromptAnswer::Yes << QString::fromUtf8("Pump \u03a9") << true << true
                                     << QStringList() << QStringList{program, program};
    }
    void programAsksProgramsAndConfirms()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(QString, name);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, titles);
        SetupRig rig;
        SetupWindow& w = rig.open();
        QFETCH(bool, programOk);
        rig.fake().programSucceeds = programOk;
        QFETCH(bool, confirmOk);
        rig.fake().confirmSucceeds = confirmOk;
        rig.control<QLineEdit>("txtName")->setText(name);
        const auto before = w.LoggerImage();
        rig.prompter.answers = {answer};
        rig.control<QPushButton>("cmdOK")->click();
        QCOMPARE(rig.titles(), titles);
        QCOMPARE(rig.prompter.messages[0].text, QString("Are you sure you want to program settings into logger memory?"));
        QCOMPARE(rig.prompter.messages[0].defaultAnswer, PromptAnswer::No);
        if (titles.size() > 1) {
            QCOMPARE(rig.prompter.messages[1].text, ProgramFailed);
            QCOMPARE(rig.prompter.messages[1].icon, PromptIcon::Error);
        }
        QCOMPARE(rig.fake().calls, calls);
        const bool programmed = calls.size() == 2 && titles.size() == 1;
        QCOMPARE(w.LoggerImage() != before, programmed);
        if (programmed) {
            QCOMPARE(w.LoggerImage(), EncodeSettings(rig.settings, true));
            QCOMPARE(rig.fake().programmed->LoggerName, name);
        }
        QVERIFY(!rig.state.Busy);
        QVERIFY(rig.control("cmdCancel")->isEnabled());
        QCOMPARE(rig.cursor.depth, 0);
    }

    // Program and Calibrate take the line; they do nothing while it is not free.
    void commandsDoNothingWhileTheLinkIsTaken_data()
    {
        QTest::addColumn<bool>("calibrate");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("sampling");
        for (bool calibrate : {false, true}) {
            const char* command = calibrate ? "Calibrate" : "Program";
            QTest::addRow("%s, disconnected", command) << calibrate << false << false << false;
            QTest::addRow("%s, busy", command) << calibrate << true << true << false;
            QTest::addRow("%s, sampling", command) << calibrate << true << false << true;
        }
    }
    void commandsDoNothingWhileTheLinkIsTaken()
    {
        QFETCH(bool, calibrate);
        QFETCH(bool, busy);
        SetupRig rig;
        rig.open();
        QFETCH(bool, connected);
        rig.state.Connected = connected;
        rig.state.Busy = busy;
        QFETCH(bool, sampling);
        rig.samplingContinuously = sampling;
        if (calibrate) {
            rig.control<QPushButton>("cmdCalibrate_0")->click();
        } else {
            rig.control<QAction>("mnuDownload")->trigger();
        }
        QVERIFY(rig.prompter.messages.isEmpty());
        QVERIFY(rig.fake().calls.isEmpty());
        QCOMPARE(rig.state.Busy, busy);
    }

    void menusWaitWhileProgramTalksToTheLogger()
    {
        SetupRig rig;
        rig.open();
        rig.prompter.whileShown = [&](const RecordingPrompter::Message& message) {
            if (message.text.startsWith("Are you sure")) {
                rig.control<QAction>("mnuInitialize")->trigger();
                rig.control<QAction>("mnuSave")->trigger();
                rig.control<QAction>("mnuLoad")->trigger();
            }
        };
        rig.prompter.answers = {PromptAnswer::Yes};
        rig.control<QPushButton>("cmdOK")->click();
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.dialogs.saveRequests.isEmpty());
        QVERIFY(rig.dialogs.openRequests.isEmpty());
        QCOMPARE(rig.fake().calls, QStringList({"program", "confirm"}));
    }

    void initializeAsksFirst()
    {
        SetupRig rig;
        rig.open();
        auto* name = rig.control<QLineEdit>("txtName");
        name->setText("Pump 3");
        rig.prompter.answers = {PromptAnswer::No};
        rig.control<QAction>("mnuInitialize")->trigger();
        QCOMPARE(name->text(), QString("Pump 3"));
        QCOMPARE(rig.prompter.messages[0].title, QString("Initialize to Default Values"));
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Question);
        QCOMPARE(rig.prompter.messages[0].defaultAnswer, PromptAnswer::No);
        QVERIFY(rig.prompter.messages[0].text.startsWith(
            "This action will reset all setup values to defaults, but will not program the\r\nvalues"));
        rig.settings.LoggerName = "Changed";
        rig.prompter.answers = {PromptAnswer::Yes};
        rig.control<QAction>("mnuInitialize")->trigger();
        QCOMPARE(name->text(), QString("Brevel Logger"));
        QVERIFY(rig.fake().calls.isEmpty());
    }
};

BREVEL_TEST(SetupWindowTest)
#include "tst_setupwindow.moc"
