#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/SettingsImage.h"
#include "config/SetupFileCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <sys/stat.h>

class SetupFileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // Saving beside a setup file "old.set" (a bad one) and a pipe "pipe.set".
    // A failed save or load says so and changes nothing; overwriting is
    // asked with No as the default. The chosen file heads the recent list
    // (old, gone, pipe, lost) even when it is then not saved; a recent item
    // opens only while its file exists.
    void saveAndLoad_data()
    {
        QTest::addColumn<bool>("load");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<PromptAnswer>("overwrite");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("recentItems");
        const QString question = "Save Setup: The setup file already exists, do you want to overwrite it?";
        QTest::newRow("name without extension") << false << "pump" << PromptAnswer::No << "pump.set" << ""
                                                << "pump.set old.set gone pipe.set";
        QTest::newRow("overwrite") << false << "old.set" << PromptAnswer::Yes << "old.set" << question
                                   << "old.set gone pipe.set gone";
        QTest::newRow("do not overwrite") << false << "old.set" << PromptAnswer::No << "" << question
                                          << "old.set gone pipe.set gone";
        QTest::newRow("a pipe in its place") << false << "pipe.set" << PromptAnswer::Yes << ""
                                             << "Save Setup: Error: file was not saved correctly."
                                             << "pipe.set old.set gone gone";
        QTest::newRow("bad file") << true << "old.set" << PromptAnswer::No << ""
                                  << "Load Setup: Error: file was not loaded correctly." << "old.set gone pipe.set gone";
    }
    void saveAndLoad()
    {
        QFETCH(bool, load);
        QFETCH(QString, chosen);
        QFETCH(PromptAnswer, overwrite);
        QFETCH(QString, saved);
        QFETCH(QString, message);
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
        QCOMPARE(prompter.messages.isEmpty() ? QString() : prompter.messages.last().title + ": " + prompter.messages.last().text,
                 message);
        QCOMPARE(editorRead, !load && !(chosen == "old.set" && overwrite == PromptAnswer::No));
        if (!load && chosen.startsWith(u"old")) {
            QCOMPARE(prompter.messages.first().defaultAnswer, PromptAnswer::No);
        }
        QVERIFY(!QFileInfo(path("pipe.set")).isFile());
        QCOMPARE(image, ok ? EncodeSettings(settings, true) : std::nullopt);
        QCOMPARE(settings.LoggerName, QString(editorRead ? "Edited" : "Brevel Logger"));
        QCOMPARE(recent[0], path(ok ? saved : chosen));
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

BREVEL_TEST(SetupFileCommandsTest)
#include "tst_setupfilecommands.moc"
