#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowSource.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"

#include <QTest>

namespace {

QStringList Points(int count)
{
    QStringList lines{QStringLiteral("Level, Flow")};
    for (int k = 1; k <= count; ++k) {
        lines << QStringLiteral("%1 %2").arg(k).arg(k * 2);
    }
    return lines;
}

// A program folder with tables, and a catalogue folder "data" beside them
// whose weir table has the same name as one in the program's folder.
struct Fixture {
    ScratchFolder app;
    RatingCatalogues catalogues;
    RatingState rating;
    LoggerSettings settings;

    Fixture()
    {
        app.writeLines(QStringLiteral("tables/three.tbl"), Points(3));
        app.writeLines(QStringLiteral("data/tables/weir.tbl"), Points(4));
        app.writeLines(QStringLiteral("tables/weir.tbl"), Points(2));
        app.writeLines(QStringLiteral("empty.tbl"), Points(0));
        catalogues.Folder = app.path(QStringLiteral("data"));
        catalogues.FlumeCatalogue.push_back({QStringLiteral("PF1FT"), QStringLiteral("Parshall 1 ft"), EquationRating,
                                             QString(), 0.0, 1.522, 4.0});
        catalogues.WeirCatalogue.push_back({QStringLiteral("V90T"), QStringLiteral("V-notch table"), TableRating,
                                            QStringLiteral("tables/weir.tbl"), 0.0, 0.0, 0.0});
        ResetFlowTable(rating);
        rating.RatingName = QStringLiteral("old");
    }
    std::optional<FlowMessage> check()
    {
        return CheckProgrammedFlowSource(settings, rating, catalogues, app.dir.path(), true);
    }
};

QString BadTag(const QString& device, const QString& tag, const QString& file)
{
    return QStringLiteral("Error: a programmed %1 with tag name \"%2\"\r\nwas not found in file %3, or referred to a "
                          "missing or \r\nbad table file.")
        .arg(device, tag, file);
}

} // namespace

class FlowSourceTest : public QObject {
    Q_OBJECT
private slots:
    void programmedSource_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("tag");       // the flume and the weir tag, or the table path
        QTest::addColumn<QString>("ratingName");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("multiplier");
        QTest::addColumn<QString>("title"); // empty: no message
        QTest::addColumn<QString>("text");
        const QString badTag = QStringLiteral("Bad Flume Tag");
        const QString noTable = QStringLiteral("Missing or Empty Flow Table File");
        QTest::newRow("no flow") << 0 << "PF1FT" << "old" << 0 << 0.0 << "" << "";
        QTest::newRow("flume tag") << 2 << "PF1FT" << "Parshall 1 ft" << 0 << 4.0 << "" << "";
        QTest::newRow("weir tag with a table in the catalogue's folder") << 3 << "V90T" << "V-notch table" << 4 << 0.0
                                                                         << "" << "";
        QTest::newRow("empty flume tag") << 2 << "" << "- None -" << 0 << 0.0 << badTag
                                         << BadTag("flume", "", "FLUMES.LST");
        QTest::newRow("weir tag of a flume") << 3 << "PF1FT" << "- None -" << 0 << 0.0 << badTag
                                             << BadTag("weir", "PF1FT", "WEIRS.LST");
        QTest::newRow("table with a folder") << 4 << "tables/three.tbl" << "three.tbl" << 3 << 0.0 << "" << "";
        QTest::newRow("missing table") << 4 << "tables/none.tbl" << "none.tbl" << 0 << 0.0 << noTable
                                       << "Error: missing or empty flow table file:\r\n\r\ntables/none.tbl";
        QTest::newRow("table without a point") << 4 << "empty.tbl" << "empty.tbl" << 0 << 0.0 << noTable
                                               << "Error: missing or empty flow table file:\r\n\r\nempty.tbl";
        QTest::newRow("no table path") << 4 << "" << "" << 0 << 0.0 << noTable
                                       << "Error: missing or empty flow table file:\r\n\r\n";
    }
    void programmedSource()
    {
        QFETCH(int, mode);
        QFETCH(QString, tag);
        Fixture f;
        f.settings.FlowMode = static_cast<uint8_t>(mode);
        f.settings.FlumeTag = tag;
        f.settings.WeirTag = tag;
        f.settings.TablePath = tag;
        const std::optional<FlowMessage> message = f.check();
        QTEST(f.rating.RatingName, "ratingName");
        QTEST(FlowTablePointCount(f.rating), "points");
        QTEST(f.rating.RatingMultiplier, "multiplier");
        QTEST(message ? message->Title : QString(), "title");
        if (message) {
            RecordingPrompter prompter;
            ShowFlowMessage(prompter, *message);
            QCOMPARE(prompter.messages.size(), 1);
            QTEST(prompter.messages.front().text, "text");
            QCOMPARE(prompter.messages.front().icon, mode == 4 ? PromptIcon::Warning : PromptIcon::Error);
            QCOMPARE(prompter.messages.front().buttons, PromptButtons::Ok);
        }
    }

    void browse_data()
    {
        QTest::addColumn<QString>("file"); // below the program folder, or "../" beside it
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("path"); // what the table box gets; empty: unchanged
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("loaded");
        const QString chosen = QStringLiteral("tables") + QDir::separator() + QStringLiteral("chosen.tbl");
        QTest::newRow("cancelled") << "" << 0 << "" << "" << "" << 0 << 1; // silently
        QTest::newRow("no point") << "tables/chosen.tbl" << 0 << chosen << "Bad Flow Table File"
                                  << "Error: selected file does not appear to be a valid flow table file."
                                  << int(PromptIcon::Error) << 0;
        QTest::newRow("1000 points") << "tables/chosen.tbl" << 1000 << chosen << "Flow Table File"
                                     << "The selected table file has 1000 entries." << int(PromptIcon::Information)
                                     << 1000;
        QTest::newRow("1500 points") << "tables/chosen.tbl" << 1500 << chosen << "Bad Flow Table File"
                                     << "Error: selected file has more than 1000 entries,\r\nthe table will be "
                                        "truncated to 1001 entries."
                                     << int(PromptIcon::Error) << 1001;
        QTest::newRow("too long a path") << "tables/" + QString(120, u'x') + "/t.tbl" << 2 << "" << "File Path Too Long"
                                         << "Error: the file path is longer than 128 characters which is the limit."
                                         << int(PromptIcon::Error) << 1; // the table in use stays
    }
    void browse()
    {
        QFETCH(QString, file);
        QFETCH(int, points);
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Fixture f;
        ScriptedFileDialogs dialogs;
        if (!file.isEmpty()) {
            QVERIFY(f.app.writeLines(file, Points(points)));
            dialogs.choices.append(f.app.path(file));
        }
        RecordingPrompter prompter;
        QCOMPARE(BrowseForFlowTable(dialogs, prompter, f.rating, f.app.dir.path(), true).value_or(QString()), path);
        QCOMPARE(dialogs.openRequests.front().InitialFileName, f.app.dir.path() + QDir::separator() + "*.tbl");
        QVERIFY(dialogs.openRequests.front().MustExist);
        QCOMPARE(prompter.messages.size(), title.isEmpty() ? 0 : 1);
        for (const RecordingPrompter::Message& message : prompter.messages) {
            QCOMPARE(message.title + u'|' + message.text, title + u'|' + text);
            QTEST(int(message.icon), "icon");
        }
        QTEST(FlowTablePointCount(f.rating), "loaded");
    }

    void browseKeepsPathsOutsideTheProgramFolder()
    {
        Fixture f;
        // A sibling folder whose name starts with the program folder's name.
        QTemporaryDir outside(f.app.dir.path() + QStringLiteral("2-XXXXXX"));
        const QString chosen = outside.path() + QStringLiteral("/t.tbl");
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1 2\n3 4\n") > 0);
        file.close();
        ScriptedFileDialogs dialogs;
        dialogs.choices.append(chosen);
        RecordingPrompter prompter;
        QCOMPARE(BrowseForFlowTable(dialogs, prompter, f.rating, f.app.dir.path(), true), chosen);
        QCOMPARE(FlowTablePointCount(f.rating), 2);
    }
};

BREVEL_TEST(FlowSourceTest)
#include "tst_flowsource.moc"
