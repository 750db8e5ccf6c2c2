#include "SimCommandLine.h"
#include "TestRegistry.h"

#include <QRegularExpression>
#include <QTest>

namespace {

SimCommandLine Parse(const QString& arguments)
{
    QStringList list{QStringLiteral("brevel-logger-sim")};
    if (!arguments.isEmpty()) {
        list += arguments.split(QLatin1Char(' '));
    }
    return ParseSimCommandLine(list);
}

} // namespace

class SimCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void badValuesAreRefused_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no analog channel") << QStringLiteral("--analog 0") << QStringLiteral("--analog");
        QTest::newRow("too many records") << QStringLiteral("--records 2000001") << QStringLiteral("--records");
        QTest::newRow("name with a folder") << QStringLiteral("--name a/b") << QStringLiteral("--name");
        QTest::newRow("late range backwards") << QStringLiteral("--late-ms 400-200") << QStringLiteral("--late-ms");
        QTest::newRow("unknown answer") << QStringLiteral("--answer ring") << QStringLiteral("--answer");
        QTest::newRow("unknown option") << QStringLiteral("--demo") << QStringLiteral("demo");
    }
    void badValuesAreRefused()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, named);
        const SimCommandLine parsed = Parse(arguments);
        QVERIFY2(parsed.Error.contains(named), qPrintable(parsed.Error));
    }

    // The logger program searches its own command line for these; keeping
    // them out of the simulator's options avoids any confusion of the two.
    void noOptionLooksLikeTheProgramsOwn()
    {
        const SimCommandLine parsed = Parse(QStringLiteral("--help"));
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
