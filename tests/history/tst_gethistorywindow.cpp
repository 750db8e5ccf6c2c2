#include "RecordingPrompter.h"
#include "ScriptedHistoryLink.h"
#include "TestRegistry.h"
#include "history/ui/GetHistoryDataWindow.h"
#include "history/HistoryRecords.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

Q_DECLARE_METATYPE(GetHistoryDataWindow::State)

namespace {

struct DownloadRig {
    DownloadRig(int loggerRecords, uint32_t expected)
        : link(loggerRecords), download(link, records, 3, 2), window(download, expected, prompter, true)
    {
    }
    QString text(const char* name) const { return window.findChild<QLabel*>(name)->text(); }
    QPushButton* button(const char* name) const { return window.findChild<QPushButton*>(name); }
    // Shows the window and lets it run until it closes or waits for Okay.
    void run()
    {
        window.show();
        QTRY_VERIFY(window.state() != GetHistoryDataWindow::State::Starting);
        QTRY_VERIFY(!window.isVisible() || button("cmdOkay")->isEnabled());
    }

    ScriptedHistoryLink link;
    HistoryRecords records;
    HistoryDownload download;
    RecordingPrompter prompter;
    GetHistoryDataWindow window;
};

} // namespace

class GetHistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The upload-complete text waits for "Okay"; a count that differs from
    // the logger's record count read before the download is reported.
    void completionWaitsForOkay_data()
    {
        QTest::addColumn<int>("loggerRecords");
        QTest::addColumn<int>("reported");
        QTest::addColumn<QString>("warning");
        QTest::newRow("as reported") << 17 << 17 << QString();
        QTest::newRow("more than reported")
            << 17 << 10
            << "Warning: received 17 records, but the logger reported 10.\r\n"
               "Records may be missing or repeated; get the history again to be sure.";
        QTest::newRow("empty first block") << 0 << 5
                                           << "Warning: received 0 records, but the logger reported 5.\r\n"
                                              "Records may be missing or repeated; get the history again to be sure.";
    }
    void completionWaitsForOkay()
    {
        QFETCH(int, loggerRecords);
        QFETCH(int, reported);
        QFETCH(QString, warning);
        using F = ScriptedHistoryLink::Fault;
        DownloadRig rig(loggerRecords, uint32_t(reported));
        rig.link.faults = {F::None, F::ReplyLost, F::ReplyLost, F::ReplyLost};
        rig.run();
        QVERIFY(rig.window.isVisible());
        QCOMPARE(rig.window.state(), GetHistoryDataWindow::State::Running);
        QCOMPARE(rig.text("lblGetHistoryData"),
                 QStringLiteral("Upload complete: %1 records uploaded.").arg(loggerRecords));
        QVERIFY(!rig.button("cmdCancel")->isEnabled());
        // The bar's maximum grows to the count received when that is more.
        QCOMPARE(rig.window.findChild<QProgressBar*>("ProgressBar1")->maximum(), std::max(loggerRecords, reported));
        if (warning.isEmpty()) {
            QVERIFY(rig.prompter.messages.isEmpty());
            QCOMPARE(rig.text("lblRetries"), QStringLiteral("3 retries"));
        } else {
            QCOMPARE(rig.prompter.messages.size(), 1);
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Get History Data"));
            QCOMPARE(rig.prompter.messages[0].text, warning);
            QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Warning);
        }
        QTest::mouseClick(rig.button("cmdOkay"), Qt::LeftButton);
        QCOMPARE(rig.window.state(), GetHistoryDataWindow::State::Okay);
        QVERIFY(!rig.window.isVisible());
    }

    // Stop, Escape and the close box stop a running download and keep what
    // arrived; once it is complete, Escape and the close box acknowledge it.
    void stopOrAcknowledge_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("whileRunning");
        QTest::addColumn<GetHistoryDataWindow::State>("state");
        QTest::newRow("Stop while running") << "Stop" << true << GetHistoryDataWindow::State::Cancel;
        QTest::newRow("close box while running") << "close" << true << GetHistoryDataWindow::State::Cancel;
        QTest::newRow("Escape when complete") << "Escape" << false << GetHistoryDataWindow::State::Okay;
    }
    void stopOrAcknowledge()
    {
        QFETCH(QString, press);
        QFETCH(bool, whileRunning);
        QFETCH(GetHistoryDataWindow::State, state);
        DownloadRig rig(100, 100);
        const auto act = [&] {
            if (press == u"Stop") {
                QTest::mouseClick(rig.button("cmdCancel"), Qt::LeftButton);
            } else if (press == u"Escape") {
                QTest::keyClick(&rig.window, Qt::Key_Escape);
            } else {
                rig.window.close();
            }
        };
        rig.link.onRequest = [&](int n) {
            if (whileRunning && n == 2) {
                act();
                QVERIFY(rig.window.isVisible()); // until the block under way is stored
            }
        };
        rig.run();
        if (!whileRunning) {
            QVERIFY(rig.window.isVisible());
            act();
        }
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.window.state(), state);
        QCOMPARE(rig.records.count(), whileRunning ? 34 : 100);
        QCOMPARE(rig.prompter.messages.size(), whileRunning ? 1 : 0);
        if (whileRunning) {
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Get History Data"));
            QCOMPARE(rig.prompter.messages[0].text,
                     QStringLiteral("Retrieval cancelled by user. Received 34 records of 100 records."));
            QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Information);
        }
    }

    // An unexpected failure, trapped, ends the download as an error does.
    void trappedFailureEndsAsAnError()
    {
        DownloadRig rig(40, 40);
        rig.link.onRequest = [](int n) {
            if (n == 2) {
                throw std::runtime_error("port gone");
            }
        };
        rig.run();
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.window.state(), GetHistoryDataWindow::State::Running);
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].text,
                 QStringLiteral("Error during retrieval. Received 17 records of 40 records."));
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Error);
    }

    void bufferFullEndsAtTheCap()
    {
        DownloadRig rig(HistoryRecords::Capacity + 1, HistoryRecords::Capacity + 1);
        rig.run();
        QCOMPARE(rig.window.state(), GetHistoryDataWindow::State::Cancel);
        QCOMPARE(rig.records.count(), HistoryRecords::Capacity);
        QCOMPARE(rig.records.value(HistoryRecords::Capacity - 1, 0), uint16_t((HistoryRecords::Capacity - 1) & 0xFFFF));
        QVERIFY(!rig.records.appendRecord(QByteArray(14, '\0').constData()));
        QCOMPARE(rig.text("lblGetHistoryData"), QStringLiteral("200000 records"));
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].text, QStringLiteral("History buffer full: upload terminated."));
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Information);
    }
};

BREVEL_TEST(GetHistoryWindowTest)
#include "tst_gethistorywindow.moc"
