#include "TestRegistry.h"
#include "link/ModemCommands.h"

#include <QBuffer>
#include <QTest>

using Numbers = std::array<QString, 4>;
Q_DECLARE_METATYPE(Numbers)

namespace {

QStringList CommandsOf(const QByteArray& fileText)
{
    QBuffer file;
    file.setData(fileText);
    file.open(QIODevice::ReadOnly);
    return ModemCommandsFromFile(file);
}

} // namespace

class ModemCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void dialledNumberGoesToTheTopOnce_data()
    {
        QTest::addColumn<Numbers>("before");
        QTest::addColumn<QString>("number");
        QTest::addColumn<Numbers>("after");
        QTest::newRow("second moves up") << Numbers{"555-0199", "555-0100", "", ""} << "555-0100"
                                         << Numbers{"555-0100", "555-0199", "", ""};
        QTest::newRow("first stays") << Numbers{"1", "2", "3", "4"} << "1" << Numbers{"1", "2", "3", "4"};
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

    void commandOfALine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("command");
        QTest::newRow("plain") << "AT&F" << "AT&F";
        QTest::newRow("lower case") << "at&c1" << "AT&C1";
        QTest::newRow("padded") << "   ATS0=0   " << "ATS0=0";
        QTest::newRow("remark after a blank") << "ATS0=0 answer off" << "ATS0=0";
        QTest::newRow("remark after a semicolon") << "ATL0;quiet speaker" << "ATL0";
        QTest::newRow("remark line") << "; set up the modem" << "";
        QTest::newRow("blank line") << "" << "";
        QTest::newRow("blanks only") << "    " << "";
        QTest::newRow("tab ends the command") << "ATM0\tspeaker off" << "ATM0";
        QTest::newRow("tab-indented") << "\tATX4" << "ATX4";
    }
    void commandOfALine()
    {
        QFETCH(QString, line);
        QFETCH(QString, command);
        QCOMPARE(ModemCommandOfLine(line), command);
    }

    void commandListStartsWithTheReset_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("remarks and a blank line skipped")
            << QByteArray("AT&F\r\n; speaker settings follow\r\n\r\nATS0=0 never answer\r\n")
            << QStringList{"ATZ", "AT&F", "ATS0=0"};
        QTest::newRow("nothing usable") << QByteArray("; only a remark\n\n   \n") << QStringList{"ATZ"};
        QTest::newRow("empty file") << QByteArray() << QStringList{"ATZ"};
        QTest::newRow("last line without a line break") << QByteArray("ate0\nat&d2") << QStringList{"ATZ", "ATE0", "AT&D2"};
    }
    void commandListStartsWithTheReset()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, commands);
        QCOMPARE(CommandsOf(file), commands);
    }

    void fileCommandsStopAtTheLimit()
    {
        QByteArray file;
        for (int i = 0; i < MaxModemFileCommands + 10; ++i) {
            file += "ATS" + QByteArray::number(i) + "=1\r\n;remark\r\n";
        }
        const QStringList commands = CommandsOf(file);
        QCOMPARE(commands.size(), MaxModemFileCommands + 1);
        QCOMPARE(commands.constLast(), QStringLiteral("ATS255=1"));
    }

    void withoutAFileTheModemIsSetToEchoAndVerbose()
    {
        QCOMPARE(DefaultModemCommands(), (QStringList{"ATZ", "ATE1V1Q0"}));
    }
};

BREVEL_TEST(ModemCommandsTest)
#include "tst_modemcommands.moc"
