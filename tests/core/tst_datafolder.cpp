#include "TestRegistry.h"
#include "core/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An environment variable set for the life of the object.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const QString& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvironmentVariable()
    {
        if (wasSet_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const char* name_;
    bool wasSet_;
    QByteArray old_;
};

} // namespace

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
        QTest::newRow("build folder") << QStringList{"bin/flumes.lst", "share/brevel-flow-monitor/flumes.lst"}
                                      << "bin";
        QTest::newRow("installed") << QStringList{"share/brevel-flow-monitor/weirs.lst",
                                                  "system/brevel-flow-monitor/weirs.lst"}
                                   << "share/brevel-flow-monitor";
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
        const EnvironmentVariable dataDirs("XDG_DATA_DIRS", root.filePath(QStringLiteral("system")));
        const EnvironmentVariable dataHome("XDG_DATA_HOME", root.filePath(QStringLiteral("home")));
        const QString found = FindDataFolder(root.filePath(QStringLiteral("bin")));
        QCOMPARE(found, root.filePath(expected));
    }
};

BREVEL_TEST(DataFolderTest)
#include "tst_datafolder.moc"
