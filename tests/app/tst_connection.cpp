#include "CloseWhile.h"
#include "ProgramRig.h"
#include "TestRegistry.h"
#include "app/MeterBar.h"
#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "link/FrameCodec.h"
#include "link/PortDirectory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Counts the logger's requests by command byte, on the way to the engine.
class CountingDevice : public SimDevice {
public:
    explicit CountingDevice(SimDevice& inner) : inner_(inner) {}
    Reply receive(const QByteArray& bytes) override
    {
        received += bytes;
        return inner_.receive(bytes);
    }
    void lineDropped() override { inner_.lineDropped(); }
    // A request frame: the start byte, the length, then the command byte.
    int requests(uint8_t command) const
    {
        int count = 0;
        for (qsizetype i = 0; i + 2 < received.size(); ++i) {
            if (uint8_t(received[i]) == Frame::Start && uint8_t(received[i + 2]) == command) {
                ++count;
            }
        }
        return count;
    }
    QByteArray received;

private:
    SimDevice& inner_;
};

// The virtual logger in process, with its requests counted.
struct SimLine {
    SimLine(const LoggerOptions& options, int latencyMs) : engine(options), device(engine), port(device, latencyMs) {}
    LoggerEngine engine;
    CountingDevice device;
    SimSerialPort port;
    QTemporaryDir virtualLoggers;
    PortDirectory ports{virtualLoggers.path()};
};

// The main window over the in-process virtual logger.
struct LoggerFixture : SimLine, ProgramRig {
    explicit LoggerFixture(const LoggerOptions& options = {}, const QString& commandLine = {}, int latencyMs = 0)
        : SimLine(options, latencyMs), ProgramRig(port, ports, commandLine)
    {
    }

    bool connect()
    {
        ProgramRig::connect();
        ticks(1); // the status tick enables what a connected logger allows
        return session.Connection.Connected;
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            controller.StatusTick();
        }
    }
};

// Every text a label shows on the screen, as it is painted.
class PaintedTexts : public QObject {
public:
    void watch(QLabel* label) { label->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        const QString text = static_cast<QLabel*>(object)->text();
        if (!text.isEmpty() && (texts.isEmpty() || texts.last() != text)) {
            texts << text;
        }
        return false;
    }
    QStringList texts;
};

QStringList Titles(const RecordingPrompter& prompter)
{
    QStringList titles;
    for (const auto& message : prompter.messages) {
        titles << message.title;
    }
    return titles;
}

} // namespace

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void connectReadsSettingsAndOneSample()
    {
        LoggerFixture f;
        f.engine.setLiveAnalogCount(0, 32768);
        f.engine.setLiveAnalogCount(1, 16384);
        f.engine.setLivePulseCount(0, 7);
        QVERIFY(f.connect());
        QVERIFY(f.prompter.messages.isEmpty());
        QVERIFY(!f.session.Connection.Busy);
        QCOMPARE(f.session.Window.SampleCount, int16_t{1});
        // Factory scaling: channel 1 Feet 0-100 and channel 2 Temp C 0-100
        // over 0-65535, two decimals; pulses count 1 each.
        QCOMPARE(f.ui().meters[0].lblValue->text(), QStringLiteral("50.00"));
        QCOMPARE(f.ui().meters[1].lblValue->text(), QStringLiteral("25.00"));
        QCOMPARE(f.ui().meters[0].lblUnits->text(), QStringLiteral("Feet"));
        QCOMPARE(f.ui().meters[0].lblMax->text(), QStringLiteral("100.00"));
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("7 Pulses"));
        QCOMPARE(f.ui().meters[0].lblHistory->text(), QStringLiteral("\r\n\r\n\r\n"));
        QCOMPARE(f.ui().lblWarmup->text(), QStringLiteral("3 sec"));

        f.ticks(1);
        QCOMPARE(f.ui().lblCommStatus->text(), QStringLiteral("Connected"));
        QCOMPARE(f.ui().lblCommStatus->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(f.ui().cmdConnect->text(), QStringLiteral("Disconnect"));
        QCOMPARE(f.ui().lblLoggerName->text(), QStringLiteral("Brevel Logger"));
        QVERIFY(f.ui().cmdGetSettings->isEnabled());
        QVERIFY(f.ui().mnuDisconnect->isEnabled());
        QVERIFY(!f.ui().mnuConnect->isEnabled());
        QVERIFY(f.ui().chkSampleContinuously->isEnabled());
        QVERIFY(f.ui().meters[0].lblValue->isVisible());
        QVERIFY(!f.ui().meters[0].fraColumn->fill().isEmpty());

        // A second Get Sample pushes the first reading down into the history.
        f.engine.setLiveAnalogCount(0, 0);
        f.ui().cmdGetSettings->click();
        QCOMPARE(f.ui().meters[0].lblValue->text(), QStringLiteral("0.00"));
        QCOMPARE(f.ui().meters[0].lblHistory->text(), QStringLiteral("50.00\r\n\r\n\r\n"));
    }

    void disconnectClearsTheLoggerTexts()
    {
        LoggerFixture f;
        QVERIFY(f.connect());
        f.ticks(1);
        f.ui().cmdConnect->click(); // no window: a disconnect
        QVERIFY(!f.session.Connection.Connected);
        QVERIFY(!f.port.isOpen());
        QVERIFY(f.ui().lblWarmup->text().isEmpty());
        f.ticks(1);
        QCOMPARE(f.ui().lblCommStatus->text(), QStringLiteral("Not Connected"));
        QVERIFY(f.ui().lblLoggerName->text().isEmpty());
        QVERIFY(!f.ui().cmdGetSettings->isEnabled());
        QVERIFY(f.ui().meters[0].fraColumn->fill().isEmpty());
        QVERIFY(f.connect()); // and back again
    }

    void wrongLoggerTypeIsRefused()
    {
        LoggerOptions options;
        options.AnalogChannels = 2;
        LoggerFixture f(options);
        QVERIFY(!f.connect());
        QCOMPARE(Titles(f.prompter), QStringList{"Wrong Logger Type"});
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Error);
        QVERIFY(f.prompter.messages[0].text.startsWith("Error: The Brevel Flow Monitor software only works correctly\r\n"));
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.session.Connection.Busy);
    }

    void uninitialisedMemoryCancelDisconnects()
    {
        LoggerOptions options;
        options.Initialised = false;
        LoggerFixture f(options);
        f.prompter.answers = {PromptAnswer::Cancel};
        QVERIFY(!f.connect());
        QCOMPARE(Titles(f.prompter), QStringList{"Initialization Required"});
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.session.Connection.Busy);
        QCOMPARE(f.device.requests(0x06), 0); // nothing was initialised
    }

    void forcedInitialisationAsksForAValidMemory()
    {
        LoggerFixture f(LoggerOptions{}, QStringLiteral("-i"));
        f.prompter.answers = {PromptAnswer::Cancel};
        QVERIFY(!f.connect());
        QCOMPARE(Titles(f.prompter), QStringList{"Initialization Required"});
    }

    void portThatWillNotOpenIsReported()
    {
        LoggerFixture f;
        f.port.pullCable();
        QVERIFY(!f.connect());
        QCOMPARE(Titles(f.prompter), QStringList{"Connect Error"});
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Warning);
        QCOMPARE(f.prompter.messages[0].text,
                 QStringLiteral("Error opening port.  If this port exists, it \r\nmay be in use by another application."));
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.session.Connection.Busy);
    }

    void noSampleReplyShowsNoSample()
    {
        LoggerOptions options;
        options.NoSamples = true;
        LoggerFixture f(options);
        QVERIFY(f.connect());
        QCOMPARE(f.ui().meters[0].lblValue->text(), QStringLiteral("No sample"));
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("no sample"));
        QCOMPARE(f.session.Meters[0].Value, 0.0); // the bar drops to EU low
    }

    void continuousSamplingDisablesTheActions()
    {
        LoggerFixture f;
        QVERIFY(f.connect());
        f.ticks(1);
        f.ui().mnuSampleContinuously->trigger();
        QVERIFY(f.ui().chkSampleContinuously->isChecked());
        f.ticks(1);
        QVERIFY(f.session.Window.SamplingContinuously);
        QVERIFY(!f.ui().cmdConnect->isEnabled());
        QVERIFY(!f.ui().cmdGetSettings->isEnabled());
        QVERIFY(!f.ui().mnuDisconnect->isEnabled());
        QVERIFY(f.ui().chkSampleContinuously->isEnabled());
        QVERIFY(f.ui().mnuSampleContinuously->isEnabled());

        const int16_t before = f.session.Window.SampleCount;
        const int reads = f.device.requests(0x0A);
        QTRY_VERIFY_WITH_TIMEOUT(f.device.requests(0x0A) >= reads + 2, 5000); // one a second
        QVERIFY(f.session.Window.SampleCount > before);

        f.ui().chkSampleContinuously->click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.session.Window.SamplingContinuously && !f.session.Connection.Busy, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(f.ui().cmdGetSettings->isEnabled(), 3000);
        QVERIFY(f.ui().cmdConnect->isEnabled());
    }

    void clicksDuringAWaitStartNoSecondExchange()
    {
        LoggerFixture f;
        QVERIFY(f.connect());
        const int settingsReads = f.device.requests(0x08);
        int nestedClicks = 0;
        // While Get Sample waits for its sample, the user clicks everything.
        QTimer clicker;
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            if (!f.session.Connection.Busy) {
                return;
            }
            ++nestedClicks;
            f.ui().cmdGetSettings->click();
            f.ui().cmdConnect->click();
            f.ui().mnuResetPulseAccs->trigger();
            f.ui().mnuClearHistory->trigger();
        });
        clicker.start(50);
        f.ui().cmdGetSettings->click();
        clicker.stop();
        QVERIFY(nestedClicks > 0);
        QCOMPARE(f.device.requests(0x08), settingsReads + 3); // the one read, in three blocks
        QCOMPARE(f.device.requests(0x0E), 0);
        QCOMPARE(f.device.requests(0x04), 0);
        QVERIFY(f.session.Connection.Connected);
        QVERIFY(f.prompter.messages.isEmpty());
    }

    // A logger that keeps silent on the sample commands: Get Sample still
    // gives up after 2.5 s, however long the sample exchanges wait meanwhile.
    // Time is counted in the 100 ms status ticks that ran, so that a loaded
    // machine cannot make the test fail.
    void getSampleGivesUpAfterTwoAndAHalfSeconds_data()
    {
        QTest::addColumn<QList<uint8_t>>("muted");
        QTest::newRow("read-sample ignored") << QList<uint8_t>{0x0A};
        QTest::newRow("start- and read-sample ignored") << QList<uint8_t>{0x09, 0x0A};
    }
    void getSampleGivesUpAfterTwoAndAHalfSeconds()
    {
        QFETCH(QList<uint8_t>, muted);
        LoggerOptions options;
        options.MutedCommands = muted;
        LoggerFixture f(options);
        QVERIFY(f.connect());
        const int16_t count = f.session.Window.SampleCount;
        int ticks = 0;
        QObject::connect(&f.controller.StatusTimer(), &QTimer::timeout, [&ticks] { ++ticks; });
        QElapsedTimer clock;
        clock.start();
        f.ui().cmdGetSettings->click();
        qInfo("Get Sample took %lld ms, %d status ticks", clock.elapsed(), ticks);
        QVERIFY2(ticks >= 24 && ticks <= 27, qPrintable(QString::number(ticks)));
        QCOMPARE(f.session.Window.SampleCount, count);
        QCOMPARE(f.ui().lblWarmup->text(), QStringLiteral("3 sec")); // the settings were read
        QVERIFY(!f.session.Connection.Busy);
        QVERIFY(!f.session.Window.AwaitingSample);
    }

    void synchronizeTimeAsksFirst()
    {
        LoggerFixture f;
        f.prompter.answers = {PromptAnswer::Yes};
        f.controller.SynchronizeTime(); // disconnected: the question, nothing else
        QCOMPARE(Titles(f.prompter), QStringList{"Synchronize Time"});
        QCOMPARE(f.prompter.messages[0].icon, PromptIcon::Information);
        QCOMPARE(f.prompter.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f.device.requests(0x01), 0);

        QVERIFY(f.connect());
        f.prompter.answers = {PromptAnswer::No};
        f.ui().cmdSynchronizeTime->click();
        QCOMPARE(f.device.requests(0x01), 0);
        f.prompter.answers = {PromptAnswer::Yes};
        f.ui().cmdSynchronizeTime->click();
        QCOMPARE(f.device.requests(0x01), 1);
        QVERIFY(!f.session.Status.LoggerTimeText.isEmpty());
        QVERIFY(!f.session.Connection.Busy);
    }

    void clearHistoryOnlyOnYes()
    {
        LoggerFixture f;
        QVERIFY(f.connect());
        f.prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
        f.ui().cmdClearMemory->click();
        QCOMPARE(f.device.requests(0x04), 0);
        f.ui().cmdClearMemory->click();
        QCOMPARE(f.device.requests(0x04), 1);
        QCOMPARE(f.prompter.messages[1].text, QStringLiteral("Are you sure you want to erase the history buffer?"));
        QCOMPARE(f.prompter.messages[1].icon, PromptIcon::Question);
        QCOMPARE(f.prompter.messages[1].defaultAnswer, PromptAnswer::No);
        QVERIFY(!f.session.Connection.Busy);
    }

    void resetPulseAccumulatorsZeroesThePulseLabels()
    {
        LoggerFixture f;
        f.engine.setLivePulseCount(0, 40);
        QVERIFY(f.connect());
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("40 Pulses"));
        f.ui().mnuResetPulseAccs->trigger();
        QCOMPARE(f.device.requests(0x0E), 1);
        QCOMPARE(f.ui().lblPulseValue1->text(), QStringLiteral("0 Pulses"));
    }

    // The user closes the main window in the middle of an exchange: the
    // program ends at once, the settings are written once and the port is
    // closed with DTR dropped.
    void closingEndsTheProgramAtAnyMoment_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::newRow("waiting for the sample") << "sample";
        QTest::newRow("reading the settings") << "settings";
        QTest::newRow("downloading the history") << "download";
        QTest::newRow("waking the logger") << "wake";
    }
    void closingEndsTheProgramAtAnyMoment()
    {
        QFETCH(QString, moment);
        LoggerOptions options;
        options.AnswersWakeUp = moment != u"wake";
        options.HistoryRecords = 2000;
        LoggerFixture f(options, QString(), moment == u"settings" ? 200 : 0);
        QPushButton* start = f.ui().cmdConnect;
        if (moment != u"wake") {
            QVERIFY(f.connect());
            start = moment == u"download" ? f.ui().cmdGetHistoryData : f.ui().cmdGetSettings;
        }
        const int settingsReads = f.device.requests(0x08);
        const auto busy = [&] {
            const QWidget* modal = QApplication::activeModalWidget();
            if (moment == u"sample") {
                return f.session.Window.AwaitingSample;
            }
            if (moment == u"settings") {
                return f.device.requests(0x08) > settingsReads;
            }
            if (moment == u"download") {
                return modal && modal->objectName() == u"frmGetHistoryData" && f.session.History.count() > 0;
            }
            const QLabel* progress = modal ? modal->findChild<QLabel*>(QStringLiteral("lblProgress")) : nullptr;
            return progress && progress->text().contains(u"attempt");
        };
        f.store.writtenKeys.clear();
        const auto click = [&] {
            if (moment == u"wake") {
                f.pressInNextModal(QStringLiteral("cmdConnect"));
            }
            start->click();
        };
        const qint64 ms = CloseWhile(f.window, click, busy,
                                     [&] { f.session.Window.AwaitingSample = false; });
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(f.store.writtenKeys.size(), 15);
        QVERIFY(!f.port.isOpen());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // While an attempt runs the window says what it is doing, on the screen
    // at once; Cancel ends the attempt after the current wake-up try.
    void connectionWindowShowsProgressAndCancelStopsIt()
    {
        LoggerOptions options;
        options.AnswersWakeUp = false;
        LoggerFixture f(options);
        PaintedTexts shown;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            if (auto* progress = window->findChild<QLabel*>(QStringLiteral("lblProgress"))) {
                shown.watch(progress);
            }
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdConnect")), Qt::LeftButton);
        });
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            QWidget* window = QApplication::activeModalWidget();
            auto* progress = window ? window->findChild<QLabel*>(QStringLiteral("lblProgress")) : nullptr;
            if (progress && progress->text().contains(u"attempt 2 of 10")) {
                QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            }
        });
        watcher.start(10);
        QElapsedTimer clock;
        clock.start();
        f.ui().cmdConnect->click();
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!f.session.Connection.Connected);
        QCOMPARE(shown.texts, QStringList({"Opening COM1\u2026", "Waking the logger (attempt 1 of 10)\u2026",
                                           "Waking the logger (attempt 2 of 10)\u2026", "Cancelling\u2026"}));
        QCOMPARE(Titles(f.prompter), QStringList{"Connect Error"});
        QVERIFY(!f.port.isOpen());
    }

    // A logger started while the window is open is offered as soon as the
    // port list is opened.
    void portListLooksAgainWhenOpened()
    {
        LoggerFixture f;
        QTemporaryDir devices;
        QFile device(devices.filePath(QStringLiteral("pts9")));
        QVERIFY(device.open(QIODevice::WriteOnly));
        QStringList before;
        QStringList after;
        QString chosenBefore;
        QString chosenAfter;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            auto* ports = window->findChild<QComboBox*>(QStringLiteral("cmbPort1"));
            for (int i = 0; i < ports->count(); ++i) {
                before << ports->itemText(i);
            }
            chosenBefore = ports->currentText();
            QFile::link(device.fileName(), f.virtualLoggers.filePath(QStringLiteral("late")));
            QTest::mouseClick(ports, Qt::LeftButton);
            for (int i = 0; i < ports->count(); ++i) {
                after << ports->itemText(i);
            }
            chosenAfter = ports->currentText();
            ports->hidePopup();
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        f.ui().cmdConnect->click();
        QVERIFY(before.filter(QStringLiteral("Virtual logger late")).isEmpty());
        QCOMPARE(after.filter(QStringLiteral("Virtual logger late")).size(), 1);
        QCOMPARE(chosenAfter, chosenBefore);
    }
};

BREVEL_TEST(ConnectionTest)
#include "tst_connection.moc"
