#include "TestRegistry.h"
#include "core/DataFolder.h"
#include "core/ErrorTrap.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

// Where the program finds its catalogues and manual: beside it in a build
// folder, in the prefix's share folder once installed, else in the system's
// data folders.
class DataFolderTest : public QObject {
    Q_OBJECT
private slots:
    void findsTheFilesThatCameWithTheProgram_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build folder") << QStringList{"bin/flumes.lst", "share/brevel-flow-monitor/flumes.lst"} << "bin";
        QTest::newRow("installed") << QStringList{"share/brevel-flow-monitor/weirs.lst",
                                                  "system/brevel-flow-monitor/weirs.lst"} << "share/brevel-flow-monitor";
        QTest::newRow("manual only") << QStringList{"share/brevel-flow-monitor/manual/BrevelFlowMonitor.html"}
                                     << "share/brevel-flow-monitor";
        QTest::newRow("system data folder") << QStringList{"system/brevel-flow-monitor/flumes.lst"}
                                            << "system/brevel-flow-monitor";
        QTest::newRow("nowhere") << QStringList{"bin/vnotch90.tbl", "share/other/flumes.lst"} << "bin";
    }
    void findsTheFilesThatCameWithTheProgram()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        for (const QString& file : files) {
            QVERIFY(root.mkpath(QFileInfo(root.filePath(file)).path()));
            QFile f(root.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        // The system's data folders, here only the test's own.
        const QByteArray dirs = qgetenv("XDG_DATA_DIRS");
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_DATA_DIRS", dirs);
            qputenv("XDG_DATA_HOME", home);
        });
        qputenv("XDG_DATA_DIRS", QFile::encodeName(root.filePath(QStringLiteral("system"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
        QCOMPARE(FindDataFolder(root.filePath(QStringLiteral("bin"))), root.filePath(expected));
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
