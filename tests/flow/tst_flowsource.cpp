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

// The boxes shown, one "title|text|icon" line each.
QString Told(const RecordingPrompter& prompter)
{
    const char* icons[] = {"none", "information", "question", "warning", "error"};
    QStringList told;
    for (const RecordingPrompter::Message& m : prompter.messages) {
        told << m.title + u'|' + m.text + u'|' + QLatin1String(icons[int(m.icon)]);
    }
    return told.join(u'\n');
}

} // namespace

class FlowSourceTest : public QObject {
    Q_OBJECT
private slots:
    void programmedSource_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("tag"); // the flume and the weir tag, or the table path
        QTest::addColumn<QString>("rating"); // name|points|multiplier
        QTest::addColumn<QString>("told");
        const QString badTag = QStringLiteral("Bad Flume Tag|Error: a programmed %1 with tag name \"%2\"\r\n"
                                              "was not found in file %3, or referred to a missing or \r\n"
                                              "bad table file.|error");
        const QString noTable = QStringLiteral("Missing or Empty Flow Table File|"
                                               "Error: missing or empty flow table file:\r\n\r\n%1|warning");
        QTest::newRow("no flow") << 0 << "PF1FT" << "old|0|0" << "";
        QTest::newRow("flume tag") << 2 << "PF1FT" << "Parshall 1 ft|0|4" << "";
        QTest::newRow("weir tag, table in the catalogue's folder") << 3 << "V90T" << "V-notch table|4|0" << "";
        QTest::newRow("empty flume tag") << 2 << "" << "- None -|0|0" << badTag.arg("flume", "", "FLUMES.LST");
        QTest::newRow("weir tag of a flume") << 3 << "PF1FT" << "- None -|0|0"
                                             << badTag.arg("weir", "PF1FT", "WEIRS.LST");
        QTest::newRow("table with a folder") << 4 << "tables/three.tbl" << "three.tbl|3|0" << "";
        QTest::newRow("missing table") << 4 << "tables/none.tbl" << "none.tbl|0|0" << noTable.arg("tables/none.tbl");
        QTest::newRow("table without a point") << 4 << "empty.tbl" << "empty.tbl|0|0" << noTable.arg("empty.tbl");
        QTest::newRow("no table path") << 4 << "" << "|0|0" << noTable.arg("");
    }
    void programmedSource()
    {
        QFETCH(int, mode);
        QFETCH(QString, tag);
        // The catalogue folder "data" has a weir table of the same name as
        // one in the program's folder.
        ScratchFolder app;
        app.writeLines(QStringLiteral("tables/three.tbl"), Points(3));
        app.writeLines(QStringLiteral("data/tables/weir.tbl"), Points(4));
        app.writeLines(QStringLiteral("tables/weir.tbl"), Points(2));
        app.writeLines(QStringLiteral("empty.tbl"), Points(0));
        RatingCatalogues catalogues;
        catalogues.Folder = app.path(QStringLiteral("data"));
        catalogues.FlumeCatalogue.push_back({QStringLiteral("PF1FT"), QStringLiteral("Parshall 1 ft"), EquationRating,
                                             QString(), 0.0, 1.522, 4.0});
        catalogues.WeirCatalogue.push_back({QStringLiteral("V90T"), QStringLiteral("V-notch table"), TableRating,
                                            QStringLiteral("tables/weir.tbl"), 0.0, 0.0, 0.0});
        LoggerSettings settings;
        settings.FlowMode = static_cast<uint8_t>(mode);
        settings.FlumeTag = tag;
        settings.WeirTag = tag;
        settings.TablePath = tag;
        RatingState rating;
        rating.RatingName = QStringLiteral("old");
        RecordingPrompter prompter;
        if (const auto message = CheckProgrammedFlowSource(settings, rating, catalogues, app.dir.path(), true)) {
            ShowFlowMessage(prompter, *message);
        }
        const QString state = QStringLiteral("%1|%2|%3").arg(rating.RatingName).arg(FlowTablePointCount(rating));
        QTEST(state.arg(rating.RatingMultiplier), "rating");
        QTEST(Told(prompter), "told");
    }

    void browse_data()
    {
        QTest::addColumn<QString>("file"); // below the program folder
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("path"); // what the table box gets; empty: unchanged
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("loaded");
        const QString chosen = QStringLiteral("tables") + QDir::separator() + QStringLiteral("chosen.tbl");
        QTest::newRow("cancelled") << "" << 0 << "" << "" << 1;
        QTest::newRow("no point") << "tables/chosen.tbl" << 0 << chosen
                                  << "Bad Flow Table File|Error: selected file does not appear to be a valid flow "
                                     "table file.|error" << 0;
        QTest::newRow("1000 points") << "tables/chosen.tbl" << 1000 << chosen
                                     << "Flow Table File|The selected table file has 1000 entries.|information" << 1000;
        QTest::newRow("1500 points") << "tables/chosen.tbl" << 1500 << chosen
                                     << "Bad Flow Table File|Error: selected file has more than 1000 entries,\r\nthe "
                                        "table will be truncated to 1001 entries.|error" << 1001;
        // The table in use stays.
        QTest::newRow("too long a path") << "tables/" + QString(120, u'x') + "/t.tbl" << 2 << ""
                                         << "File Path Too Long|Error: the file path is longer than 128 characters "
                                            "which is the limit.|error" << 1;
    }
    void browse()
    {
        QFETCH(QString, file);
        QFETCH(int, points);
        ScratchFolder app;
        ScriptedFileDialogs dialogs;
        if (!file.isEmpty()) {
            QVERIFY(app.writeLines(file, Points(points)));
            dialogs.choices.append(app.path(file));
        }
        RecordingPrompter prompter;
        RatingState rating; // one point
        QTEST(BrowseForFlowTable(dialogs, prompter, rating, app.dir.path(), true).value_or(QString()), "path");
        QCOMPARE(dialogs.openRequests.front().InitialFileName, app.dir.path() + QDir::separator() + "*.tbl");
        QVERIFY(dialogs.openRequests.front().MustExist);
        QTEST(Told(prompter), "told");
        QTEST(FlowTablePointCount(rating), "loaded");
    }

    void browseKeepsPathsOutsideTheProgramFolder()
    {
        ScratchFolder app;
        // A sibling folder whose name starts with the program folder's name.
        QTemporaryDir outside(app.dir.path() + QStringLiteral("2-XXXXXX"));
        const QString chosen = outside.path() + QStringLiteral("/t.tbl");
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1 2\n3 4\n") > 0);
        file.close();
        ScriptedFileDialogs dialogs;
        dialogs.choices.append(chosen);
        RecordingPrompter prompter;
        RatingState rating;
        QCOMPARE(BrowseForFlowTable(dialogs, prompter, rating, app.dir.path(), true), chosen);
        QCOMPARE(FlowTablePointCount(rating), 2);
    }
};

BREVEL_TEST(FlowSourceTest)
#include "tst_flowsource.moc"
