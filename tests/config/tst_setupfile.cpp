#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/SettingsImage.h"
#include "config/SetupFile.h"
#include "config/SetupFileCommands.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class SetupFileTest : public QObject {
    Q_OBJECT
private slots:
    // Hand-written files load over the defaults, changing only the fields named; one refused halfway changes nothing.
    void loadsHandWrittenFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("changes"); // none: the file is refused
        const auto row = [](const char* name, const char* file, const QStringList& changes = {}) {
            QTest::newRow(name) << QByteArray(file) << changes;
        };
        row("blanks around the value, equals sign in the value", "FlumeTag=  Pump 2  \r\nWeirTag=a=b\r\n",
            {R"(FlumeTag="Pump 2")", R"(WeirTag="a=b")"});
        row("later line wins, line feeds alone; odd lines ignored: blank before '=', other case, short key, no '=', "
            "channel counts", "LoggerName=A\nLoggerName=B\nDeadband=-5\nLoggerName =x\r\nloggername=x\r\n=x\r\nA=1\r\n"
            "\r\nno equals sign\r\nNumAnalogChannels=3\r\nProgram=x\r\n", {R"(LoggerName="B")", "Deadband=-5"});
        row("number texts", "FlowTop=1,5\r\nVelTop=abc\r\nLoggingStyle=2.5\r\n", {"FlowTop=1.5", "VelTop=0", "LoggingStyle=2"});
        row("section keys ignored before any section, in an alarm or unknown one; channel 9's unit from an analog one",
            "EngUnits=ft\r\nEnable=0\r\n[Alarm]\r\nDecPlaces=4\r\nEngUnits=x\r\n[Notes]\r\nEnable=0\r\n[Analog Channel]\r\n"
            "Channel=9\r\nEngUnits=Gal\r\nDecPlaces=5\r\n", {R"(EngUnits[9]="Gal")", "DecPlaces[9]=5"});
        row("channel-indexed keys in any section, sections known by their first letters",
            "Channel=4\r\nRawScaleUpper=1000\r\nDisplayTop=7,5\r\n[Analogue]\r\nChannel=2\r\nEnable=0\r\n",
            {"RawScaleUpper[4]=1000", "DisplayTop[4]=7.5", "AnalogEnable[2]=0"});
        row("no such file", nullptr);
        row("negative channel", "[Analog Channel]\r\nChannel=-1\r\nEnable=1\r\n");
        row("alarm 2", "Channel=2\r\nAlarmHour=1\r\n");
        row("byte too large", "SensorWarmupTime=256\r\n");
        row("channel beyond 16 bits", "Channel=40000\r\n");
        row("after good lines", "LoggerName=Half\r\nFixedBaudRate=\r\n");
        row("limit beyond a double", "Channel=1\r\nLowerLimit=1E999\r\n");
    }
    void loadsHandWrittenFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, changes);
        const bool loads = !changes.isEmpty();
        ScratchFolder folder;
        QVERIFY(file.isNull() || folder.write("hand.set", file));
        LoggerSettings settings = BaseRecord();
        RatingState rating;
        rating.FlowTable.assign(5, RatingPoint{});
        QCOMPARE(ReadSetupFile(folder.path("hand.set"), settings, rating, true), loads);
        QCOMPARE(SettingsDifferences(settings, loads ? DefaultRecord(8, 2) : BaseRecord(), changes), QString());
        QCOMPARE(FlowTablePointCount(rating), loads ? 1 : 4);
    }

    // The time in the system's own format, in characters the file can hold.
    void timeLineFollowsTheSystemTimeFormat_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("time");
        QTest::newRow("12-hour clock") << "en_US" << "1:05:09 PM";
        QTest::newRow("24-hour clock") << "de_DE" << "13:05:09";
        QTest::newRow("time zone after a comma") << "sq_AL" << "1:05:09 " + QLocale("sq_AL").pmText().toUpper();
        QTest::newRow("other digits") << "fa_IR" << "13:05:09";
    }
    void timeLineFollowsTheSystemTimeFormat()
    {
        QFETCH(QString, locale);
        QTEST(SetupFileTimeText(QTime(13, 5, 9), QLocale(locale)), "time");
    }

    void writesTheDefaultsAndAFailedSaveKeepsThem()
    {
        const SetupFileStamp stamp{"BrevelLogger", "2.3.2", "12/31/26", "23:59:58"};
        // The file of a three-channel logger's defaults, its lines ended by '|'.
        QString file = "Program=BrevelLogger|Version=2.3.2|Date=12/31/26|Time=23:59:58|LoggerName=Brevel Logger|"
                       "SampleInterval=1 day|NumAnalogChannels=3|NumDigitalChannels=2|DataWrapAroundFlag=1|"
                       "SensorWarmupTime=3|LoggingStyle=0|Deadband=0|EnableSOD=0|FixedBaudRate=0|";
        const QStringList units{"Feet", "Temp C", "Volts", "%", "%", "%", "%", "%"};
        for (int c = 0; c < 8; ++c) {
            const bool volts = c == 2;
            file += QStringLiteral("[Analog Channel]|Channel=%1|Enable=1|EngUnits=%2|DecPlaces=2|RawScaleLower=0|"
                                   "RawScaleUpper=%3|LowerLimit=0|UpperLimit=%4|DisplayTop=%4|DisplayBottom=0|")
                        .arg(c).arg(units[c], volts ? "62384" : "65535", volts ? "24" : "100");
        }
        for (int k = 0; k < 2; ++k) {
            file += QString("[Digital Channel]|Channel=%1|Enable=1|EngUnits=Pulses|DecPlaces=0|PulseUnit=1|").arg(k);
        }
        for (int a = 0; a < 2; ++a) {
            file += QStringLiteral("[Alarm]|Channel=%1|Enable=0|AlarmSec=0|AlarmMin=0|AlarmHour=0|").arg(a);
        }
        file += "FlowMode=1|FlowUnits=0|FlowTop=100|VelUnits=0|VelTop=100|ManningsN=0.014|ManningsS=1|"
                "ManningsSType=1|ManningsD=1|ManningsDType=0|FlumeTag=|WeirTag=|LevelOffset=0|LevelOffsetType=1|"
                "TablePath=|";
        ScratchFolder folder;
        const QString path = folder.path("kept.set");
        QVERIFY(WriteSetupFile(path, DefaultRecord(), stamp, true));
        const QByteArray before = folder.read("kept.set");
        QCOMPARE(QString::fromLatin1(before), file.replace(u'|', QStringLiteral("\r\n")));
        LoggerSettings unwritable = BaseRecord();
        unwritable.LoggerName = QString::fromUtf8("Tank \u20AC");
        QVERIFY(!WriteSetupFile(path, unwritable, stamp, true));
        QCOMPARE(folder.read("kept.set"), before);
        QVERIFY(!WriteSetupFile(folder.path("no folder/x.set"), BaseRecord(), stamp, true));
        // A disk that fills up halfway: the process may write no more than 200 bytes a file.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 200;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = WriteSetupFile(path, BaseRecord(), stamp, true);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QCOMPARE(folder.read("kept.set"), before);
        QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files), QStringList{"kept.set"});
    }

    // Beside a bad "old.set" and a pipe "pipe.set": a failed save or load says so and changes nothing; overwriting is
    // asked, No the default. The chosen file heads the recent list even unsaved; an item opens while its file exists.
    void saveAndLoad_data()
    {
        QTest::addColumn<bool>("load");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<PromptAnswer>("overwrite");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("recentItems");
        const QString question = "Save Setup: The setup file already exists, do you want to overwrite it?";
        const QString notLoaded = "Load Setup: Error: file was not loaded correctly.";
        const auto row = [](const char* name, bool load, const char* chosen, PromptAnswer overwrite,
                            const char* saved, const QString& message, const char* recent) {
            QTest::newRow(name) << load << chosen << overwrite << saved << message << recent;
        };
        row("without extension", false, "pump", PromptAnswer::No, "pump.set", "", "pump.set old.set gone pipe.set");
        row("overwrite", false, "old.set", PromptAnswer::Yes, "old.set", question, "old.set gone pipe.set gone");
        row("do not overwrite", false, "old.set", PromptAnswer::No, "", question, "old.set gone pipe.set gone");
        row("a pipe in its place", false, "pipe.set", PromptAnswer::Yes, "",
            "Save Setup: Error: file was not saved correctly.", "pipe.set old.set gone gone");
        row("bad file", true, "old.set", PromptAnswer::No, "", notLoaded, "old.set gone pipe.set gone");
        row("load a pipe", true, "pipe.set", PromptAnswer::No, "", notLoaded, "pipe.set old.set gone gone");
    }
    void saveAndLoad()
    {
        QFETCH(bool, load);
        QFETCH(QString, chosen);
        QFETCH(PromptAnswer, overwrite);
        QFETCH(QString, saved);
        ScratchFolder folder;
        const auto path = [&](const QString& name) { return QDir::toNativeSeparators(folder.path(name)); };
        QVERIFY(folder.write("old.set", "LoggerName=Old\r\nLoggingStyle=abc\r\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.set")).constData(), 0600), 0);
        RecordingPrompter prompter;
        prompter.answers << overwrite;
        ScriptedFileDialogs dialogs;
        dialogs.choices << path(chosen);
        QString lastFilePath;
        RecentFileList recent{path("old.set"), path("gone.set"), path("pipe.set"), path("lost.set")};
        SetupFileCommands commands(prompter, dialogs, lastFilePath, recent, folder.dir.path(), true);
        LoggerSettings settings = DefaultRecord();
        RatingState rating;
        std::optional<QByteArray> image;
        bool editorRead = false;
        const bool ok = load ? commands.Load(settings, rating, image)
                             : commands.Save(settings, [&] { editorRead = true; settings.LoggerName = "Edited"; }, image);
        QCOMPARE(ok, !saved.isEmpty());
        const RecordingPrompter::Message last = prompter.messages.value(prompter.messages.size() - 1);
        QTEST(last.title.isEmpty() ? QString() : last.title + ": " + last.text, "message");
        QCOMPARE(editorRead, !load && !(chosen == "old.set" && overwrite == PromptAnswer::No));
        if (!load && chosen.startsWith(u"old")) {
            QCOMPARE(prompter.messages.first().defaultAnswer, PromptAnswer::No);
        }
        QCOMPARE(image, ok ? EncodeSettings(settings, true) : std::nullopt);
        QCOMPARE(folder.read("old.set").left(8), QByteArray(saved == "old.set" ? "Program=" : "LoggerNa"));
        QCOMPARE(folder.read(saved).left(8), QByteArray(ok ? "Program=" : ""));
        QStringList items;
        for (int i = 0; i < 4; ++i) {
            items << (commands.PrepareRecentFile(i) ? commands.SetupFileName() : "gone");
        }
        QTEST(items.join(u' '), "recentItems");
        QVERIFY(!commands.PrepareRecentFile(-1) && !commands.PrepareRecentFile(4));
    }
};

BREVEL_TEST(SetupFileTest)
#include "tst_setupfile.moc"
