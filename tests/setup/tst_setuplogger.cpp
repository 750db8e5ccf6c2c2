#include "LoggerEngine.h"
#include "SetupRig.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "link/ReplyTicker.h"
#include "setup/LoggerSetupLink.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

LoggerOptions QuickLogger()
{
    LoggerOptions options;
    options.HistoryRecords = 0;
    options.InitialiseMs = 0;
    return options;
}

// The setup window over a virtual logger in this process, opened as the
// main window opens it: after a settings read, the line free.
struct LoggerRig {
    LoggerEngine engine{QuickLogger()};
    SimSerialPort port{engine};
    SetupRig rig;
    LoggerStatus status;
    LoggerLink link{port, rig.state, rig.options};
    ReplyTicker ticker{link};
    LoggerCommands commands{link, status, rig.settings, rig.rating};
    LoggerSetupLink setupLink{commands};

    LoggerRig()
    {
        ticker.start();
        rig.state.ReplyTicks = 10;
        rig.link = &setupLink;
    }

    bool connect()
    {
        if (!link.OpenPort(1, QStringLiteral("38400,N,8,1")) || !commands.ReadIdentification() ||
            !commands.ReadSettings()) {
            return false;
        }
        rig.state.Connected = true;
        return true;
    }
};

} // namespace

class SetupLoggerTest : public QObject {
    Q_OBJECT
private slots:
    void aLostLoggerIsReportedAndNothingCountsAsProgrammed()
    {
        LoggerRig l;
        QVERIFY(l.connect());
        SetupWindow& w = l.rig.open();
        const auto before = w.LoggerImage();
        l.rig.control<QLineEdit>("txtName")->setText("Lost 1");
        l.port.pullCable();
        l.rig.prompter.answers = {PromptAnswer::Yes};
        l.rig.control<QPushButton>("cmdOK")->click();
        QCOMPARE(l.rig.titles(), QStringList({"Program Settings", "Program Settings"}));
        QCOMPARE(l.rig.prompter.messages[1].text, QString("Error: programming not completed successfully."));
        QCOMPARE(w.LoggerImage(), before);
        QVERIFY(!l.rig.state.Busy);
        QVERIFY(l.rig.control("cmdCancel")->isEnabled());
    }
};

BREVEL_TEST(SetupLoggerTest)
#include "tst_setuplogger.moc"
