#include "HistoryFixtures.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "core/DateText.h"
#include "history/ui/HistoryWindow.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(PromptAnswer)

namespace {

struct WindowRig {
    WindowRig()
    {
        records.Reset(5);
        for (int i = 0; i < 50; ++i) {
            // Levels change every tenth record only: packing leaves 5 rows.
            AppendRecord(records, March15(8 + i / 60, i % 60, 0), {100 + 10 * (i / 10), 2000, 500, 2, 1});
        }
        window = std::make_unique<HistoryWindow>(HistoryWindowContext{
            std::make_unique<HistoryTable>(records, settings, HistoryTestFlow()), settings.FlowMode,
            HistoryFlowDescription{}, QStringLiteral("Creek 4"), QStringLiteral("/srv/logger"), true, prompter, dialogs,
            cursor});
    }
    QString label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    void click(const char* name) { QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton); }

    LoggerSettings settings = HistoryTestSettings();
    HistoryRecords records;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    NullBusyCursor cursor;
    std::unique_ptr<HistoryWindow> window;
};

} // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Packing asks first. The program ending with the table open deletes the
    // window while it is shown: the view must not ask the table for headers
    // once it is gone.
    void packAsksFirst_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<QString>("rows");
        QTest::newRow("No keeps the table") << PromptAnswer::No << "50";
        QTest::newRow("Yes packs") << PromptAnswer::Yes << "5";
    }
    void packAsksFirst()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(QString, rows);
        WindowRig rig;
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.prompter.answers = {answer, answer};
        rig.click("cmdPack");
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Pack History Data"));
        QVERIFY(rig.prompter.messages[0].text.startsWith(
            QStringLiteral("This operation will remove each record from the displayed data that has identical\r\n")));
        QVERIFY(rig.prompter.messages[0].text.endsWith(QStringLiteral("\r\n\r\nSelect YES to proceed.")));
        QCOMPARE(rig.prompter.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(rig.prompter.messages[0].defaultAnswer, PromptAnswer::No);
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Information);
        QCOMPARE(rig.label("lblNumRecords"), rows);
        // Packing again starts from the records, so the result is the same.
        rig.click("cmdPack");
        QCOMPARE(rig.label("lblNumRecords"), rows);
        QVERIFY(!rig.window->findChild<QProgressBar*>("ProgressBar")->isVisible());
    }

    // Line 1 carries the time of writing, however long the user took to
    // choose the file. A file that cannot be written, in a missing folder or
    // where a device or pipe stands, is not written and the user is told;
    // the pipe stays.
    void save_data()
    {
        QTest::addColumn<QString>("name"); // chosen in the dialog; empty: Cancel
        QTest::addColumn<bool>("written");
        QTest::newRow("written") << "h.csv" << true;
        QTest::newRow("cancelled") << "" << false;
        QTest::newRow("no such folder") << "no/such/folder.csv" << false;
        QTest::newRow("a pipe") << "pipe.csv" << false;
    }
    void save()
    {
        QFETCH(QString, name);
        QFETCH(bool, written);
        WindowRig rig;
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name == u"pipe.csv") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        rig.dialogs.choices = {name.isEmpty() ? std::nullopt : std::optional(path)};
        QString openedAt;
        rig.dialogs.whileShown = [&](const FileDialogRequest&) {
            openedAt = LongTimeText(QTime::currentTime(), QLocale::system());
            QTRY_VERIFY(!written || LongTimeText(QTime::currentTime(), QLocale::system()) != openedAt);
        };
        rig.click("cmdSave");
        QCOMPARE(rig.dialogs.saveRequests.size(), 1);
        const FileDialogRequest& request = rig.dialogs.saveRequests[0];
        QVERIFY(request.ConfirmOverwrite);
        QVERIFY2(QRegularExpression(QStringLiteral("^/srv/logger/\\d{4}-\\d\\d-\\d\\d-\\d{4}\\.csv$"))
                     .match(request.InitialFileName)
                     .hasMatch(),
                 qPrintable(request.InitialFileName));
        QCOMPARE(rig.cursor.depth, 0);
        if (!written) {
            QCOMPARE(rig.prompter.messages.size(), name.isEmpty() ? 0 : 1);
            for (const RecordingPrompter::Message& message : rig.prompter.messages) {
                QCOMPARE(message.title, QStringLiteral("Save to File"));
                QCOMPARE(message.text, QStringLiteral("Error: file was not saved correctly."));
                QCOMPARE(message.icon, PromptIcon::Error);
            }
            const QStringList left = name == u"pipe.csv" ? QStringList{name} : QStringList{};
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), left);
            QVERIFY(!QFileInfo(path).isFile());
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QCOMPARE(text.count("\r\n"), 52);
        const QString writtenAt = QString::fromUtf8(text.left(text.indexOf("\r\n"))).split(u',').value(2);
        QVERIFY2(!writtenAt.isEmpty() && writtenAt != openedAt, qPrintable(writtenAt));
        QVERIFY(rig.prompter.messages.isEmpty());
    }
};

BREVEL_TEST(HistoryWindowTest)
#include "tst_historywindow.moc"
