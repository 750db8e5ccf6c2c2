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
    // The chosen file heads the recent list even when it is then not saved;
    // a failed save or load says so and changes nothing; overwriting is
    // asked with No as the default.
    void saveAndLoad_data()
    {
        QTest::addColumn<bool>("load");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<PromptAnswer>("overwrite");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("message");
        const QString question = "Save Setup: The setup file already exists, do you want to overwrite it?";
        QTest::newRow("name without extension") << false << "pump" << PromptAnswer::No << "pump.set" << "";
        QTest::newRow("overwrite") << false << "old.set" << PromptAnswer::Yes << "old.set" << question;
        QTest::newRow("do not overwrite") << false << "old.set" << PromptAnswer::No << "" << question;
        QTest::newRow("a pipe in its place") << false << "pipe.set" << PromptAnswer::Yes << ""
                                             << "Save Setup: Error: file was not saved correctly.";
        QTest::newRow("bad file") << true << "old.set" << PromptAnswer::No << ""
                                  << "Load Setup: Error: file was not loaded correctly.";
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
        RecentFileList recent;
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
    }

    // A file goes to the head of the recent list (A, C and D exist, B is
    // gone); an item opens only while its file exists.
    void recentFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("opened");
        QTest::newRow("first stays") << "A" << "A B C D" << 0 << "A.set";
        QTest::newRow("third moves up") << "C" << "C A B D" << 2 << "";
        QTest::newRow("new pushes the last out") << "E" << "E A B C" << -1 << "";
        QTest::newRow("fourth is not searched") << "D" << "D A B C" << 4 << "";
    }
    void recentFiles()
    {
        QFETCH(QString, path);
        QFETCH(int, item);
        ScratchFolder folder;
        RecentFileList recent;
        for (int i = 0; i < 4; ++i) {
            recent[size_t(i)] = QDir::toNativeSeparators(folder.path(QString(u"ABCD"[i]) + ".set"));
            QVERIFY(i == 1 || folder.write(QString(u"ABCD"[i]) + ".set", "LoggerName=Site\r\n"));
        }
        AddRecentFile(recent, QDir::toNativeSeparators(folder.path(path + ".set")));
        QStringList names;
        for (const QString& file : recent) {
            names << QFileInfo(file).baseName();
        }
        QTEST(names.join(u' '), "list");
        RecordingPrompter prompter;
        ScriptedFileDialogs dialogs;
        QString lastFilePath;
        SetupFileCommands commands(prompter, dialogs, lastFilePath, recent, folder.dir.path(), true);
        QFETCH(QString, opened);
        QCOMPARE(commands.PrepareRecentFile(item), !opened.isEmpty());
        QCOMPARE(commands.SetupFileName(), opened);
    }
};

BREVEL_TEST(SetupFileCommandsTest)
#include "tst_setupfilecommands.moc"
