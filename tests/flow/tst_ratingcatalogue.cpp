#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "config/LoggerSettings.h"
#include "flow/FlowFromLevel.h"
#include "config/Rating.h"
#include "flow/RatingCatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

const QString TwoPointTable = QStringLiteral("two.tbl");

// A program folder holding a small flow table.
struct AppFolder : ScratchFolder {
    AppFolder() { writeLines(TwoPointTable, {QStringLiteral("1 2"), QStringLiteral("3 6")}); }
    RatingCatalogue load(const QStringList& lines) const
    {
        writeLines(QStringLiteral("test.lst"), lines);
        RatingCatalogue catalogue{RatingEntry{}}; // loading replaces what was there
        LoadRatingCatalogue(catalogue, path(QStringLiteral("test.lst")), dir.path(), true);
        return catalogue;
    }
};

} // namespace

class RatingCatalogueTest : public QObject {
    Q_OBJECT
private slots:
    // A catalogue line and the entry it gives: tag, name, kind, offset,
    // exponent, multiplier; empty when the line is ignored.
    void catalogueLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entry");
        QTest::newRow("equation") << "[TAG1] \"A weir\" E 0.0 1.5 3.0" << "TAG1|A weir|E|0|1.5|3";
        QTest::newRow("tag trimmed, upper-cased, cut to 8") << "[ abcdefghij ]  \"  Name  \" E 0 1 2" << "ABCDEFGH|Name|E|0|1|2";
        QTest::newRow("commas") << "[T] \"N\" E 0.1,2.5,4" << "T|N|E|0.1|2.5|4";
        QTest::newRow("words between numbers") << "[T] \"N\" E offset 0.1 exp 2.5 mult 4 more 9" << "T|N|E|0.1|2.5|4";
        QTest::newRow("kind letter after other text") << "[T] \"N\" xyz E -0.5 1e0 +2" << "T|N|E|-0.5|1|2";
        QTest::newRow("table file") << "[T] \"N\" F \"two.tbl\"" << "T|N|F|0|0|0";
        QTest::newRow("first kind letter wins") << "[T] \"N\" F \"two.tbl\" E 1 2 3" << "T|N|F|0|0|0";
        QTest::newRow("two numbers") << "[T] \"N\" E 1 2" << "";
        QTest::newRow("number out of range") << "[T] \"N\" E 1 2 1e999" << "";
        QTest::newRow("no closing bracket") << "[T \"N\" E 1 2 3" << "";
        QTest::newRow("indented") << " [T] \"N\" E 1 2 3" << "";
        QTest::newRow("empty name") << "[T] \"\" E 1 2 3" << "";
        QTest::newRow("no name") << "[T] E 1 2 3" << "";
        QTest::newRow("no kind letter") << "[T] \"N\" e 1 2 3" << "";
        QTest::newRow("missing table file") << "[T] \"N\" F \"none.tbl\"" << "";
        QTest::newRow("unquoted table file") << "[T] \"N\" F two.tbl" << "";
    }
    void catalogueLine()
    {
        QFETCH(QString, line);
        AppFolder app;
        const RatingCatalogue catalogue = app.load({QStringLiteral("; heading"), line, QString()});
        QVERIFY(catalogue.size() <= 1);
        QString entry;
        for (const RatingEntry& e : catalogue) {
            QCOMPARE(e.TableFile, e.Kind == TableRating ? TwoPointTable : QString());
            entry = QStringLiteral("%1|%2|%3|%4|%5|%6")
                        .arg(e.Tag, e.Name, e.Kind == TableRating ? QStringLiteral("F") : QStringLiteral("E"))
                        .arg(e.Offset)
                        .arg(e.Exponent)
                        .arg(e.Multiplier);
        }
        QTEST(entry, "entry");
    }

    void tableFile_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QList<double>>("values"); // level, flow, level, flow ...
        QTest::newRow("comma") << QStringList{"1.0,2.5"} << true << QList<double>{1.0, 2.5};
        QTest::newRow("tab and blanks") << QStringList{"  1\t 2  ", "3 , 4"} << true << QList<double>{1, 2, 3, 4};
        QTest::newRow("three numbers") << QStringList{"1 2 3", "4 5"} << true << QList<double>{4, 5};
        QTest::newRow("heading and comment") << QStringList{"Level Flow", "1 2", "# 3 4", "5 6 ft"}
                                           << true << QList<double>{1, 2};
        QTest::newRow("unsorted kept in file order") << QStringList{"3 9", "1 1"} << true << QList<double>{3, 9, 1, 1};
        QTest::newRow("no valid point") << QStringList{"Level, Flow", ""} << true << QList<double>{};
        QTest::newRow("number out of range") << QStringList{"1 2", "1e999 3"} << false << QList<double>{};
    }
    void tableFile()
    {
        QFETCH(QStringList, lines);
        QFETCH(QList<double>, values);
        AppFolder app;
        QVERIFY(app.writeLines(QStringLiteral("t.tbl"), lines));
        RatingState rating;
        QTEST(LoadFlowTable(rating, QStringLiteral("t.tbl"), app.dir.path(), true), "loaded");
        QCOMPARE(FlowTablePointCount(rating), values.size() / 2);
        QCOMPARE(rating.FlowTable.front().Level, 0.0);
        for (int k = 0; k < values.size() / 2; ++k) {
            QCOMPARE(rating.FlowTable[k + 1].Level, values[2 * k]);
            QCOMPARE(rating.FlowTable[k + 1].Flow, values[2 * k + 1]);
        }
    }

    void missingFilesAreEmpty()
    {
        AppFolder app;
        RatingState rating;
        QVERIFY(LoadFlowTable(rating, TwoPointTable, app.dir.path(), true));
        QVERIFY(!LoadFlowTable(rating, QStringLiteral("."), app.dir.path(), true)); // a folder
        QCOMPARE(FlowTablePointCount(rating), 0);
        RatingCatalogue catalogue{RatingEntry{}};
        LoadRatingCatalogue(catalogue, app.path(QStringLiteral("none.lst")), app.dir.path(), true);
        QVERIFY(catalogue.empty());
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
        const QString folder = separator == QStringLiteral("/") ? QStringLiteral("/opt/app") : QStringLiteral("C:\\App");
        QTEST(ResolveTablePath(folder, path, separator.at(0)), "resolved");
    }

    // A later entry of a tag replaces an earlier one, tags match exactly, and a
    // table entry whose file has gone selects no table.
    void selectRating()
    {
        AppFolder app;
        const RatingCatalogue catalogue = app.load({
            "[A] \"First A\" E 0 1 2",
            "[A] \"Second A\" E 0.5 2 7",
            "[TB] \"Table\" F \"two.tbl\"",
        });
        QCOMPARE(catalogue.size(), size_t(3));
        RatingState rating;
        ClearFlowTable(rating);
        QVERIFY(SelectRating(rating, QStringLiteral("A"), catalogue, app.dir.path(), true));
        QCOMPARE(rating.RatingName, QStringLiteral("Second A"));
        QCOMPARE(rating.RatingOffset, 0.5);
        QCOMPARE(rating.RatingExponent, 2.0);
        QCOMPARE(rating.RatingMultiplier, 7.0);
        QVERIFY(!SelectRating(rating, QStringLiteral("a"), catalogue, app.dir.path(), true));
        QCOMPARE(rating.RatingName, QStringLiteral("- None -"));
        QCOMPARE(rating.RatingMultiplier, 0.0);
        QFile::remove(app.path(TwoPointTable));
        QVERIFY(!SelectRating(rating, QStringLiteral("TB"), catalogue, app.dir.path(), true));
        QCOMPARE(FlowTablePointCount(rating), 0);
    }

    // Free-flow discharges (cfs) of the standard ratings as tabulated in the
    // USBR Water Measurement Manual, three figures.
    void installedRatingsMatchPublishedFlows_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QList<double>>("heads");
        QTest::addColumn<QList<double>>("flows");
        const QList<double> parshallHeads{0.2, 0.5, 1.0, 1.5, 2.0, 2.5};
        const QList<double> parshallFlows{0.345, 1.39, 4.00, 7.41, 11.5, 16.1};
        QTest::newRow("Parshall 1 ft") << "flumes.lst" << "PF1FT" << parshallHeads << parshallFlows;
        const QList<double> vNotchHeads{0.3, 0.5, 0.8, 1.0, 1.5};
        const QList<double> vNotchFlows{0.126, 0.446, 1.43, 2.49, 6.81};
        QTest::newRow("90 degree V-notch, Cone") << "weirs.lst" << "V90CONE" << vNotchHeads << vNotchFlows;
        QTest::newRow("90 degree V-notch, Kindsvater-Shen") << "weirs.lst" << "V90KS" << vNotchHeads << vNotchFlows;
        QTest::newRow("90 degree V-notch, table") << "weirs.lst" << "V90TBL" << vNotchHeads << vNotchFlows;
        QTest::newRow("Parshall 3 in") << "flumes.lst" << "PF3IN" << QList<double>{0.2, 1.0, 1.8}
                                       << QList<double>{0.0823, 0.992, 2.46};
        QTest::newRow("Parshall 10 ft") << "flumes.lst" << "PF10FT" << QList<double>{1.0, 3.0}
                                        << QList<double>{39.4, 228.0};
    }
    void installedRatingsMatchPublishedFlows()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, tag);
        QFETCH(QList<double>, heads);
        QFETCH(QList<double>, flows);
        const QString data = QStringLiteral(BREVEL_SOURCE_DIR "/data");
        RatingCatalogue entries;
        LoadRatingCatalogue(entries, data + QLatin1Char('/') + catalogue, data, true);
        RatingState rating;
        ClearFlowTable(rating);
        QVERIFY(SelectRating(rating, tag, entries, data, true));
        LoggerSettings weir;
        weir.EngUnits[0] = QStringLiteral("Feet");
        weir.FlowMode = 3;
        for (int k = 0; k < heads.size(); ++k) {
            double velocity = 0.0;
            const double flow = ComputeFlow(weir, rating, heads[k], velocity);
            QVERIFY2(std::abs(flow / flows[k] - 1.0) < 0.01,
                     qPrintable(QStringLiteral("head %1: %2 cfs, published %3").arg(heads[k]).arg(flow).arg(flows[k])));
        }
    }
};

BREVEL_TEST(RatingCatalogueTest)
#include "tst_ratingcatalogue.moc"
