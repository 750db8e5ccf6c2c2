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
    // The flume catalogue's lines (no file when there are none) and the
    // settings' tag (or table path) and mode: the rating made current,
    // name|offset|exponent|multiplier|table points, and the box shown.
    void programmedSource_data()
    {
        QTest::addColumn<QString>("flumes");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("rating");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("mode");
        const auto row = [](const char* name, const QString& flumes, const char* tag, const QString& rating,
                            const char* told = "", int mode = 2) {
            QTest::newRow(name) << flumes << tag << rating << told << mode;
        };
        const QString none = QStringLiteral("- None -|0|0|0|0");
        const QString parshall = QStringLiteral("[PF1FT] \"Parshall 1 ft\" E 0 1.522 4");
        row("no flow", parshall, "PF1FT", "old|0|0|5|0", "", 0);
        row("flume tag", parshall, "PF1FT", "Parshall 1 ft|0|1.522|4|0");
        row("weir tag of a flume", parshall, "PF1FT", none, "bad tag", 3);
        row("weir table in the catalogues' folder", "", "V90T", "V-notch table|0|0|0|4", "", 3);
        row("tag trimmed, upper-cased, cut to 8", "[ abcdefghij ]  \"  Name  \" E 0 1 2", "ABCDEFGH", "Name|0|1|2|0");
        row("commas", "[T] \"N\" E 0.1,2.5,4", "T", "N|0.1|2.5|4|0");
        row("words between numbers", "[T] \"N\" E offset 0.1 exp 2.5 mult 4 more 9", "T", "N|0.1|2.5|4|0");
        row("kind letter after other text", "[T] \"N\" xyz E -0.5 1e0 +2", "T", "N|-0.5|1|2|0");
        row("table file", "[T] \"N\" F \"two.tbl\"", "T", "N|0|0|0|2");
        row("first kind letter wins", "[T] \"N\" F \"two.tbl\" E 1 2 3", "T", "N|0|0|0|2");
        row("two numbers", "[T] \"N\" E 1 2", "T", none, "bad tag");
        row("number out of range", "[T] \"N\" E 1 2 1e999", "T", none, "bad tag");
        row("no closing bracket", "[T \"N\" E 1 2 3", "T", none, "bad tag");
        row("indented", " [T] \"N\" E 1 2 3", "T", none, "bad tag");
        row("empty name", "[T] \"\" E 1 2 3", "T", none, "bad tag");
        row("no name", "[T] E 1 2 3", "T", none, "bad tag");
        row("no kind letter", "[T] \"N\" e 1 2 3", "T", none, "bad tag");
        row("missing table file", "[T] \"N\" F \"none.tbl\"", "T", none, "bad tag");
        row("unquoted table file", "[T] \"N\" F two.tbl", "T", none, "bad tag");
        row("missing catalogue", "", "T", none, "bad tag");
        row("empty flume tag", parshall, "", none, "bad tag");
        row("a later entry replaces", "[A] \"First A\" E 0 1 2\n[A] \"Second A\" E 0.5 2 7", "A", "Second A|0.5|2|7|0");
        row("tags match exactly", "[A] \"First A\" E 0 1 2", "a", none, "bad tag");
        row("table file gone since", "[TB] \"Table\" F \"gone.tbl\"", "TB", "Table|0|0|0|0", "bad tag");
        row("table with a folder", "", "tables/three.tbl", "three.tbl|0|0|5|3", "", 4);
        row("missing table", "", "tables/none.tbl", "none.tbl|0|0|5|0", "no table", 4);
        row("table without a point", "", "empty.tbl", "empty.tbl|0|0|5|0", "no table", 4);
        row("no table path", "", "", "|0|0|5|0", "no table", 4);
    }
    void programmedSource()
    {
        QFETCH(int, mode);
        QFETCH(QString, flumes);
        QFETCH(QString, tag);
        // The catalogues' folder "data" holds a weir table of the same name
        // as one in the program's folder; gone.tbl goes once they are read.
        ScratchFolder app;
        for (const char* table : {"data/two.tbl", "data/gone.tbl", "tables/weir.tbl"}) {
            QVERIFY(app.writeLines(QLatin1String(table), Points(2)));
        }
        app.writeLines(QStringLiteral("data/tables/weir.tbl"), Points(4));
        app.writeLines(QStringLiteral("tables/three.tbl"), Points(3));
        app.writeLines(QStringLiteral("empty.tbl"), Points(0));
        app.writeLines(QStringLiteral("data/weirs.lst"), {"[V90T] \"V-notch table\" F \"tables/weir.tbl\""});
        if (!flumes.isEmpty()) {
            app.writeLines(QStringLiteral("data/flumes.lst"), (QStringLiteral("; heading\n\n") + flumes).split(u'\n'));
        }
        // Reading replaces what was there: a stale entry of the tag must go.
        RatingCatalogues catalogues;
        catalogues.FlumeCatalogue = {RatingEntry{tag, QStringLiteral("stale"), EquationRating, {}, 9.0, 9.0, 9.0}};
        LoadRatingCatalogues(catalogues, app.path(QStringLiteral("data")), true);
        QVERIFY(QFile::remove(app.path(QStringLiteral("data/gone.tbl"))));
        LoggerSettings settings;
        settings.FlowMode = static_cast<uint8_t>(mode);
        settings.FlumeTag = tag;
        settings.WeirTag = tag;
        settings.TablePath = tag;
        RatingState rating;
        rating.RatingName = QStringLiteral("old");
        rating.RatingMultiplier = 5.0;
        RecordingPrompter prompter;
        if (const auto message = CheckProgrammedFlowSource(settings, rating, catalogues, app.dir.path(), true)) {
            ShowFlowMessage(prompter, *message);
        }
        QTEST(QStringLiteral("%1|%2|%3|%4|%5")
                  .arg(rating.RatingName)
                  .arg(rating.RatingOffset)
                  .arg(rating.RatingExponent)
                  .arg(rating.RatingMultiplier)
                  .arg(FlowTablePointCount(rating)),
              "rating");
        QFETCH(QString, told);
        const QMap<QString, QString> boxes{
            {"", ""},
            {"bad tag", QStringLiteral("Bad Flume Tag|Error: a programmed %1 with tag name \"%2\"\r\nwas not found in "
                                       "file %3, or referred to a missing or \r\nbad table file.|error")
                            .arg(mode == 3 ? "weir" : "flume", tag, mode == 3 ? "WEIRS.LST" : "FLUMES.LST")},
            {"no table", "Missing or Empty Flow Table File|Error: missing or empty flow table file:\r\n\r\n" + tag +
                             "|warning"},
        };
        QCOMPARE(Told(prompter), boxes[told]);
    }

    // The program folder is "app"; a path starting with "/" is absolute.
    void browse_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("path"); // what the table box gets; empty: unchanged
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("loaded");
        const QString chosen = QStringLiteral("tables") + QDir::separator() + QStringLiteral("chosen.tbl");
        const QString entries = QStringLiteral("Flow Table File|The selected table file has %1 entries.|information");
        QTest::newRow("cancelled") << "" << 0 << "" << "" << 1;
        QTest::newRow("no point") << "app/tables/chosen.tbl" << 0 << chosen
                                  << "Bad Flow Table File|Error: selected file does not appear to be a valid flow "
                                     "table file.|error" << 0;
        QTest::newRow("1000 points") << "app/tables/chosen.tbl" << 1000 << chosen << entries.arg(1000) << 1000;
        QTest::newRow("1500 points") << "app/tables/chosen.tbl" << 1500 << chosen
                                     << "Bad Flow Table File|Error: selected file has more than 1000 entries,\r\nthe "
                                        "table will be truncated to 1001 entries.|error" << 1001;
        // The table in use stays.
        QTest::newRow("too long a path") << "app/tables/" + QString(120, u'x') + "/t.tbl" << 2 << ""
                                         << "File Path Too Long|Error: the file path is longer than 128 characters "
                                            "which is the limit.|error" << 1;
        QTest::newRow("beside, named like the program folder") << "app2/t.tbl" << 2 << "/app2/t.tbl" << entries.arg(2)
                                                               << 2;
    }
    void browse()
    {
        QFETCH(QString, file);
        QFETCH(int, points);
        QFETCH(QString, path);
        ScratchFolder root;
        const QString app = root.path(QStringLiteral("app"));
        ScriptedFileDialogs dialogs;
        if (!file.isEmpty()) {
            QVERIFY(root.writeLines(file, Points(points)));
            dialogs.choices.append(root.path(file));
        }
        if (path.startsWith(u'/')) {
            path = QDir::toNativeSeparators(root.dir.path() + path);
        }
        RecordingPrompter prompter;
        RatingState rating; // one point
        QCOMPARE(BrowseForFlowTable(dialogs, prompter, rating, app, true).value_or(QString()), path);
        QCOMPARE(dialogs.openRequests.front().InitialFileName, app + QDir::separator() + "*.tbl");
        QVERIFY(dialogs.openRequests.front().MustExist);
        QTEST(Told(prompter), "told");
        QTEST(FlowTablePointCount(rating), "loaded");
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
