#include "TestRegistry.h"
#include "platform/FileFilter.h"
#include "platform/QtSettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

class FileFilterTest : public QObject {
    Q_OBJECT
private slots:
    void translatesPairs_data()
    {
        QTest::addColumn<QString>("pairs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one pair") << "Setup Files (*.set)|*.set" << "Setup Files (*.set)";
        QTest::newRow("two pairs") << "Comma Separated Value Files (*.csv)|*.csv|All Files (*.*)|*.*"
                                   << "Comma Separated Value Files (*.csv);;All Files (*.*)";
        QTest::newRow("patterns missing from the description")
            << "Tables|*.tbl;*.txt" << "Tables (*.tbl *.txt)";
        QTest::newRow("dangling description ignored") << "Setup Files (*.set)|*.set|Odd" << "Setup Files (*.set)";
    }
    void translatesPairs()
    {
        QFETCH(QString, pairs);
        QFETCH(QString, expected);
        QCOMPARE(QtFileFilter(pairs), expected);
    }

    void appendsDefaultExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typed without extension") << "/data/site4" << ".set" << "/data/site4.set";
        QTest::newRow("own extension kept") << "/data/site4.txt" << ".set" << "/data/site4.txt";
        QTest::newRow("dot in folder only") << "/data.v2/site4" << ".csv" << "/data.v2/site4.csv";
        QTest::newRow("trailing dot") << "/data/site4." << ".set" << "/data/site4.set";
        QTest::newRow("extension without dot") << "/data/site4" << "set" << "/data/site4.set";
        QTest::newRow("no default") << "/data/site4" << "" << "/data/site4";
    }
    void appendsDefaultExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, extension);
        QFETCH(QString, expected);
        QCOMPARE(WithDefaultExtension(path, extension), expected);
    }
};

class QtSettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void keepsValuesPerSectionAcrossInstances()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("store.ini"));
        {
            QtSettingsStore store(file);
            store.setValue(QStringLiteral("Brevel Logger"), QStringLiteral("Configuration"),
                           QStringLiteral("DirectPort"), QStringLiteral("COM9"));
        }
        QtSettingsStore again(file);
        QCOMPARE(again.value(QStringLiteral("Brevel Logger"), QStringLiteral("Configuration"),
                             QStringLiteral("DirectPort"), QStringLiteral("Com1")),
                 QStringLiteral("COM9"));
        QCOMPARE(again.value(QStringLiteral("Brevel Logger"), QStringLiteral("Other"), QStringLiteral("DirectPort"),
                             QStringLiteral("Com1")),
                 QStringLiteral("Com1"));
    }
};

BREVEL_TEST(FileFilterTest)
BREVEL_TEST(QtSettingsStoreTest)
#include "tst_platform.moc"
