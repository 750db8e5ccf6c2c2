#include "ScratchFolder.h"
#include "SetupRig.h"
#include "Snapshot.h"
#include "TestRegistry.h"
#include "config/SettingsImage.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

Q_DECLARE_METATYPE(PromptAnswer)

namespace {

struct Field {
    std::function<void(LoggerSettings&)> set;
    std::function<QString(const LoggerSettings&)> text;
};

template <typename T, typename V>
Field Member(T LoggerSettings::*member, V value)
{
    return {[=](LoggerSettings& s) { s.*member = T(value); },
            [=](const LoggerSettings& s) { return QVariant(s.*member).toString(); }};
}

template <typename T, size_t N, typename V>
Field Element(std::array<T, N> LoggerSettings::*member, int index, V value)
{
    return {[=](LoggerSettings& s) { (s.*member)[index] = T(value); },
            [=](const LoggerSettings& s) { return QVariant((s.*member)[index]).toString(); }};
}

} // namespace

Q_DECLARE_METATYPE(Field)

class SetupWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Every control in its place and enabled as it should be for a 4-analog, 1-pulse logger and each flow method.
    void pagesLookAsKept_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("option"); // clicked, "" for none
        QTest::newRow("analog") << 0 << "";
        QTest::newRow("digital") << 1 << "";
        QTest::newRow("general") << 2 << "";
        QTest::newRow("flow") << 3 << "optMannings";
        QTest::newRow("flow-none") << 3 << "optNoFlow";
        QTest::newRow("flow-weir") << 3 << "optWeir";
    }
    void pagesLookAsKept()
    {
        QFETCH(int, page);
        QFETCH(QString, option);
        SetupRig rig(4, 1);
        rig.settings.FlowMode = option == u"optMannings" ? 4 : 1; // each method chosen from another
        rig.settings.EngUnits[0] = "ft"; // not one channel 1 may have: shown as it is, and said why
        rig.open();
        rig.control<QTabWidget>("TabStrip")->setCurrentIndex(page);
        if (!option.isEmpty()) {
            rig.control<QAbstractButton>(option)->click();
        }
        BREVEL_VERIFY_SNAPSHOT(*rig.window, QStringLiteral("setup-%1").arg(QTest::currentDataTag()));
        BREVEL_COMPARE_BOXES(rig.prompter, {"Bad Units|I|..."});
        QVERIFY(rig.prompter.messages[0].text.contains("The current unit's name (ft) is not supported."));
        // The unit lists follow the channel counts; channel 1's allows a flow computation, the last is the battery's.
        const QStringList lists{"Feet,Inches,Meters,cm", {}, {}, "Volts", ""};
        for (int c : {0, 3, 4}) {
            auto* combo = rig.control<QComboBox>(QString("cmbEU_%1").arg(c));
            QStringList items;
            for (int i = 0; i < combo->count(); ++i) {
                items << combo->itemText(i);
            }
            QCOMPARE(items.join(','), lists[c]);
        }
    }

    // A field of the record shows in its control and is programmed back from it; what is typed into the controls
    // is stored the way the logger stores it.
    void fieldsShowAndReadBack_data()
    {
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("control"); // showing the field, "" for typed entries
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("entries"); // control=value, typed before programming
        QTest::addColumn<QString>("stored");      // programmed; null for the value the row sets
        using S = LoggerSettings;
        auto row = [](const char* name, Field field, const char* control, const QString& shown,
                      const QString& readBack = {}) {
            QTest::newRow(name) << field << QString(control) << shown << QStringList() << readBack;
        };
        auto typed = [](const char* name, const QStringList& entries, Field field, const char* stored) {
            QTest::newRow(name) << field << QString() << QString() << entries << QString(stored);
        };
        row("warm-up", Member(&S::SensorWarmupTime, 7), "cmbWarmup", "7");
        row("alarm in use", Element(&S::AlarmEnable, 1, 1), "chkAlarm_1", "true");
        row("alarm at 15", Element(&S::AlarmHour, 0, 15), "txtAlarm_0", "3:00:00");
        row("alarm at 15 is P.M.", Element(&S::AlarmHour, 1, 15), "cmbAlarm_1", "P.M.");
        row("alarm at noon", Element(&S::AlarmHour, 0, 12), "txtAlarm_0", "12:00:00");
        row("alarm in the morning", Element(&S::AlarmHour, 1, 9), "cmbAlarm_1", "A.M.");
        row("alarm minute", Element(&S::AlarmMin, 1, 30), "txtAlarm_1", "12:30:00");
        row("alarm second", Element(&S::AlarmSec, 0, 9), "txtAlarm_0", "12:00:09");
        row("style 3 is logarithmic", Member(&S::LoggingStyle, 3), "optLogarithmic", "true", "1");
        row("fast with exception", Member(&S::LoggingStyle, 130), "optFastMode", "true");
        row("interval unit", Member(&S::SampleInterval, "5 hours"), "cmbSampleInterval", "hours");
        row("Minutes are no minutes", Member(&S::SampleInterval, "2 Minutes"), "cmbSampleInterval", "days", "2 days");
        row("interval of one", Member(&S::SampleInterval, "1 second"), "cmbSampleInterval", "seconds");
        row("deadband", Member(&S::Deadband, 250), "txtException", "250");
        row("wrap-around", Member(&S::DataWrapAroundFlag, 0), "chkWrap", "false");
        row("sample on demand", Member(&S::EnableSOD, 1), "chkSOD", "true");
        row("baud rate", Member(&S::FixedBaudRate, 6), "cmbBaud", "Fixed 115200");
        row("baud rate beyond the list", Member(&S::FixedBaudRate, 9), "cmbBaud", "Auto Baud Rate", "0");
        row("channel enable", Element(&S::AnalogEnable, 1, 0), "chkEnable_1", "false");
        row("channel units", Element(&S::EngUnits, 1, "ppm"), "cmbEU_1", "ppm");
        row("level units spelled as listed", Element(&S::EngUnits, 0, "meters"), "cmbEU_0", "Meters", "Meters");
        row("high EU", Element(&S::UpperLimit, 1, 12.5), "txtHighEU_1", "12.5");
        row("low EU", Element(&S::LowerLimit, 2, -3), "txtLowEU_2", "-3");
        row("display top", Element(&S::DisplayTop, 0, 20), "txtTop_0", "20");
        row("display bottom", Element(&S::DisplayBottom, 1, 0.01), "txtBottom_1", "0.01");
        row("high raw", Element(&S::RawScaleUpper, 1, 60000), "txtHighRaw_1", "60000");
        row("low raw", Element(&S::RawScaleLower, 2, 1000), "txtLowRaw_2", "1000");
        row("decimal places", Element(&S::DecPlaces, 1, 3), "cmbPrecision_1", "3");
        row("decimal places beyond 6", Element(&S::DecPlaces, 0, 9), "cmbPrecision_0", "6", "6");
        row("pulse enable", Element(&S::DigitalEnable, 1, 0), "chkPulseEnable_1", "false");
        row("pulse units", Element(&S::EngUnits, 9, "Gallons"), "cmbPulseEU_1", "Gallons");
        row("pulse value", Element(&S::PulseUnit, 0, 0.25), "txtPulseUnit_0", "0.25");
        row("pulse decimal places", Element(&S::DecPlaces, 8, 2), "cmbPulsePrecision_0", "2");
        row("table", Member(&S::FlowMode, 4), "optTable", "true");
        row("first unknown mode is no flow", Member(&S::FlowMode, 5), "optNoFlow", "true", "0");
        row("flume tag", Member(&S::FlumeTag, "PF6"), "cmbFlume", "Parshall 6 in");
        row("tags are case-sensitive", Member(&S::FlumeTag, "pf3"), "cmbFlume", "- None -", "");
        row("weir tag", Member(&S::WeirTag, "VN90"), "cmbWeir", "V-notch 90");
        row("table file", Member(&S::TablePath, "tables/pond.tbl"), "txtTableFile", "tables/pond.tbl");
        row("flow units", Member(&S::FlowUnits, 3), "cmbFlowUnits", "cms - cubic meters per second");
        row("flow top", Member(&S::FlowTop, 12.5), "txtFlowTop", "12.5");
        row("roughness", Member(&S::ManningsN, 0.017), "cmbRoughness", "0.017");
        row("level offset", Member(&S::LevelOffset, -1.5), "txtOffset", "-1.5");
        row("offset units", Member(&S::LevelOffsetType, 2), "cmbOffsetUnits", "meters");
        row("diameter", Member(&S::ManningsD, 0.3), "txtDiameter", "0.3");
        row("diameter units", Member(&S::ManningsDType, 3), "cmbDiameterUnits", "cm");
        row("slope", Member(&S::ManningsS, 0.02), "txtSlope", "0.02");
        row("slope units", Member(&S::ManningsSType, 0), "cmbSlopeUnits", "decimal (rise/run)");
        row("velocity units", Member(&S::VelUnits, 1), "cmbVelUnits", "mps - meters-per-sec");
        row("velocity top", Member(&S::VelTop, 4), "txtVelTop", "4");
        typed("7:05 P.M.", {"txtAlarm_0=7:05", "cmbAlarm_0=P.M."}, Element(&S::AlarmHour, 0, 0), "19");
        typed("12:30 A.M. is midnight", {"txtAlarm_1=12:30", "cmbAlarm_1=A.M."}, Element(&S::AlarmHour, 1, 0), "0");
        typed("12:30 P.M. is noon", {"txtAlarm_1=12:30", "cmbAlarm_1=P.M."}, Element(&S::AlarmHour, 1, 0), "12");
        typed("19 P.M. stays", {"txtAlarm_0=19", "cmbAlarm_0=P.M."}, Element(&S::AlarmHour, 0, 0), "19");
        typed("0:15 P.M. is past noon", {"txtAlarm_0=0:15", "cmbAlarm_0=P.M."}, Element(&S::AlarmHour, 0, 0), "12");
        typed("leading number of an EU", {"txtHighEU_1=2,5"}, Element(&S::UpperLimit, 1, 0), "2");
        typed("raw count rounds half to even", {"txtLowRaw_0=12.5"}, Element(&S::RawScaleLower, 0, 0), "12");
        typed("comma of a flow value", {"txtFlowTop=2,5"}, Member(&S::FlowTop, 0), "2.5");
        typed("roughness list item", {"cmbRoughness=0.013 - Finished concrete"}, Member(&S::ManningsN, 0), "0.013");
        typed("Manning's", {"optMannings=true"}, Member(&S::FlowMode, 0), "1");
        typed("analog channel beyond the logger", {"cmbEU_3=1"}, Element(&S::EngUnits, 3, "kept"), "kept");
        typed("pulse channel beyond the logger", {"txtPulseUnit_1=1"}, Element(&S::PulseUnit, 1, 7.5), "7.5");
    }
    void fieldsShowAndReadBack()
    {
        QFETCH(Field, field);
        QFETCH(QString, control);
        QFETCH(QStringList, entries);
        SetupRig rig(3, entries.isEmpty() ? 2 : 1); // typed: the second pulse channel is beyond the logger
        const LoggerSettings factory = rig.settings;
        if (entries.isEmpty()) {
            field.set(rig.settings);
            QVERIFY2(field.text(rig.settings) != field.text(factory), "the row must change the field");
        }
        const QString set = field.text(rig.settings);
        rig.open();
        if (!control.isEmpty()) { // the value a control shows its user: a box's or option's tick, the others' text
            QWidget* shownIn = rig.control(control);
            QTEST(shownIn->metaObject()->userProperty().read(shownIn).toString(), "shown");
        }
        for (const QString& entry : entries) {
            QWidget* typedIn = rig.control(entry.section('=', 0, 0));
            typedIn->metaObject()->userProperty().write(typedIn, entry.section('=', 1));
        }
        rig.settings = factory; // so the control's value has to be read back
        if (!entries.isEmpty()) {
            field.set(rig.settings); // for the typed value to replace
        }
        rig.prompter.answers = {PromptAnswer::Yes};
        rig.control<QPushButton>("cmdOK")->click();
        QFETCH(QString, stored);
        QCOMPARE(field.text(rig.link.programmed.value()), stored.isNull() ? set : stored);
        BREVEL_COMPARE_BOXES(rig.prompter, {"Program Settings|I|Are you sure..."});
    }

    // Closing asks about changes not saved to a file, then not programmed, and may program them; Program and
    // Initialize ask first; Program and Calibrate take the line (its guard has its own tests) and wait for sampling.
    void commandsAsk_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("state");   // of the logger and the line, "" for a free logger
        QTest::addColumn<QString>("edit");    // control=text
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::addColumn<QStringList>("messages"); // as BREVEL_COMPARE_BOXES takes them
        QTest::addColumn<QStringList>("linkCalls");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("channels"); // analog; one pulse channel fewer
        using A = PromptAnswer;
        const QString file = "Data Has Changed|I|The settings information has changed without being saved to a file."
                             "\r\nDo you want to save it now?";
        const QString logger = "Data Has Changed|I|The settings information has changed without being programmed...";
        const QString failed = "Program Settings|E|Error: programming not completed successfully.";
        const QString program = "Program Settings|I|Are you sure...";
        const QString initialize = "Initialize to Default Values|Q|...";
        const QString name = "txtName=Pump 7";
        const QStringList programs{"program", "confirm"};
        auto row = [](const char* title, const char* control, const char* state, const QString& edit,
                      QList<A> answers, QStringList messages, QStringList calls, bool closed, int channels = 3) {
            QTest::newRow(title) << QString(control) << QString(state) << edit << answers << messages << calls
                                 << closed << channels;
        };
        // A change beyond the stored digits is no change.
        for (int channels : {3, 1, 8}) {
            row(qPrintable(QString("untouched, %1 channels").arg(channels)), "cmdCancel", "", "txtTop_0=100.0000001",
                {}, {}, {}, true, channels);
        }
        row("busy", "cmdCancel", "busy", name, {}, {}, {}, false);
        row("cancel at the file question", "cmdCancel", "", name, {A::Cancel}, {file}, {}, false);
        row("no, cancel", "cmdCancel", "", name, {A::No, A::Cancel}, {file, logger}, {}, false);
        row("no, yes programs", "cmdCancel", "", name, {A::No, A::Yes}, {file, logger}, programs, true);
        row("no, yes fails", "cmdCancel", "program fails", name, {A::No, A::Yes}, {file, logger, failed}, {"program"},
            false);
        row("no, yes with a channel unscaled", "cmdCancel", "", "txtLowRaw_1=65535", {A::No, A::Yes}, {file, logger,
            "Program Settings|E|Error: channel 2 has the same High Raw and Low Raw (65535)..."}, {}, false);
        row("yes, dialog cancelled", "cmdCancel", "", name, {A::Yes}, {file}, {}, false);
        row("Program, no", "cmdOK", "", name, {A::No}, {program}, {}, false);
        row("Program, write fails", "cmdOK", "program fails", name, {A::Yes}, {program, failed}, {"program"}, false);
        row("Program, confirm fails", "cmdOK", "confirm fails", name, {A::Yes}, {program, failed}, programs, false);
        // A name with no single-byte code cannot be encoded, and is never sent.
        row("Program, unencodable name", "cmdOK", "", "txtName=Pump \u03a9", {A::Yes}, {program, failed}, {}, false);
        row("menus while Program asks", "cmdOK", "menus while asked", name, {A::Yes}, {program}, programs, false);
        row("Program while sampling", "mnuDownload", "sampling", name, {}, {}, {}, false);
        row("Calibrate while sampling", "cmdCalibrate_0", "sampling", name, {}, {}, {}, false);
        row("Initialize, no", "mnuInitialize", "", name, {A::No}, {initialize}, {}, false);
        row("Initialize, yes", "mnuInitialize", "", name, {A::Yes}, {initialize}, {}, false);
    }
    void commandsAsk()
    {
        QFETCH(QString, control);
        QFETCH(QString, state);
        QFETCH(QString, edit);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, linkCalls);
        QFETCH(int, channels);
        SetupRig rig(channels, std::min(channels - 1, 2));
        SetupWindow& w = rig.open();
        rig.link.programSucceeds = state != u"program fails";
        rig.link.confirmSucceeds = state != u"confirm fails";
        rig.samplingContinuously = state == u"sampling";
        rig.settings.LoggerName = "Changed"; // Initialize shows the factory values, not the record's
        rig.control<QLineEdit>(edit.section('=', 0, 0))->setText(edit.section('=', 1));
        rig.prompter.whileShown = [&](const RecordingPrompter::Message& message) {
            if (state == u"menus while asked" && message.text.startsWith("Are you sure")) {
                rig.control<QAction>("mnuInitialize")->trigger();
                rig.control<QAction>("mnuSave")->trigger();
                rig.control<QAction>("mnuLoad")->trigger();
            }
        };
        const auto before = w.LoggerImage();
        rig.state.Busy = state == u"busy";
        QFETCH(QList<PromptAnswer>, answers);
        rig.prompter.answers = answers;
        QVERIFY(QMetaObject::invokeMethod(rig.control<QObject>(control), control[0] == u'm' ? "trigger" : "click"));
        QTEST(!w.isVisible(), "closed");
        QTEST(!rig.control<QTimer>("Timer1")->isActive(), "closed");
        BREVEL_COMPARE_BOXES(rig.prompter, messages);
        if (control == u"cmdCancel" && !messages.isEmpty()) {
            QCOMPARE(rig.prompter.messages.last().buttons,
                     messages.size() == 3 ? PromptButtons::Ok : PromptButtons::YesNoCancel);
        } else if (!messages.isEmpty()) {
            QCOMPARE(rig.prompter.messages[0].defaultAnswer, PromptAnswer::No);
        }
        QCOMPARE(rig.link.calls, linkCalls);
        const bool programmed = linkCalls.size() == 2 && state != u"confirm fails";
        QCOMPARE(w.LoggerImage(), programmed ? EncodeSettings(rig.settings, true) : before);
        const bool yes = answers.value(0) == PromptAnswer::Yes;
        if (control == u"mnuInitialize") {
            QCOMPARE(rig.control<QLineEdit>("txtName")->text(), QString(yes ? "Brevel Logger" : "Pump 7"));
        }
        QCOMPARE(rig.dialogs.saveRequests.size() + rig.dialogs.openRequests.size(), control == u"cmdCancel" && yes);
        QVERIFY(rig.control("cmdCancel")->isEnabled());
    }

    // Browse asks for a table file; closing saves the record from its question, then loading goes through the
    // recent-file menu, which follows the list the main window keeps.
    void browseSaveAndLoad()
    {
        ScratchFolder folder;
        const QString table = QDir::toNativeSeparators(folder.path("pond.tbl"));
        const QString path = QDir::toNativeSeparators(folder.path("pump.set"));
        QVERIFY(folder.write("pond.tbl", "0 0\r\n1 2.5\r\n"));
        {
            SetupRig rig;
            SetupWindow& w = rig.open();
            rig.control<QAbstractButton>("optTable")->click();
            auto* tableFile = rig.control<QLineEdit>("txtTableFile");
            tableFile->setText("old.tbl");
            rig.control<QPushButton>("cmdBrowse")->click(); // cancelled
            QCOMPARE(tableFile->text(), QString("old.tbl"));
            rig.dialogs.choices = {table};
            rig.control<QPushButton>("cmdBrowse")->click();
            QCOMPARE(tableFile->text(), table);
            rig.prompter.messages.clear();
            rig.dialogs.choices = {path};
            rig.prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
            QVERIFY(w.close());
            BREVEL_COMPARE_BOXES(rig.prompter, {"Data Has Changed|I|...", "Data Has Changed|I|..."});
        }
        SetupRig rig;
        rig.recent = {"/data/setups/pump.set", "", "/data/b.set", ""};
        SetupWindow& w = rig.open();
        auto hist = [&](int i) { return rig.control<QAction>(QString("mnuHist_%1").arg(i)); };
        QCOMPARE(hist(0)->text() + "," + hist(2)->text(), QString("&1 pump.set,&3 b.set"));
        QVERIFY(!hist(1)->isVisible()); // an empty entry is no bare number in the menu
        QVERIFY(rig.control<QAction>("mnuSep1")->isVisible());
        rig.recent = {};
        QTRY_VERIFY(!rig.control<QAction>("mnuSep1")->isVisible());
        QVERIFY(!hist(0)->isVisible());
        rig.recent[1] = path;
        QTRY_COMPARE(hist(1)->text(), QString("&2 pump.set"));
        QVERIFY(hist(1)->isVisible());
        rig.dialogs.choices = {path};
        hist(1)->trigger();
        QCOMPARE(rig.dialogs.openRequests.value(0).InitialFileName, path);
        QCOMPARE(rig.control<QLineEdit>("txtTableFile")->text(), table);
        // Loaded but not programmed: closing asks about the logger only.
        rig.prompter.answers = {PromptAnswer::No};
        QVERIFY(w.close());
        BREVEL_COMPARE_BOXES(rig.prompter,
                             {"Data Has Changed|I|The settings information has changed without being programmed..."});
    }
};

BREVEL_TEST(SetupWindowTest)
#include "tst_setupwindow.moc"
