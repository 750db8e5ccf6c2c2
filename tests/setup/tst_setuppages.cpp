#include "SetupRig.h"
#include "TestRegistry.h"
#include "setup/ui/AnalogPage.h"
#include "setup/ui/DigitalPage.h"
#include "setup/ui/FieldGuard.h"
#include "setup/ui/FlowPage.h"
#include "setup/ui/GeneralPage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>

namespace {

using Settings = LoggerSettings;

// One field of the record, set to a value and read as text.
struct Field {
    std::function<void(Settings&)> set;
    std::function<QString(const Settings&)> text;
};

QString AsText(const QString& value)
{
    return value;
}
template <typename Number>
QString AsText(Number value)
{
    return QString::number(value);
}

template <typename T, typename V>
Field Member(T Settings::*member, V value)
{
    return {[=](Settings& s) { s.*member = T(value); }, [=](const Settings& s) { return AsText(s.*member); }};
}

template <typename T, size_t N, typename V>
Field Element(std::array<T, N> Settings::*member, int index, V value)
{
    return {[=](Settings& s) { (s.*member)[index] = T(value); },
            [=](const Settings& s) { return AsText((s.*member)[index]); }};
}

// A check box or option shows "ticked" or "clear", the other controls their text.
QString ControlText(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->isChecked() ? "ticked" : "clear";
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        return combo->currentText();
    }
    return qobject_cast<const QLineEdit*>(control)->text();
}

void Enter(QWidget* control, const QString& value)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(value == "ticked");
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->isEditable() ? combo->setEditText(value) : combo->setCurrentIndex(combo->findText(value));
    } else {
        qobject_cast<QLineEdit*>(control)->setText(value);
    }
}

// A page on its own over a three-channel logger with two pulse channels.
struct PageRig {
    RecordingPrompter prompter;
    FieldGuard guard{prompter, true};
    Settings factory;
    RatingCatalogues catalogues{{Entry("PF3", "Parshall 3 in"), Entry("PF6", "Parshall 6 in")},
                                {Entry("VN90", "V-notch 90")}};
    std::unique_ptr<SettingsPage> page;

    explicit PageRig(const QString& which, int analog = 3, int pulse = 2, bool sod = false)
    {
        factory.NumAnalogChannels = uint8_t(analog);
        factory.NumDigitalChannels = uint8_t(pulse);
        RatingState rating;
        ApplyDefaultSettings(factory, rating);
        if (which == "analog") {
            page = std::make_unique<AnalogPage>(analog, prompter, guard, true);
        } else if (which == "digital") {
            page = std::make_unique<DigitalPage>(pulse, guard, true);
        } else if (which == "general") {
            page = std::make_unique<GeneralPage>(sod, guard, true);
        } else {
            page = std::make_unique<FlowPage>(catalogues, [] { return std::nullopt; }, guard, true);
        }
    }

    QWidget* control(const QString& name) const
    {
        auto* found = page->findChild<QWidget*>(name);
        if (found == nullptr) {
            qFatal("no control %s", qPrintable(name));
        }
        return found;
    }
};

} // namespace

Q_DECLARE_METATYPE(Field)

class SetupPagesTest : public QObject {
    Q_OBJECT
private slots:
    // A field set in the record shows in its control and comes back from it;
    // readBack is what a normalised value comes back as ("" when unchanged).
    void fieldRoundTrip_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("readBack");
        using S = Settings;
        auto row = [](const char* name, const char* page, Field field, const char* control, const QString& shown,
                      const QString& readBack = {}) {
            QTest::newRow(name) << QString(page) << field << QString(control) << shown << readBack;
        };
        row("name", "general", Member(&S::LoggerName, QString("Tank 3")), "txtName", "Tank 3");
        row("warm-up", "general", Member(&S::SensorWarmupTime, 7), "cmbWarmup", "7");
        row("alarm in use", "general", Element(&S::AlarmEnable, 1, 1), "chkAlarm_1", "ticked");
        row("alarm at 15", "general", Element(&S::AlarmHour, 0, 15), "txtAlarm_0", "3:00:00");
        row("alarm at 15 is P.M.", "general", Element(&S::AlarmHour, 1, 15), "cmbAlarm_1", "P.M.");
        row("alarm at noon", "general", Element(&S::AlarmHour, 0, 12), "txtAlarm_0", "12:00:00");
        row("alarm in the morning", "general", Element(&S::AlarmHour, 1, 9), "cmbAlarm_1", "A.M.");
        row("alarm minute", "general", Element(&S::AlarmMin, 1, 30), "txtAlarm_1", "12:30:00");
        row("alarm second", "general", Element(&S::AlarmSec, 0, 9), "txtAlarm_0", "12:00:09");
        row("logarithmic", "general", Member(&S::LoggingStyle, 1), "optLogarithmic", "ticked");
        row("style 3 is logarithmic", "general", Member(&S::LoggingStyle, 3), "optLogarithmic", "ticked", "1");
        row("fast with exception", "general", Member(&S::LoggingStyle, 130), "optFastMode", "ticked");
        row("exception logging", "general", Member(&S::LoggingStyle, 128), "chkException", "ticked");
        row("interval count", "general", Member(&S::SampleInterval, QString("15 minutes")), "txtSampleInterval", "15");
        row("interval unit", "general", Member(&S::SampleInterval, QString("5 hours")), "cmbSampleInterval", "hours");
        row("interval in days", "general", Member(&S::SampleInterval, QString("2 days")), "cmbSampleInterval", "days");
        row("capital Minutes are no minutes", "general", Member(&S::SampleInterval, QString("2 Minutes")),
            "cmbSampleInterval", "days", "2 days");
        row("interval of one", "general", Member(&S::SampleInterval, QString("1 second")), "cmbSampleInterval",
            "seconds");
        row("deadband", "general", Member(&S::Deadband, 250), "txtException", "250");
        row("wrap-around", "general", Member(&S::DataWrapAroundFlag, 0), "chkWrap", "clear");
        row("baud rate", "general", Member(&S::FixedBaudRate, 6), "cmbBaud", "Fixed 115200");
        // A stored position the list cannot take leaves the list as it was.
        row("baud rate beyond the list", "general", Member(&S::FixedBaudRate, 9), "cmbBaud", "Auto Baud Rate", "0");
        row("sample on demand", "general", Member(&S::EnableSOD, 1), "chkSOD", "ticked");

        row("channel enable", "analog", Element(&S::AnalogEnable, 1, 0), "chkEnable_1", "clear");
        row("channel units", "analog", Element(&S::EngUnits, 1, QString("ppm")), "cmbEU_1", "ppm");
        row("level units in the list's spelling", "analog", Element(&S::EngUnits, 0, QString("meters")), "cmbEU_0",
            "Meters", "Meters");
        row("high EU", "analog", Element(&S::UpperLimit, 1, 12.5), "txtHighEU_1", "12.5");
        row("low EU", "analog", Element(&S::LowerLimit, 2, -3), "txtLowEU_2", "-3");
        row("display top", "analog", Element(&S::DisplayTop, 0, 20), "txtTop_0", "20");
        row("display bottom", "analog", Element(&S::DisplayBottom, 1, 0.01), "txtBottom_1", "0.01");
        row("high raw", "analog", Element(&S::RawScaleUpper, 1, 60000), "txtHighRaw_1", "60000");
        row("low raw", "analog", Element(&S::RawScaleLower, 2, 1000), "txtLowRaw_2", "1000");
        row("decimal places", "analog", Element(&S::DecPlaces, 1, 3), "cmbPrecision_1", "3");
        row("decimal places beyond 6", "analog", Element(&S::DecPlaces, 0, 9), "cmbPrecision_0", "6", "6");

        row("pulse enable", "digital", Element(&S::DigitalEnable, 1, 0), "chkPulseEnable_1", "clear");
        row("pulse units", "digital", Element(&S::EngUnits, 9, QString("Gallons")), "cmbPulseEU_1", "Gallons");
        row("pulse value", "digital", Element(&S::PulseUnit, 0, 0.25), "txtPulseUnit_0", "0.25");
        row("pulse decimal places", "digital", Element(&S::DecPlaces, 8, 2), "cmbPulsePrecision_0", "2");

        row("no flow", "flow", Member(&S::FlowMode, 0), "optNoFlow", "ticked");
        row("flume", "flow", Member(&S::FlowMode, 2), "optFlume", "ticked");
        row("weir", "flow", Member(&S::FlowMode, 3), "optWeir", "ticked");
        row("table", "flow", Member(&S::FlowMode, 4), "optTable", "ticked");
        row("unknown mode is no flow", "flow", Member(&S::FlowMode, 9), "optNoFlow", "ticked", "0");
        row("flume tag", "flow", Member(&S::FlumeTag, QString("PF6")), "cmbFlume", "Parshall 6 in");
        row("flume tag gone", "flow", Member(&S::FlumeTag, QString("PF9")), "cmbFlume", "- None -", "");
        row("tags are case-sensitive", "flow", Member(&S::FlumeTag, QString("pf3")), "cmbFlume", "- None -", "");
        row("weir tag", "flow", Member(&S::WeirTag, QString("VN90")), "cmbWeir", "V-notch 90");
        row("table file", "flow", Member(&S::TablePath, QString("tables/pond.tbl")), "txtTableFile",
            "tables/pond.tbl");
        row("flow units", "flow", Member(&S::FlowUnits, 3), "cmbFlowUnits", "cms - cubic meters per second");
        row("flow top", "flow", Member(&S::FlowTop, 12.5), "txtFlowTop", "12.5");
        row("level offset", "flow", Member(&S::LevelOffset, -1.5), "txtOffset", "-1.5");
        row("offset units", "flow", Member(&S::LevelOffsetType, 2), "cmbOffsetUnits", "meters");
        row("diameter", "flow", Member(&S::ManningsD, 0.3), "txtDiameter", "0.3");
        row("diameter units", "flow", Member(&S::ManningsDType, 3), "cmbDiameterUnits", "cm");
        row("slope", "flow", Member(&S::ManningsS, 0.02), "txtSlope", "0.02");
        row("slope units", "flow", Member(&S::ManningsSType, 0), "cmbSlopeUnits", "decimal (rise/run)");
        row("roughness", "flow", Member(&S::ManningsN, 0.017), "cmbRoughness", "0.017");
        row("velocity units", "flow", Member(&S::VelUnits, 1), "cmbVelUnits", "mps - meters-per-sec");
        row("velocity top", "flow", Member(&S::VelTop, 4), "txtVelTop", "4");
    }
    void fieldRoundTrip()
    {
        QFETCH(QString, page);
        QFETCH(Field, field);
        QFETCH(QString, control);
        QFETCH(QString, readBack);
        PageRig rig(page);
        Settings settings = rig.factory;
        field.set(settings);
        QVERIFY2(field.text(settings) != field.text(rig.factory), "the row must change the field");
        rig.page->Load(rig.factory); // so every control has to change
        rig.page->Load(settings);
        QTEST(ControlText(rig.control(control)), "shown");
        Settings stored = rig.factory;
        rig.page->Store(stored);
        QCOMPARE(field.text(stored), readBack.isNull() ? field.text(settings) : readBack);
        QVERIFY(rig.prompter.messages.isEmpty());
    }

    // What a control holds is read the way the logger stores it.
    void entriesAreReadBack_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("entries"); // control=value
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("stored");
        using S = Settings;
        auto row = [](const char* name, const char* page, const QStringList& entries, Field field, const char* stored) {
            QTest::newRow(name) << QString(page) << entries << field << QString(stored);
        };
        row("deadband rounds half to even", "general", {"txtException=40.5"}, Member(&S::Deadband, 0), "40");
        row("7:05 P.M.", "general", {"txtAlarm_0=7:05", "cmbAlarm_0=P.M."}, Element(&S::AlarmHour, 0, 0), "19");
        row("12:30 A.M. is midnight", "general", {"txtAlarm_1=12:30", "cmbAlarm_1=A.M."},
            Element(&S::AlarmHour, 1, 0), "0");
        row("one day drops the plural", "general", {"txtSampleInterval=1", "cmbSampleInterval=days"},
            Member(&S::SampleInterval, ""), "1 day");
        row("fast with exception", "general", {"optFastMode=ticked", "chkException=ticked"},
            Member(&S::LoggingStyle, 0), "130");
        row("periodic", "general", {"optPeriodic=ticked"}, Member(&S::LoggingStyle, 0), "0");
        row("leading number of an EU", "analog", {"txtHighEU_1=2,5"}, Element(&S::UpperLimit, 1, 0), "2");
        row("raw count rounds half to even", "analog", {"txtLowRaw_0=12.5"}, Element(&S::RawScaleLower, 0, 0), "12");
        row("comma of a flow value", "flow", {"txtFlowTop=2,5"}, Member(&S::FlowTop, 0), "2.5");
        row("roughness list item", "flow", {"cmbRoughness=0.013 - Finished concrete"}, Member(&S::ManningsN, 0),
            "0.013");
        row("Manning's", "flow", {"optMannings=ticked"}, Member(&S::FlowMode, 0), "1");
    }
    void entriesAreReadBack()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, entries);
        QFETCH(Field, field);
        PageRig rig(page);
        rig.page->Load(rig.factory);
        for (const QString& entry : entries) {
            const QStringList parts = entry.split('=');
            Enter(rig.control(parts[0]), parts[1]);
        }
        Settings stored = rig.factory;
        field.set(stored);
        rig.page->Store(stored);
        QTEST(field.text(stored), "stored");
    }

    // Only the logger's channels are edited; the fields of the others keep their values.
    void channelsBeyondTheLoggerAreLeftAlone()
    {
        for (auto [page, control] : {std::pair{"analog", "cmbEU_5"}, std::pair{"digital", "txtPulseUnit_1"}}) {
            PageRig rig(page, 2, 1);
            Settings settings = rig.factory;
            settings.EngUnits[5] = "kept";
            settings.PulseUnit[1] = 7.5;
            rig.page->Load(settings);
            Enter(rig.control(control), "1");
            rig.page->Store(settings);
            QCOMPARE(settings.EngUnits[5], QString("kept"));
            QCOMPARE(settings.PulseUnit[1], 7.5);
        }
    }

    // Channel 1's unit must allow a flow computation; the settings stay as they are.
    void firstChannelUnitIsWarnedOfEachTime()
    {
        PageRig rig("analog");
        Settings settings = rig.factory;
        settings.EngUnits[0] = "ft";
        rig.page->Load(settings);
        rig.page->Load(settings);
        QCOMPARE(rig.prompter.messages.size(), 2);
        QCOMPARE(rig.prompter.messages[0].title, QString("Bad Units"));
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Information);
        QCOMPARE(rig.prompter.messages[0].text,
                 QString("Warning: For the flow monitor calculations to be done correctly the channel 1\r\n"
                         "unit's name must be one of Feet, Inches, Meters or cm (centimeters).\r\n\r\n"
                         "The current unit's name (ft) is not supported.\r\n\r\n"
                         "Use the Analog Channels Panel to set the units for channel 1 to one of the legal values."));
        QCOMPARE(ControlText(rig.control("cmbEU_0")), QString("ft"));
    }

    // The unit lists, and which channels can be edited, follow the logger's channel counts.
    void channelsFollowTheLogger()
    {
        PageRig analog("analog", 4, 0);
        auto units = [&](int c) {
            QStringList items;
            auto* combo = static_cast<QComboBox*>(analog.control(QString("cmbEU_%1").arg(c)));
            for (int i = 0; i < combo->count(); ++i) {
                items << combo->itemText(i);
            }
            return items;
        };
        QCOMPARE(units(0), QStringList({"Feet", "Inches", "Meters", "cm"}));
        QCOMPARE(units(1).size(), 16);
        QCOMPARE(units(3), QStringList({"Volts"})); // the last channel measures the battery
        QCOMPARE(units(4), QStringList());
        for (int c = 0; c < 8; ++c) {
            QCOMPARE(analog.control(QString("fraSetup_%1").arg(c))->isEnabled(), c < 4);
            QCOMPARE(analog.control(QString("cmdCalibrate_%1").arg(c))->isHidden(), c >= 4);
        }
        for (int pulse : {0, 1, 2}) {
            PageRig digital("digital", 3, pulse);
            QCOMPARE(digital.control("txtPulseUnit_0")->isEnabled(), pulse >= 1);
            QCOMPARE(digital.control("cmbPulseEU_1")->isEnabled(), pulse >= 2);
        }
        for (bool sod : {false, true}) {
            QCOMPARE(PageRig("general", 3, 2, sod).control("chkSOD")->isEnabled(), sod);
        }
    }

    void flowMethodsEnableTheirFields_data()
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
    void flowMethodsEnableTheirFields()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, enabled);
        PageRig rig("flow");
        Settings settings = rig.factory;
        settings.FlowMode = 4; // every option but the table's is first seen unselected
        rig.page->Load(settings);
        static_cast<QAbstractButton*>(rig.control(option))->click();
        for (const char* name : {"cmbFlowUnits", "txtFlowTop", "txtOffset", "cmbOffsetUnits", "frmMannings",
                                 "txtDiameter", "cmbRoughness", "lblM3", "cmbFlume", "cmbWeir", "txtTableFile",
                                 "cmdBrowse"}) {
            QVERIFY2(rig.control(name)->isEnabled() == enabled.contains(name), name);
        }
    }
};

BREVEL_TEST(SetupPagesTest)
#include "tst_setuppages.moc"
