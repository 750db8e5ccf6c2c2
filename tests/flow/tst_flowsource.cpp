#include "RecordingPrompter.h"
#include "ScratchFolder.h"
#include "ScriptedFileDialogs.h"
#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowFromLevel.h"
#include "flow/FlowSource.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"

#include <QTest>
#include <cmath>

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

    // Catalogue lines (no file when there are none), the tag selected, and the
    // rating it gives: name|offset|exponent|multiplier|table points.
    void catalogue_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("rating");
        const QString refused = QStringLiteral("refused - None -|0|0|0|0");
        QTest::newRow("equation") << "[TAG1] \"A weir\" E 0.0 1.5 3.0" << "TAG1" << "A weir|0|1.5|3|0";
        QTest::newRow("tag trimmed, upper-cased, cut to 8") << "[ abcdefghij ]  \"  Name  \" E 0 1 2"
                                                            << "ABCDEFGH" << "Name|0|1|2|0";
        QTest::newRow("commas") << "[T] \"N\" E 0.1,2.5,4" << "T" << "N|0.1|2.5|4|0";
        QTest::newRow("words between numbers") << "[T] \"N\" E offset 0.1 exp 2.5 mult 4 more 9" << "T"
                                               << "N|0.1|2.5|4|0";
        QTest::newRow("kind letter after other text") << "[T] \"N\" xyz E -0.5 1e0 +2" << "T" << "N|-0.5|1|2|0";
        QTest::newRow("table file") << "[T] \"N\" F \"two.tbl\"" << "T" << "N|0|0|0|2";
        QTest::newRow("first kind letter wins") << "[T] \"N\" F \"two.tbl\" E 1 2 3" << "T" << "N|0|0|0|2";
        QTest::newRow("two numbers") << "[T] \"N\" E 1 2" << "T" << refused;
        QTest::newRow("number out of range") << "[T] \"N\" E 1 2 1e999" << "T" << refused;
        QTest::newRow("no closing bracket") << "[T \"N\" E 1 2 3" << "T" << refused;
        QTest::newRow("indented") << " [T] \"N\" E 1 2 3" << "T" << refused;
        QTest::newRow("empty name") << "[T] \"\" E 1 2 3" << "T" << refused;
        QTest::newRow("no name") << "[T] E 1 2 3" << "T" << refused;
        QTest::newRow("no kind letter") << "[T] \"N\" e 1 2 3" << "T" << refused;
        QTest::newRow("missing table file") << "[T] \"N\" F \"none.tbl\"" << "T" << refused;
        QTest::newRow("unquoted table file") << "[T] \"N\" F two.tbl" << "T" << refused;
        QTest::newRow("missing catalogue") << "" << "T" << refused;
        QTest::newRow("a later entry replaces") << "[A] \"First A\" E 0 1 2\n[A] \"Second A\" E 0.5 2 7" << "A"
                                                << "Second A|0.5|2|7|0";
        QTest::newRow("tags match exactly") << "[A] \"First A\" E 0 1 2" << "a" << refused;
        QTest::newRow("table file gone since") << "[TB] \"Table\" F \"gone.tbl\"" << "TB" << "refused Table|0|0|0|0";
    }
    void catalogue()
    {
        QFETCH(QString, lines);
        QFETCH(QString, tag);
        ScratchFolder app;
        for (const QString& table : {QStringLiteral("two.tbl"), QStringLiteral("gone.tbl")}) {
            QVERIFY(app.writeLines(table, Points(2)));
        }
        if (!lines.isEmpty()) {
            QVERIFY(app.writeLines(QStringLiteral("test.lst"), (QStringLiteral("; heading\n\n") + lines).split(u'\n')));
        }
        // Loading replaces what was there: a stale entry of the tag must go.
        RatingCatalogue catalogue{RatingEntry{tag, QStringLiteral("stale"), EquationRating, {}, 9.0, 9.0, 9.0}};
        LoadRatingCatalogue(catalogue, app.path(QStringLiteral("test.lst")), app.dir.path(), true);
        QVERIFY(QFile::remove(app.path(QStringLiteral("gone.tbl"))));
        RatingState rating;
        ClearFlowTable(rating);
        rating.RatingName = QStringLiteral("old");
        rating.RatingMultiplier = 5.0;
        const bool selected = SelectRating(rating, tag, catalogue, app.dir.path(), true);
        QTEST(QStringLiteral("%1%2|%3|%4|%5|%6")
                  .arg(selected ? QString() : QStringLiteral("refused "), rating.RatingName)
                  .arg(rating.RatingOffset)
                  .arg(rating.RatingExponent)
                  .arg(rating.RatingMultiplier)
                  .arg(FlowTablePointCount(rating)),
              "rating");
    }

    // A table file's lines (none: the path is a folder) and the points read.
    void tableFile_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("points");
        QTest::newRow("comma") << "1.0,2.5" << true << "1:2.5";
        QTest::newRow("tab and blanks") << "  1\t 2  \n3 , 4" << true << "1:2 3:4";
        QTest::newRow("three numbers") << "1 2 3\n4 5" << true << "4:5";
        QTest::newRow("heading and comment") << "Level Flow\n1 2\n# 3 4\n5 6 ft" << true << "1:2";
        QTest::newRow("unsorted kept in file order") << "3 9\n1 1" << true << "3:9 1:1";
        QTest::newRow("no valid point") << "Level, Flow\n" << true << "";
        QTest::newRow("number out of range") << "1 2\n1e999 3" << false << "";
        QTest::newRow("a folder") << "" << false << "";
    }
    void tableFile()
    {
        QFETCH(QString, lines);
        ScratchFolder app;
        QVERIFY(lines.isEmpty() ? QDir(app.dir.path()).mkdir(QStringLiteral("t.tbl"))
                                : app.writeLines(QStringLiteral("t.tbl"), lines.split(u'\n')));
        RatingState rating; // one point until loaded
        QTEST(LoadFlowTable(rating, QStringLiteral("t.tbl"), app.dir.path(), true), "loaded");
        QCOMPARE(rating.FlowTable.front().Level, 0.0);
        QStringList points;
        for (size_t k = 1; k < rating.FlowTable.size(); ++k) {
            points << QStringLiteral("%1:%2").arg(rating.FlowTable[k].Level).arg(rating.FlowTable[k].Flow);
        }
        QTEST(points.join(u' '), "points");
    }

    void resolveTablePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("resolved");
        // On Windows, from the program folder C:\App.
        QTest::newRow("bare name") << "flow.tbl" << "\\" << "C:\\App\\flow.tbl";
        QTest::newRow("dot backslash") << ".\\t\\flow.tbl" << "\\" << "C:\\App\\t\\flow.tbl";
        QTest::newRow("drive") << "D:\\x\\flow.tbl" << "\\" << "D:\\x\\flow.tbl";
        QTest::newRow("network") << "\\\\srv\\x.tbl" << "\\" << "\\\\srv\\x.tbl";
        // On Linux, from /opt/app; paths written on Windows still resolve.
        QTest::newRow("linux dot slash") << "./t/flow.tbl" << "/" << "/opt/app/t/flow.tbl";
        QTest::newRow("linux windows relative") << ".\\t\\flow.tbl" << "/" << "/opt/app/t/flow.tbl";
        QTest::newRow("linux absolute") << "/data/flow.tbl" << "/" << "/data/flow.tbl";
        QTest::newRow("linux drive") << "C:\\x.tbl" << "/" << "C:/x.tbl";
    }
    void resolveTablePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, separator);
        const QString folder = separator == u"/" ? QStringLiteral("/opt/app") : QStringLiteral("C:\\App");
        QTEST(ResolveTablePath(folder, path, separator.at(0)), "resolved");
    }

    // Free-flow discharges (cfs) of the standard ratings as tabulated in the
    // USBR Water Measurement Manual, three figures.
    void installedRatingsMatchPublishedFlows_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QList<QPointF>>("published"); // head, flow
        const QList<QPointF> vNotch{{0.3, 0.126}, {0.5, 0.446}, {0.8, 1.43}, {1.0, 2.49}, {1.5, 6.81}};
        const QList<QPointF> parshall1ft{{0.2, 0.345}, {0.5, 1.39}, {1.0, 4.00}, {1.5, 7.41}, {2.0, 11.5}, {2.5, 16.1}};
        QTest::newRow("Parshall 1 ft") << "flumes.lst" << "PF1FT" << parshall1ft;
        QTest::newRow("90 degree V-notch, Cone") << "weirs.lst" << "V90CONE" << vNotch;
        QTest::newRow("90 degree V-notch, Kindsvater-Shen") << "weirs.lst" << "V90KS" << vNotch;
        QTest::newRow("90 degree V-notch, table") << "weirs.lst" << "V90TBL" << vNotch;
        QTest::newRow("Parshall 3 in") << "flumes.lst" << "PF3IN"
                                       << QList<QPointF>{{0.2, 0.0823}, {1.0, 0.992}, {1.8, 2.46}};
        QTest::newRow("Parshall 10 ft") << "flumes.lst" << "PF10FT" << QList<QPointF>{{1.0, 39.4}, {3.0, 228.0}};
    }
    void installedRatingsMatchPublishedFlows()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, tag);
        QFETCH(QList<QPointF>, published);
        const QString data = QStringLiteral(BREVEL_SOURCE_DIR "/data");
        RatingCatalogue entries;
        LoadRatingCatalogue(entries, data + QLatin1Char('/') + catalogue, data, true);
        RatingState rating;
        ClearFlowTable(rating);
        QVERIFY(SelectRating(rating, tag, entries, data, true));
        LoggerSettings weir;
        weir.EngUnits[0] = QStringLiteral("Feet");
        weir.FlowMode = 3;
        for (const QPointF& p : published) {
            double velocity = 0.0;
            const double flow = ComputeFlow(weir, rating, p.x(), velocity);
            QVERIFY2(std::abs(flow / p.y() - 1.0) < 0.01, qPrintable(QString::number(p.x())));
        }
    }
};

BREVEL_TEST(FlowSourceTest)
#include "tst_flowsource.moc"
