#include "SetupRig.h"
#include "TestRegistry.h"
#include "config/SettingsImage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(PromptAnswer)

namespace {

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

const QString FileQuestion = "The settings information has changed without being saved to a file.\r\n"
                             "Do you want to save it now?";

} // namespace

class SetupWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheGeneralPageAndFreesTheLink()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        QCOMPARE(w.windowTitle(), QString("Brevel Flow Monitor Setup"));
        QCOMPARE(w.objectName(), QString("frmSetup"));
        QCOMPARE(w.TabStrip->count(), 4);
        QStringList tabs;
        for (int i = 0; i < 4; ++i) {
            tabs << w.TabStrip->tabText(i);
        }
        QCOMPARE(tabs, QStringList({"Analog Channels", "Digital Channels", "General", "Flow Calculation"}));
        QCOMPARE(w.TabStrip->currentIndex(), 2);
        QVERIFY(!rig.state.Busy);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 250);
        QVERIFY(rig.prompter.messages.isEmpty());
    }

    void choiceListsDependOnTheChannelCount()
    {
        SetupRig rig(4, 2);
        SetupWindow& w = rig.open();
        QCOMPARE(Items(w.cmbEU[0]), QStringList({"Feet", "Inches", "Meters", "cm"}));
        QCOMPARE(w.cmbEU[1]->count(), 16);
        QCOMPARE(w.cmbEU[1]->itemText(4), QString("Temp C"));
        QCOMPARE(Items(w.cmbEU[3]), QStringList({"Volts"}));
        QCOMPARE(w.cmbEU[4]->count(), 0);
        for (int c = 0; c < 8; ++c) {
            QCOMPARE(w.fraSetup[c]->isEnabled(), c < 4);
            QCOMPARE(w.fraSetup[c]->title(), QString::number(c + 1));
            QCOMPARE(!w.cmdCalibrate[c]->isHidden(), c < 4);
        }
        QCOMPARE(Items(w.cmbFlume), QStringList({"- None -", "Parshall 3 in", "Parshall 6 in"}));
        QCOMPARE(Items(w.cmbWeir), QStringList({"- None -", "V-notch 90"}));
        QCOMPARE(w.cmbWarmup->count(), 61);
        QCOMPARE(w.cmbRoughness->itemText(5), QString("0.014 - Vitrified clay sewer tile - most common"));
        QCOMPARE(Items(w.cmbFlowUnits).at(2), QString("mgd - million's of gallons per day"));
        QCOMPARE(w.cmdOK->toolTip(), QString("Write setup values to logger flash memory"));
        QCOMPARE(w.txtHighRaw[0]->toolTip(), QString("Integer value of upper calibration point ( 0-65535)"));
    }

    void pulseFramesAndSampleOnDemand_data()
    {
        QTest::addColumn<int>("pulseChannels");
        QTest::addColumn<bool>("sod");
        QTest::newRow("none") << 0 << false;
        QTest::newRow("one") << 1 << true;
        QTest::newRow("two") << 2 << false;
    }
    void pulseFramesAndSampleOnDemand()
    {
        QFETCH(int, pulseChannels);
        QFETCH(bool, sod);
        SetupRig rig(3, pulseChannels);
        rig.settings.SodSupported = sod;
        SetupWindow& w = rig.open();
        QCOMPARE(w.fraPulse[0]->isEnabled(), pulseChannels >= 1);
        QCOMPARE(w.txtPulseUnit[0]->isEnabled(), pulseChannels >= 1);
        QCOMPARE(w.fraPulse[1]->isEnabled(), pulseChannels >= 2);
        QCOMPARE(w.cmbPulseEU[1]->isEnabled(), pulseChannels >= 2);
        QCOMPARE(w.chkSOD->isEnabled(), sod);
    }

    void flowOptionsEnableTheirFields_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("enabled");
        const QStringList display{"cmbFlowUnits", "txtFlowTop", "txtOffset", "cmbOffsetUnits"};
        QTest::newRow("none") << "optNoFlow" << QStringList();
        QTest::newRow("mannings") << "optMannings"
                                  << display + QStringList{"frmMannings", "txtDiameter", "cmbRoughness", "lblM3"};
        QTest::newRow("flume") << "optFlume" << display + QStringList{"cmbFlume"};
        QTest::newRow("weir") << "optWeir" << display + QStringList{"cmbWeir"};
        QTest::newRow("table") << "optTable" << display + QStringList{"txtTableFile", "cmdBrowse"};
    }
    void flowOptionsEnableTheirFields()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, enabled);
        SetupRig rig;
        SetupWindow& w = rig.open();
        w.TabStrip->setCurrentIndex(3);
        w.findChild<QRadioButton*>(option)->click();
        for (const char* name : {"cmbFlowUnits", "txtFlowTop", "txtOffset", "cmbOffsetUnits", "frmMannings",
                                 "txtDiameter", "cmbRoughness", "lblM3", "cmbFlume", "cmbWeir", "txtTableFile",
                                 "cmdBrowse"}) {
            auto* field = w.findChild<QWidget*>(name);
            QVERIFY2(field, name);
            QVERIFY2(field->isEnabled() == enabled.contains(name), name);
        }
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
        SetupWindow& w = rig.open();
        w.optTable->click();
        w.txtTableFile->setText("old.tbl");
        w.cmdBrowse->click(); // cancelled
        QCOMPARE(rig.dialogs.openRequests.size(), 1);
        QCOMPARE(w.txtTableFile->text(), QString("old.tbl"));
        rig.dialogs.choices = {table};
        rig.prompter.answers = {PromptAnswer::Ok};
        w.cmdBrowse->click();
        QCOMPARE(w.txtTableFile->text(), QDir::toNativeSeparators(table));
    }

    void timerFollowsAlarmsAndRecentFiles()
    {
        SetupRig rig;
        rig.recent = {"/data/setups/pump.set", "", "/data/b.set", ""};
        SetupWindow& w = rig.open();
        w.chkAlarm[1]->setChecked(true);
        w.chkAlarm[0]->setChecked(false);
        w.TickTimer();
        QVERIFY(!w.txtAlarm[0]->isEnabled());
        QVERIFY(!w.cmbAlarm[0]->isEnabled());
        QVERIFY(!w.lblAlarm[0]->isEnabled());
        QVERIFY(w.txtAlarm[1]->isEnabled());
        QCOMPARE(w.mnuHist[0]->text(), QString("&1 pump.set"));
        QCOMPARE(w.mnuHist[2]->text(), QString("&3 b.set"));
        QVERIFY(!w.mnuHist[1]->isVisible()); // an empty entry is no bare number in the menu
        QVERIFY(w.mnuSep1->isVisible());
        rig.recent[1] = "/data/new.set";
        QTRY_COMPARE(w.mnuHist[1]->text(), QString("&2 new.set"));
        QVERIFY(w.mnuHist[1]->isVisible());
        rig.recent = {};
        QTRY_VERIFY(!w.mnuSep1->isVisible());
        QVERIFY(!w.mnuHist[0]->isVisible());
    }

    void untouchedWindowClosesWithoutAsking()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(rig.prompter.messages.isEmpty());
        QVERIFY(!rig.state.Busy);
        QVERIFY(!w.Timer1->isActive());
    }

    void changesBeyondStoredPrecisionAreNoChange()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        w.txtTop[0]->setText("100.0000001");
        QVERIFY(w.close());
        QVERIFY(rig.prompter.messages.isEmpty());
    }

    void closingQuestions_data()
    {
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("programSucceeds");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("linkCalls");
        QTest::addColumn<bool>("closed");
        using A = PromptAnswer;
        const QString changed = "Data Has Changed";
        const QString failed = "Program Settings";
        QTest::newRow("cancel at the file question") << QList<A>{A::Cancel} << true << true << QStringList{changed}
                                                     << QStringList() << false;
        QTest::newRow("no, no") << QList<A>{A::No, A::No} << true << true << QStringList{changed, changed}
                                << QStringList() << true;
        QTest::newRow("no, cancel") << QList<A>{A::No, A::Cancel} << true << true << QStringList{changed, changed}
                                    << QStringList() << false;
        QTest::newRow("no, yes programs") << QList<A>{A::No, A::Yes} << true << true
                                          << QStringList{changed, changed} << QStringList{"program", "confirm"}
                                          << true;
        QTest::newRow("no, yes fails") << QList<A>{A::No, A::Yes} << true << false
                                       << QStringList{changed, changed, failed} << QStringList{"program"} << false;
        QTest::newRow("no, yes while disconnected") << QList<A>{A::No, A::Yes} << false << true
                                                    << QStringList{changed, changed, failed} << QStringList()
                                                    << false;
        // Yes to the file question with the save dialog cancelled: nothing saved, the window stays.
        QTest::newRow("yes, dialog cancelled") << QList<A>{A::Yes} << true << true << QStringList{changed}
                                               << QStringList() << false;
    }
    void closingQuestions()
    {
        QFETCH(QList<PromptAnswer>, answers);
        QFETCH(bool, connected);
        QFETCH(bool, programSucceeds);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, linkCalls);
        QFETCH(bool, closed);
        SetupRig rig;
        SetupWindow& w = rig.open();
        rig.state.Connected = connected;
        rig.fake().programSucceeds = programSucceeds;
        w.txtName->setText("Pump 7");
        rig.prompter.answers = answers;
        w.close();
        QCOMPARE(rig.titles(), titles);
        QCOMPARE(rig.prompter.messages.first().text, FileQuestion);
        QCOMPARE(rig.prompter.messages.first().buttons, PromptButtons::YesNoCancel);
        if (titles.size() > 1) {
            QVERIFY(rig.prompter.messages[1].text.contains("without being programmed to the logger"));
        }
        if (titles.size() > 2) {
            QCOMPARE(rig.prompter.messages[2].text, QString("Error: programming not completed successfully."));
            QCOMPARE(rig.prompter.messages[2].icon, PromptIcon::Error);
        }
        QCOMPARE(rig.fake().calls, linkCalls);
        QCOMPARE(w.isVisible(), !closed);
        QVERIFY(!rig.state.Busy);
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
            w.txtName->setText("Pump 7");
            w.txtHighEU[1]->setText("55");
            rig.dialogs.choices = {path};
            rig.prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
            QVERIFY(w.close());
            QCOMPARE(rig.titles(), QStringList({"Data Has Changed", "Data Has Changed"}));
            QCOMPARE(rig.dialogs.saveRequests.size(), 1);
            QCOMPARE(rig.dialogs.saveRequests[0].title, QString("Save Setup File"));
            QCOMPARE(rig.dialogs.saveRequests[0].filter, QString("Setup Files (*.set)|*.set"));
            QCOMPARE(rig.recent[0], path);
            QVERIFY(QFileInfo::exists(path));
        }
        SetupRig rig;
        rig.recent[2] = path;
        SetupWindow& w = rig.open();
        w.TickTimer();
        QCOMPARE(w.mnuHist[2]->text(), QString("&3 pump.set"));
        rig.dialogs.choices = {path};
        w.mnuHist[2]->trigger();
        QCOMPARE(rig.dialogs.openRequests.size(), 1);
        QCOMPARE(rig.dialogs.openRequests[0].initialFileName, path);
        QCOMPARE(w.txtName->text(), QString("Pump 7"));
        QCOMPARE(w.txtHighEU[1]->text(), QString("55"));
        QCOMPARE(w.SetupFileName(), QString("pump.set"));
        QCOMPARE(rig.recent[0], path);
        // Loaded but not programmed: closing asks about the logger only.
        rig.prompter.answers = {PromptAnswer::No};
        QVERIFY(w.close());
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.prompter.messages[0].text.contains("without being programmed"));
    }

    void busyWindowStaysOpen()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        rig.state.Busy = true;
        w.txtName->setText("Pump 7");
        QVERIFY(!w.close());
        QVERIFY(rig.prompter.messages.isEmpty());
    }

    void programAsksProgramsAndConfirms_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<bool>("programOk");
        QTest::addColumn<bool>("confirmOk");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("failureShown");
        QTest::newRow("yes") << PromptAnswer::Yes << true << true << QStringList{"program", "confirm"} << false;
        QTest::newRow("no") << PromptAnswer::No << true << true << QStringList() << false;
        QTest::newRow("write fails") << PromptAnswer::Yes << false << true << QStringList{"program"} << true;
        QTest::newRow("confirm fails") << PromptAnswer::Yes << true << false << QStringList{"program", "confirm"}
                                       << true;
    }
    void programAsksProgramsAndConfirms()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(bool, programOk);
        QFETCH(bool, confirmOk);
        QFETCH(QStringList, calls);
        QFETCH(bool, failureShown);
        SetupRig rig;
        SetupWindow& w = rig.open();
        rig.fake().programSucceeds = programOk;
        rig.fake().confirmSucceeds = confirmOk;
        w.txtName->setText("Pump 9");
        const auto before = w.LoggerImage();
        rig.prompter.answers = {answer};
        w.cmdOK->click();
        QCOMPARE(rig.prompter.messages.first().title, QString("Program Settings"));
        QCOMPARE(rig.prompter.messages.first().text,
                 QString("Are you sure you want to program settings into logger memory?"));
        QCOMPARE(rig.prompter.messages.first().defaultAnswer, PromptAnswer::No);
        QCOMPARE(rig.fake().calls, calls);
        QCOMPARE(rig.prompter.messages.size(), failureShown ? 2 : 1);
        const bool programmed = calls.size() == 2 && !failureShown;
        QCOMPARE(w.LoggerImage() != before, programmed);
        if (programmed) {
            QCOMPARE(w.LoggerImage(), EncodeSettings(rig.settings, true));
        }
        QVERIFY(!rig.state.Busy);
        QVERIFY(w.cmdCancel->isEnabled());
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
        QFETCH(bool, connected);
        QFETCH(bool, busy);
        QFETCH(bool, sampling);
        SetupRig rig;
        SetupWindow& w = rig.open();
        rig.state.Connected = connected;
        rig.state.Busy = busy;
        rig.samplingContinuously = sampling;
        if (calibrate) {
            w.cmdCalibrate[0]->click();
        } else {
            w.mnuDownload->trigger();
        }
        QVERIFY(rig.prompter.messages.isEmpty());
        QVERIFY(rig.fake().calls.isEmpty());
        QCOMPARE(rig.state.Busy, busy);
    }

    void menusWaitWhileProgramTalksToTheLogger()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        rig.prompter.whileShown = [&](const RecordingPrompter::Message& message) {
            if (message.text.startsWith("Are you sure")) {
                w.mnuInitialize->trigger();
                w.mnuSave->trigger();
                w.mnuLoad->trigger();
            }
        };
        rig.prompter.answers = {PromptAnswer::Yes};
        w.cmdOK->click();
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.dialogs.saveRequests.isEmpty());
        QVERIFY(rig.dialogs.openRequests.isEmpty());
        QCOMPARE(rig.fake().calls, QStringList({"program", "confirm"}));
    }

    void unencodableSettingsAreNeverProgrammed()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        w.txtName->setText(QString::fromUtf8("Pump \u03a9")); // no single-byte code
        rig.prompter.answers = {PromptAnswer::Yes};
        w.cmdOK->click();
        QVERIFY(rig.fake().calls.isEmpty());
        QCOMPARE(rig.titles(), QStringList({"Program Settings", "Program Settings"}));
        QCOMPARE(rig.prompter.messages[1].text, QString("Error: programming not completed successfully."));
    }

    void initializeAsksFirst()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        w.txtName->setText("Pump 3");
        rig.prompter.answers = {PromptAnswer::No};
        w.mnuInitialize->trigger();
        QCOMPARE(w.txtName->text(), QString("Pump 3"));
        QCOMPARE(rig.prompter.messages.first().title, QString("Initialize to Default Values"));
        QCOMPARE(rig.prompter.messages.first().icon, PromptIcon::Question);
        QCOMPARE(rig.prompter.messages.first().defaultAnswer, PromptAnswer::No);
        QVERIFY(rig.prompter.messages.first().text.startsWith(
            "This action will reset all setup values to defaults, but will not program the\r\nvalues"));
        w.ReadSettingsFromEditor();
        rig.prompter.answers = {PromptAnswer::Yes};
        w.mnuInitialize->trigger();
        QCOMPARE(w.txtName->text(), QString("Brevel Logger"));
        QVERIFY(rig.fake().calls.isEmpty());
    }
};

BREVEL_TEST(SetupWindowTest)
#include "tst_setupwindow.moc"
