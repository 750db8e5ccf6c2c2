#include "SimCommandLine.h"
#include "TestRegistry.h"

#include <QRegularExpression>
#include <QTest>

class SimCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void badValuesAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no analog channel") << QStringList{"--analog", "0"} << "--analog";
        QTest::newRow("too many records") << QStringList{"--records", "2000001"} << "--records";
        QTest::newRow("name with a folder") << QStringList{"--name", "a/b"} << "--name";
        QTest::newRow("late range backwards") << QStringList{"--late-ms", "400-200"} << "--late-ms";
        QTest::newRow("unknown answer") << QStringList{"--answer", "ring"} << "--answer";
        QTest::newRow("unknown option") << QStringList{"--demo"} << "demo";
    }
    void badValuesAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const SimCommandLine parsed = ParseSimCommandLine(QStringList{"brevel-logger-sim"} + arguments);
        QVERIFY2(parsed.Error.contains(named), qPrintable(parsed.Error));
    }

    // The logger program searches its own command line for these; keeping
    // them out of the simulator's options avoids any confusion of the two.
    void noOptionLooksLikeTheProgramsOwn()
    {
        const SimCommandLine parsed = ParseSimCommandLine({"brevel-logger-sim", "--help"});
        QVERIFY(parsed.HelpRequested);
        const QRegularExpression option(QStringLiteral("--[a-z-]+"));
        int count = 0;
        for (const QRegularExpressionMatch& match : option.globalMatch(parsed.HelpText)) {
            const QString name = match.captured();
            ++count;
            for (const char* taken : {"-d", "-i", "-w"}) {
                QVERIFY2(!name.contains(QLatin1String(taken)), qPrintable(name));
            }
        }
        QVERIFY(count > 25);
    }
};

BREVEL_TEST(SimCommandLineTest)
#include "tst_simcommandline.moc"
