#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowSource.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteLines(const QString& path, int points, const QString& heading = QString())
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (!heading.isEmpty()) {
        file.write(heading.toUtf8() + "\n");
    }
    for (int k = 1; k <= points; ++k) {
        file.write(QStringLiteral("%1 %2\n").arg(k).arg(k * 2).toUtf8());
    }
}

struct Fixture {
    QTemporaryDir dir;
    RatingCatalogues catalogues;
    RatingState rating;
    LoggerSettings settings;

    Fixture()
    {
        QDir(dir.path()).mkpath(QStringLiteral("tables"));
        QDir(dir.path()).mkpath(QStringLiteral("data/tables"));
        WriteLines(path(QStringLiteral("tables/three.tbl")), 3);
        // A catalogue's table is found in the catalogue's folder, not the
        // program's, which holds another table of the same name.
        WriteLines(path(QStringLiteral("data/tables/weir.tbl")), 4);
        WriteLines(path(QStringLiteral("tables/weir.tbl")), 2);
        catalogues.Folder = path(QStringLiteral("data"));
        catalogues.FlumeCatalogue.push_back({QStringLiteral("PF1FT"), QStringLiteral("Parshall 1 ft"), EquationRating,
                                             QString(), 0.0, 1.522, 4.0});
        catalogues.WeirCatalogue.push_back({QStringLiteral("V90T"), QStringLiteral("V-notch table"), TableRating,
                                            QStringLiteral("tables/weir.tbl"), 0.0, 0.0, 0.0});
        ResetFlowTable(rating);
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    std::optional<FlowMessage> check() { return CheckProgrammedFlowSource(settings, rating, catalogues, dir.path(), true); }
};

} // namespace

class FlowSourceTest : public QObject {
    Q_OBJECT
private slots:
    void manningsAndNoFlowUseNoRating()
    {
        Fixture f;
        for (uint8_t mode : {0, 1}) {
            f.settings.FlowMode = mode;
            f.rating.RatingName = QStringLiteral("old");
            QVERIFY(!f.check());
            QCOMPARE(FlowTablePointCount(f.rating), 0);
        }
    }

    void flumeTagSelectsItsRating()
    {
        Fixture f;
        f.settings.FlowMode = 2;
        f.settings.FlumeTag = QStringLiteral("PF1FT");
        QVERIFY(!f.check());
        QCOMPARE(f.rating.RatingName, QStringLiteral("Parshall 1 ft"));
        QCOMPARE(f.rating.RatingMultiplier, 4.0);
        QCOMPARE(FlowTablePointCount(f.rating), 0); // the power law applies
    }

    void weirTagWithATable()
    {
        Fixture f;
        f.settings.FlowMode = 3;
        f.settings.WeirTag = QStringLiteral("V90T");
        QVERIFY(!f.check());
        QCOMPARE(f.rating.RatingName, QStringLiteral("V-notch table"));
        QCOMPARE(FlowTablePointCount(f.rating), 4);
    }

    void badTags_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty flume tag")
            << 2 << ""
            << "Error: a programmed flume with tag name \"\"\r\nwas not found in file FLUMES.LST, or referred to a "
               "missing or \r\nbad table file.";
        QTest::newRow("unknown flume tag")
            << 2 << "PF9FT"
            << "Error: a programmed flume with tag name \"PF9FT\"\r\nwas not found in file FLUMES.LST, or referred to a "
               "missing or \r\nbad table file.";
        QTest::newRow("weir tag of a flume")
            << 3 << "PF1FT"
            << "Error: a programmed weir with tag name \"PF1FT\"\r\nwas not found in file WEIRS.LST, or referred to a "
               "missing or \r\nbad table file.";
    }
    void badTags()
    {
        QFETCH(int, mode);
        QFETCH(QString, tag);
        QFETCH(QString, text);
        Fixture f;
        f.settings.FlowMode = static_cast<uint8_t>(mode);
        f.settings.FlumeTag = tag;
        f.settings.WeirTag = tag;
        f.rating.RatingName = QStringLiteral("Parshall 1 ft");
        const std::optional<FlowMessage> message = f.check();
        QVERIFY(message);
        QCOMPARE(message->Title, QStringLiteral("Bad Flume Tag"));
        QCOMPARE(message->Text, text);
        QCOMPARE(message->Icon, PromptIcon::Error);
        QCOMPARE(f.rating.RatingName, QStringLiteral("- None -"));
        RecordingPrompter prompter;
        ShowFlowMessage(prompter, *message);
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages.front().text, text);
        QCOMPARE(prompter.messages.front().buttons, PromptButtons::Ok);
    }

    void weirWhoseTableWentMissing()
    {
        Fixture f;
        QFile::remove(f.path(QStringLiteral("data/tables/weir.tbl")));
        f.settings.FlowMode = 3;
        f.settings.WeirTag = QStringLiteral("V90T");
        QVERIFY(f.check());
        QCOMPARE(FlowTablePointCount(f.rating), 0);
    }

    void tableMethod_data()
    {
        QTest::addColumn<QString>("tablePath");
        QTest::addColumn<QString>("ratingName");
        QTest::addColumn<bool>("warned");
        QTest::newRow("relative with a folder") << "tables/three.tbl" << "three.tbl" << false;
        QTest::newRow("written on Windows") << ".\\tables\\three.tbl" << "three.tbl" << false;
        QTest::newRow("missing") << "tables/none.tbl" << "none.tbl" << true;
        QTest::newRow("empty path") << "" << "" << true;
        QTest::newRow("bare name") << "empty.tbl" << "empty.tbl" << true;
    }
    void tableMethod()
    {
        QFETCH(QString, tablePath);
        QFETCH(QString, ratingName);
        QFETCH(bool, warned);
        Fixture f;
        WriteLines(f.path(QStringLiteral("empty.tbl")), 0, QStringLiteral("Level Flow"));
        f.settings.FlowMode = 4;
        f.settings.TablePath = tablePath;
        const std::optional<FlowMessage> message = f.check();
        QCOMPARE(f.rating.RatingName, ratingName);
        QCOMPARE(bool(message), warned);
        QCOMPARE(FlowTablePointCount(f.rating), warned ? 0 : 3);
        if (message) {
            QCOMPARE(message->Title, QStringLiteral("Missing or Empty Flow Table File"));
            QCOMPARE(message->Text, QStringLiteral("Error: missing or empty flow table file:\r\n\r\n") + tablePath);
            QCOMPARE(message->Icon, PromptIcon::Warning);
        }
    }

    void browseAsksForATableFile()
    {
        Fixture f;
        ScriptedFileDialogs dialogs;
        RecordingPrompter prompter;
        QVERIFY(!BrowseForFlowTable(dialogs, prompter, f.rating, f.dir.path(), true));
        QCOMPARE(dialogs.openRequests.size(), 1);
        const FileDialogRequest& request = dialogs.openRequests.front();
        QCOMPARE(request.title, QStringLiteral("Select Flow Table File"));
        QCOMPARE(request.filter, QStringLiteral("Flow Table File (*.tbl)|*.tbl"));
        QCOMPARE(request.defaultExtension, QStringLiteral(".tbl"));
        QCOMPARE(request.initialFileName, f.dir.path() + QDir::separator() + QStringLiteral("*.tbl"));
        QVERIFY(request.mustExist);
        QVERIFY(prompter.messages.isEmpty()); // Cancel ends it silently
        QCOMPARE(FlowTablePointCount(f.rating), 1);
    }

    void browseReports_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("loaded");
        QTest::newRow("no point") << 0 << "Bad Flow Table File"
                                  << "Error: selected file does not appear to be a valid flow table file."
                                  << int(PromptIcon::Error) << 0;
        QTest::newRow("three points") << 3 << "Flow Table File" << "The selected table file has 3 entries."
                                      << int(PromptIcon::Information) << 3;
        QTest::newRow("1000 points") << 1000 << "Flow Table File" << "The selected table file has 1000 entries."
                                     << int(PromptIcon::Information) << 1000;
        QTest::newRow("1500 points") << 1500 << "Bad Flow Table File"
                                     << "Error: selected file has more than 1000 entries,\r\nthe table will be "
                                        "truncated to 1001 entries."
                                     << int(PromptIcon::Error) << 1001;
    }
    void browseReports()
    {
        QFETCH(int, points);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(int, loaded);
        Fixture f;
        WriteLines(f.path(QStringLiteral("tables/chosen.tbl")), points, QStringLiteral("Level, Flow"));
        ScriptedFileDialogs dialogs;
        dialogs.choices.append(f.path(QStringLiteral("tables/chosen.tbl")));
        RecordingPrompter prompter;
        const std::optional<QString> path = BrowseForFlowTable(dialogs, prompter, f.rating, f.dir.path(), true);
        QCOMPARE(path, QStringLiteral("tables") + QDir::separator() + QStringLiteral("chosen.tbl"));
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages.front().title, title);
        QCOMPARE(prompter.messages.front().text, text);
        QCOMPARE(int(prompter.messages.front().icon), icon);
        QCOMPARE(FlowTablePointCount(f.rating), loaded);
    }

    void browseKeepsPathsOutsideTheProgramFolder()
    {
        Fixture f;
        // A sibling folder whose name starts with the program folder's name.
        QTemporaryDir outside(f.dir.path() + QStringLiteral("2-XXXXXX"));
        const QString chosen = outside.path() + QStringLiteral("/t.tbl");
        WriteLines(chosen, 2);
        ScriptedFileDialogs dialogs;
        dialogs.choices.append(chosen);
        RecordingPrompter prompter;
        QCOMPARE(BrowseForFlowTable(dialogs, prompter, f.rating, f.dir.path(), true), chosen);
        QCOMPARE(FlowTablePointCount(f.rating), 2);
    }

    void browseRefusesLongPaths()
    {
        Fixture f;
        const QString folder = f.path(QStringLiteral("tables/") + QString(120, u'x'));
        QVERIFY(QDir().mkpath(folder));
        const QString chosen = folder + QStringLiteral("/t.tbl");
        WriteLines(chosen, 2);
        ScriptedFileDialogs dialogs;
        dialogs.choices.append(chosen);
        RecordingPrompter prompter;
        QVERIFY(!BrowseForFlowTable(dialogs, prompter, f.rating, f.dir.path(), true));
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages.front().title, QStringLiteral("File Path Too Long"));
        QCOMPARE(prompter.messages.front().text,
                 QStringLiteral("Error: the file path is longer than 128 characters which is the limit."));
        QCOMPARE(prompter.messages.front().icon, PromptIcon::Error);
        QCOMPARE(FlowTablePointCount(f.rating), 1); // the table in use stays
    }
};

BREVEL_TEST(FlowSourceTest)
#include "tst_flowsource.moc"
