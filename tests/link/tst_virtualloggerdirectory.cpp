#include "TestRegistry.h"
#include "link/VirtualLoggerDirectory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class VirtualLoggerDirectoryTest : public QObject {
    Q_OBJECT
private slots:
    void listsLiveLinksByNameAndSkipsDeadOnes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("river"))));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("bridge"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("dead"))));
        QFile plain(dir.filePath(QStringLiteral("notes")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();

        const QList<VirtualLoggerEntry> loggers = ListVirtualLoggers(dir.path());
        QCOMPARE(loggers.size(), 2);
        QCOMPARE(loggers.at(0).Name, QStringLiteral("bridge"));
        QCOMPARE(loggers.at(0).DevicePath, QStringLiteral("/dev/zero"));
        QCOMPARE(loggers.at(0).LinkPath, dir.filePath(QStringLiteral("bridge")));
        QCOMPARE(loggers.at(1).Name, QStringLiteral("river"));
    }

    void missingDirectoryListsNothing()
    {
        QVERIFY(ListVirtualLoggers(QStringLiteral("/nonexistent/brevel-logger-sim")).isEmpty());
    }
};

BREVEL_TEST(VirtualLoggerDirectoryTest)
#include "tst_virtualloggerdirectory.moc"
