#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "core/DataFolder.h"
#include "core/ErrorTrap.h"

#include <QScopeGuard>
#include <QTest>
#include <stdexcept>

// Where the program finds its catalogues and manual: beside it in a build
// folder, in the prefix's share folder once installed, else in the system's
// data folders ("system" here). "@" stands for the program's data subfolder.
class DataFolderTest : public QObject {
    Q_OBJECT
private slots:
    void findsTheFilesThatCameWithTheProgram_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build folder") << "bin/flumes.lst share/@/flumes.lst" << "bin";
        QTest::newRow("installed") << "share/@/weirs.lst system/@/weirs.lst" << "share/@";
        QTest::newRow("manual only") << "share/@/manual/BrevelFlowMonitor.html" << "share/@";
        QTest::newRow("system data folder") << "system/@/flumes.lst" << "system/@";
        QTest::newRow("nowhere") << "bin/vnotch90.tbl share/other/flumes.lst" << "bin";
    }
    void findsTheFilesThatCameWithTheProgram()
    {
        QFETCH(QString, files);
        QFETCH(QString, expected);
        const QString subfolder = QStringLiteral("brevel-flow-monitor");
        ScratchFolder prefix;
        for (const QString& file : files.replace(u'@', subfolder).split(u' ')) {
            QVERIFY(prefix.write(file, {}));
        }
        const QByteArray dirs = qgetenv("XDG_DATA_DIRS");
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_DATA_DIRS", dirs);
            qputenv("XDG_DATA_HOME", home);
        });
        qputenv("XDG_DATA_DIRS", QFile::encodeName(prefix.path(QStringLiteral("system"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(prefix.path(QStringLiteral("home"))));
        QCOMPARE(FindDataFolder(prefix.path(QStringLiteral("bin"))), prefix.path(expected.replace(u'@', subfolder)));
    }

    // With trapping on a failure takes the failure path; off, it propagates.
    void errorTrapping()
    {
        const auto fail = []() -> int { throw std::runtime_error("x"); };
        QCOMPARE(RunTrapped(true, fail, [] { return -1; }), -1);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, RunTrapped(false, fail, [] { return -1; }));
    }
};

BREVEL_TEST(DataFolderTest)
#include "tst_datafolder.moc"
