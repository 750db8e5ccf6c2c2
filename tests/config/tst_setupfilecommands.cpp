#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "config/SetupFile.h"
#include "config/SetupFileCommands.h"
#include "flow/Rating.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sep = QDir::separator();

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A setup window's worth of state around the commands.
struct Fixture {
    QTemporaryDir folder;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    QString lastFilePath;
    RecentFileList recent;
    SetupFileCommands commands{prompter, dialogs, lastFilePath, recent, Native("/opt/brevel"), true};
    LoggerSettings settings = DefaultRecord();
    RatingState rating;
    std::optional<QByteArray> savedImage = QByteArray("before");
    int editorReads = 0;

    QString path(const QString& name) const { return Native(folder.filePath(name)); }

    bool save()
    {
        return commands.Save(settings, [this] { ++editorReads; settings.LoggerName = "From the editor"; }, savedImage);
    }
};

} // namespace

class SetupFileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void savesANewFile()
    {
        Fixture f;
        f.dialogs.choices << f.path("site.set");
        QVERIFY(f.save());
        QCOMPARE(f.editorReads, 1);
        QVERIFY(f.prompter.messages.isEmpty());
        LoggerSettings loaded = DefaultRecord();
        QVERIFY(ReadSetupFile(f.path("site.set"), loaded, f.rating, true));
        QCOMPARE(loaded.LoggerName, QString("From the editor"));
        QVERIFY(ImagesEqual(f.savedImage, EncodeSettings(f.settings, true)));
        QCOMPARE(f.recent[0], f.path("site.set"));
        QCOMPARE(f.lastFilePath, Native(f.folder.path()));
        QCOMPARE(f.commands.SetupFileName(), QString("site.set"));

        const FileDialogRequest& request = f.dialogs.saveRequests.first();
        QCOMPARE(request.title, QString("Save Setup File"));
        QCOMPARE(request.filter, QString("Setup Files (*.set)|*.set"));
        QCOMPARE(request.defaultExtension, QString(".set"));
        QCOMPARE(request.initialFileName, Native("/opt/brevel/*.set"));
        QVERIFY(!request.mustExist);
    }

    void nameWithoutExtensionGetsSet()
    {
        Fixture f;
        f.dialogs.choices << f.path("pump");
        QVERIFY(f.save());
        QVERIFY(QFile::exists(f.path("pump.set")));
        QCOMPARE(f.recent[0], f.path("pump.set"));
    }

    void cancelChangesNothing()
    {
        Fixture f;
        f.lastFilePath = Native("/data/");
        QVERIFY(!f.save());
        QCOMPARE(f.editorReads, 0);
        QCOMPARE(f.savedImage, std::optional<QByteArray>("before"));
        QCOMPARE(f.recent, RecentFileList{});
        // The trailing separator is dropped from the folder for good.
        QCOMPARE(f.lastFilePath, Native("/data"));
        QCOMPARE(f.dialogs.saveRequests.first().initialFileName, Native("/data/*.set"));
    }

    void overwriteQuestion_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << PromptAnswer::Yes << true;
        QTest::newRow("no") << PromptAnswer::No << false;
    }
    void overwriteQuestion()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(bool, saved);
        Fixture f;
        QFile old(f.path("old.set"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("LoggerName=Old\r\n");
        old.close();
        f.dialogs.choices << f.path("old.set");
        f.prompter.answers << answer;
        QCOMPARE(f.save(), saved);
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].title, QString("Save Setup"));
        QCOMPARE(f.prompter.messages[0].text, QString("The setup file already exists, do you want to overwrite it?"));
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Information);
        QCOMPARE(f.prompter.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f.editorReads, saved ? 1 : 0);
        QCOMPARE(f.savedImage == std::optional<QByteArray>("before"), !saved);
        // Chosen is chosen: the file heads the recent list either way.
        QCOMPARE(f.recent[0], f.path("old.set"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll().startsWith("LoggerName=Old"), !saved);
    }

    void failedSaveSaysSo()
    {
        Fixture f;
        f.dialogs.choices << f.path("no such folder/x.set");
        QVERIFY(!f.save());
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].title, QString("Save Setup"));
        QCOMPARE(f.prompter.messages[0].text, QString("Error: file was not saved correctly."));
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Error);
        QCOMPARE(f.savedImage, std::optional<QByteArray>("before"));
    }

    void loadReplacesTheRecord()
    {
        Fixture f;
        LoggerSettings inFile = DefaultRecord();
        inFile.LoggerName = "Creek";
        inFile.FlowTop = 7.5;
        QVERIFY(WriteSetupFile(f.path("creek.set"), inFile, CurrentSetupFileStamp(), true));
        f.settings.SampleInterval = "5 minutes";
        f.rating.FlowTable.assign(3, RatingPoint{});
        f.lastFilePath = Native(f.folder.path());
        f.dialogs.choices << f.path("creek.set");
        QVERIFY(f.commands.Load(f.settings, f.rating, f.savedImage));
        QCOMPARE(f.settings.LoggerName, QString("Creek"));
        QCOMPARE(f.settings.SampleInterval, QString("1 day"));
        QCOMPARE(f.settings.FlowTop, 7.5);
        QCOMPARE(f.rating.FlowTable.size(), size_t(2));
        QVERIFY(ImagesEqual(f.savedImage, EncodeSettings(f.settings, true)));
        QVERIFY(f.prompter.messages.isEmpty());
        const FileDialogRequest& request = f.dialogs.openRequests.first();
        QCOMPARE(request.title, QString("Load Setup File"));
        QVERIFY(request.mustExist);
        QCOMPARE(request.initialFileName, Native(f.folder.path()) + Sep + "*.set");
        // The next dialog opens on the file just loaded.
        f.commands.Load(f.settings, f.rating, f.savedImage);
        QCOMPARE(f.dialogs.openRequests.last().initialFileName, f.path("creek.set"));
    }

    void failedLoadSaysSoAndChangesNothing()
    {
        Fixture f;
        QFile bad(f.path("bad.set"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("LoggerName=Half\r\nLoggingStyle=abc\r\n");
        bad.close();
        f.settings.LoggerName = "Kept";
        f.dialogs.choices << f.path("bad.set");
        QVERIFY(!f.commands.Load(f.settings, f.rating, f.savedImage));
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].title, QString("Load Setup"));
        QCOMPARE(f.prompter.messages[0].text, QString("Error: file was not loaded correctly."));
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Error);
        QCOMPARE(f.settings.LoggerName, QString("Kept"));
        QCOMPARE(f.savedImage, std::optional<QByteArray>("before"));
    }

    void recentFileItems()
    {
        Fixture f;
        QFile file(f.path("here.set"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        f.recent = {f.path("gone.set"), f.path("here.set"), "", ""};
        QVERIFY(!f.commands.PrepareRecentFile(0));
        QVERIFY(!f.commands.PrepareRecentFile(2));
        QVERIFY(!f.commands.PrepareRecentFile(4));
        QCOMPARE(f.lastFilePath, QString());
        QVERIFY(f.commands.PrepareRecentFile(1));
        QCOMPARE(f.lastFilePath, Native(f.folder.path()));
        QCOMPARE(f.commands.SetupFileName(), QString("here.set"));
    }

    void addRecentFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("list");
        QTest::newRow("first stays") << "A" << "A B C D";
        QTest::newRow("second moves up") << "B" << "B A C D";
        QTest::newRow("third moves up") << "C" << "C A B D";
        QTest::newRow("new pushes the last out") << "E" << "E A B C";
        QTest::newRow("fourth is not searched") << "D" << "D A B C";
        QTest::newRow("comparison is exact") << "a" << "a A B C";
    }
    void addRecentFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, list);
        RecentFileList recent{"A", "B", "C", "D"};
        AddRecentFile(recent, path);
        QCOMPARE(QStringList(recent.begin(), recent.end()).join(u' '), list);
    }

    void fileTitle_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("folder") << "C:" + Sep + "Data" + Sep + "a.set" << "a.set";
        QTest::newRow("drive root keeps the path") << "C:" + Sep + "a.set" << "C:" + Sep + "a.set";
        QTest::newRow("separator at the fourth character") << "abc" + Sep + "x.set" << "x.set";
        QTest::newRow("separator last") << "abcd" + Sep << "abcd" + Sep;
        QTest::newRow("no folder") << "a.set" << "a.set";
        QTest::newRow("empty") << "" << "";
    }
    void fileTitle()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(FileTitle(path), title);
    }

    void recentFileCaptions()
    {
        QCOMPARE(RecentFileCaption(0, "C:" + Sep + "Data" + Sep + "a.set"), QString("&1 a.set"));
        QCOMPARE(RecentFileCaption(3, ""), QString("&4"));
    }
};

BREVEL_TEST(SetupFileCommandsTest)
#include "tst_setupfilecommands.moc"
