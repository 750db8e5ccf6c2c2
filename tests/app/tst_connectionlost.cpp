#include "MainWindowRig.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The real serial port, over a folder of virtual loggers of the test's own.
struct RealPort {
    QTemporaryDir loggers;
    PortDirectory ports{loggers.path()};
    QtSerialPort port{ports};
};

// The program over the real serial port and its own 100 ms ticks, talking to
// a brevel-logger-sim process that the test can kill.
struct Program : RealPort, MainWindowRig {
    Program() : MainWindowRig(&port, &ports, Time::Real) { startUp(); }

    // Starts a virtual logger and shows it where the program looks for them.
    std::unique_ptr<SimProcess> startLogger()
    {
        auto sim = std::make_unique<SimProcess>(
            QStringList{QStringLiteral("--records"), QStringLiteral("3000"), QStringLiteral("--baud"),
                        QStringLiteral("38400")});
        const QString link = loggers.filePath(QStringLiteral("river"));
        QFile::remove(link);
        QFile::link(sim->devicePath, link);
        return sim;
    }

    int lostMessages() const
    {
        int count = 0;
        for (const RecordingPrompter::Message& message : prompter.messages) {
            count += message.title == QLatin1String("Connection Lost") ? 1 : 0;
        }
        return count;
    }
};

enum class Moment { Idle, Download, Sampling };

} // namespace

Q_DECLARE_METATYPE(Moment)

// The logger goes away under the connected program: the program disconnects
// as Disconnect does, once the action that was running has ended, says so
// once, and connects again without a restart.
class ConnectionLostTest : public QObject {
    Q_OBJECT
private slots:
    void lostLoggerDisconnectsOnce_data()
    {
        QTest::addColumn<Moment>("moment");
        QTest::newRow("idle") << Moment::Idle;
        QTest::newRow("mid-download") << Moment::Download;
        QTest::newRow("mid-continuous-sampling") << Moment::Sampling;
    }
    void lostLoggerDisconnectsOnce()
    {
        QFETCH(Moment, moment);
        Program program;
        std::unique_ptr<SimProcess> logger = program.startLogger();
        QVERIFY(program.connect());
        QTRY_COMPARE(program.text("lblCommStatus"), QStringLiteral("Connected"));
        const auto kill = [&logger] { logger->process.kill(); };

        if (moment == Moment::Idle) {
            kill();
        } else if (moment == Moment::Sampling) {
            program.press("chkSampleContinuously");
            QTRY_VERIFY(program.session.Window.SamplingContinuously && program.session.Window.SampleCount >= 2);
            kill();
        } else {
            // Kills the logger once the first block is in, and closes the table.
            QTimer hand;
            QObject::connect(&hand, &QTimer::timeout, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                const QString name = modal ? modal->objectName() : QString();
                if (name == QLatin1String("frmGetHistoryData") && logger->process.state() == QProcess::Running
                    && modal->findChild<QLabel*>(QStringLiteral("lblGetHistoryData"))->text()
                           != QLatin1String("0 records")) {
                    kill();
                } else if (name == QLatin1String("frmHistory")) {
                    modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
                }
            });
            hand.start(10);
            program.press("cmdGetHistoryData");
            QVERIFY(program.prompter.messages.value(0).text.startsWith(QLatin1String("Error during retrieval.")));
        }

        QTRY_COMPARE_WITH_TIMEOUT(program.text("lblCommStatus"), QStringLiteral("Not Connected"), 5000);
        QCOMPARE(program.lostMessages(), 1);
        const RecordingPrompter::Message& message = program.prompter.messages.constLast();
        QCOMPARE(message.text, QStringLiteral("Error: the connection to the logger was lost."));
        QCOMPARE(message.icon, PromptIcon::Warning);
        QVERIFY(!program.session.Connection.Connected && !program.session.Connection.Busy);
        QVERIFY(!program.session.Window.SamplingContinuously);
        QVERIFY(!program.find<QCheckBox>("chkSampleContinuously")->isChecked());
        QCOMPARE(program.find<QPushButton>("cmdConnect")->text(), QStringLiteral("Connect"));
        for (const char* name : {"cmdConnect", "mnuConnect"}) {
            QVERIFY2(program.enabled(name), name);
        }
        for (const char* name : {"cmdGetSettings", "cmdGetHistoryData", "chkSampleContinuously", "mnuDisconnect"}) {
            QVERIFY2(!program.enabled(name), name);
        }
        QVERIFY(program.text("lblDateTime").isEmpty());
        QVERIFY(program.text("lblValue0").isEmpty());

        // Nothing more is said while the program goes on.
        int ticks = 0;
        QObject::connect(&program.timers, &TickSource::ticked, [&ticks](TickSource::Tick tick) {
            ticks += tick == TickSource::Tick::Status ? 1 : 0;
        });
        QTRY_VERIFY(ticks >= 5);
        QCOMPARE(program.lostMessages(), 1);

        logger = program.startLogger();
        QVERIFY(program.connect());
        QTRY_COMPARE(program.text("lblCommStatus"), QStringLiteral("Connected"));
    }
};

BREVEL_TEST(ConnectionLostTest)
#include "tst_connectionlost.moc"
