#include "TestRegistry.h"
#include "app/CommandLine.h"
#include "core/ProgramOptions.h"

#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void appliesOptions_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("trapping");
        QTest::addColumn<bool>("initialise");
        QTest::addColumn<int>("modemTicks");
        QTest::newRow("none") << "" << true << false << 4;
        QTest::newRow("-d") << "-d" << false << false << 4;
        QTest::newRow("-D is not -d") << "-D" << true << false << 4;
        QTest::newRow("-d inside a word") << "/data/site-dump" << false << false << 4;
        QTest::newRow("-i") << "-i" << true << true << 4;
        QTest::newRow("-I is not -i") << "-I" << true << false << 4;
        QTest::newRow("upper-case W") << "-W7" << true << false << 7;
        QTest::newRow("blank before the number") << "-d -w 12" << false << false << 12;
        QTest::newRow("largest wait") << "-w32767" << true << false << 32767;
        QTest::newRow("text keeps 4") << "-wabc" << true << false << 4;
        QTest::newRow("beyond 16 bits keeps 4") << "-w70000" << true << false << 4;
        QTest::newRow("negative keeps 4") << "-w-3" << true << false << 4;
        QTest::newRow("option not last keeps 4") << "-w7 -i" << true << true << 4;
    }
    void appliesOptions()
    {
        QFETCH(QString, line);
        QFETCH(bool, trapping);
        QFETCH(bool, initialise);
        QFETCH(int, modemTicks);
        ProgramOptions state;
        state.ModemReplyTicks = 99; // a stale value must not survive
        ApplyCommandLine(line, state);
        QCOMPARE(state.ErrorTrapping, trapping);
        QCOMPARE(state.ForceInitialisation, initialise);
        QCOMPARE(int(state.ModemReplyTicks), modemTicks);
    }
};

BREVEL_TEST(CommandLineTest)
#include "tst_commandline.moc"
