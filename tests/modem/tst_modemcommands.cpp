#include "TestRegistry.h"
#include "link/ModemCommands.h"

#include <QBuffer>
#include <QTest>

using Numbers = std::array<QString, 4>;
Q_DECLARE_METATYPE(Numbers)

class ModemCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void dialledNumberGoesToTheTopOnce_data()
    {
        QTest::addColumn<Numbers>("before");
        QTest::addColumn<QString>("number");
        QTest::addColumn<Numbers>("after");
        QTest::newRow("third moves up") << Numbers{"1", "2", "3", "4"} << "3" << Numbers{"3", "1", "2", "4"};
        QTest::newRow("fourth moves up without a copy") << Numbers{"1", "2", "3", "4"} << "4"
                                                        << Numbers{"4", "1", "2", "3"};
        QTest::newRow("new pushes the fourth out") << Numbers{"1", "2", "3", "4"} << "9"
                                                   << Numbers{"9", "1", "2", "3"};
        QTest::newRow("into an empty list") << Numbers{} << "555-0100" << Numbers{"555-0100", "", "", ""};
        QTest::newRow("exact comparison") << Numbers{"5550100", "555 0100", "", ""} << "555-0100"
                                          << Numbers{"555-0100", "5550100", "555 0100", ""};
    }
    void dialledNumberGoesToTheTopOnce()
    {
        QFETCH(Numbers, before);
        QFETCH(QString, number);
        QFETCH(Numbers, after);
        RememberModemNumber(before, number);
        QCOMPARE(before, after);
    }

    void commandFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("upper-cased, remarks after a blank, a semicolon or a tab")
            << QByteArray("at&c1\r\nATS0=0 answer off\r\nATL0;quiet\r\nATM0\tspeaker off\r\n")
            << QStringList{"ATZ", "AT&C1", "ATS0=0", "ATL0", "ATM0"};
        QTest::newRow("remark and blank lines skipped") << QByteArray("; set up\r\n\r\n    \r\nAT&F\r\n")
                                                        << QStringList{"ATZ", "AT&F"};
        QTest::newRow("empty file") << QByteArray() << QStringList{"ATZ"};
        QTest::newRow("last line without a line break") << QByteArray("ate0\nat&d2") << QStringList{"ATZ", "ATE0", "AT&D2"};
        QByteArray longFile;
        QStringList kept{"ATZ"};
        for (int i = 0; i < MaxModemFileCommands + 10; ++i) {
            const QByteArray command = "ATS" + QByteArray::number(i) + "=1";
            longFile += command + "\r\n;remark\r\n";
            if (i < MaxModemFileCommands) {
                kept.append(QString::fromLatin1(command));
            }
        }
        QTest::newRow("commands stop at the limit") << longFile << kept;
    }
    void commandFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, commands);
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(ModemCommandsFromFile(buffer), commands);
    }
};

BREVEL_TEST(ModemCommandsTest)
#include "tst_modemcommands.moc"
