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
Q_DECLARE_METATYPE(PromptIcon)

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
        QTRY_VERIFY(window.CurrentState() != GetHistoryDataWindow::State::Starting);
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
    // The upload-complete text waits for "Okay" (or Escape); a count that
    // differs from the logger's record count read before the download is
    // reported.
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
        QTest::newRow("empty first block, Escape") << 0 << 5
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
        QCOMPARE(rig.window.CurrentState(), GetHistoryDataWindow::State::Running);
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
        if (loggerRecords == 0) {
            QTest::keyClick(&rig.window, Qt::Key_Escape);
        } else {
            QTest::mouseClick(rig.button("cmdOkay"), Qt::LeftButton);
        }
        QCOMPARE(rig.window.CurrentState(), GetHistoryDataWindow::State::Okay);
        QVERIFY(!rig.window.isVisible());
    }

    // Stop and the close box stop a running download and keep what arrived
    // (the window stays until the block under way is stored); a trapped
    // failure ends it as an error does, a full buffer at the cap.
    void endsEarly_data()
    {
        using S = GetHistoryDataWindow::State;
        QTest::addColumn<int>("loggerRecords");
        QTest::addColumn<QString>("press"); // at the second request
        QTest::addColumn<S>("state");
        QTest::addColumn<int>("received");
        QTest::addColumn<QString>("message");
        QTest::addColumn<PromptIcon>("icon");
        const QString cancelled = QStringLiteral("Retrieval cancelled by user. Received 34 records of 100 records.");
        QTest::newRow("Stop") << 100 << "Stop" << S::Cancel << 34 << cancelled << PromptIcon::Information;
        QTest::newRow("close box") << 100 << "close" << S::Cancel << 34 << cancelled << PromptIcon::Information;
        QTest::newRow("trapped failure") << 40 << "throw" << S::Running << 17
                                         << "Error during retrieval. Received 17 records of 40 records."
                                         << PromptIcon::Error;
        QTest::newRow("buffer full") << HistoryRecords::Capacity + 1 << "" << S::Cancel << HistoryRecords::Capacity
                                     << "History buffer full: upload terminated." << PromptIcon::Information;
    }
    void endsEarly()
    {
        QFETCH(int, loggerRecords);
        QFETCH(QString, press);
        QFETCH(GetHistoryDataWindow::State, state);
        QFETCH(int, received);
        QFETCH(QString, message);
        QFETCH(PromptIcon, icon);
        DownloadRig rig(loggerRecords, uint32_t(loggerRecords));
        rig.link.onRequest = [&](int n) {
            if (n != 2 || press.isEmpty()) {
                return;
            }
            if (press == u"throw") {
                throw std::runtime_error("port gone");
            }
            if (press == u"Stop") {
                QTest::mouseClick(rig.button("cmdCancel"), Qt::LeftButton);
            } else {
                rig.window.close();
            }
            QVERIFY(rig.window.isVisible());
        };
        rig.run();
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.window.CurrentState(), state);
        QCOMPARE(rig.records.Count(), received);
        QCOMPARE(rig.records.Value(received - 1, 0), uint16_t((received - 1) & 0xFFFF));
        QCOMPARE(rig.records.AppendRecord(QByteArray(14, '\0').constData()), received < HistoryRecords::Capacity);
        QCOMPARE(rig.text("lblGetHistoryData"), QStringLiteral("%1 records").arg(received));
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Get History Data"));
        QCOMPARE(rig.prompter.messages[0].text, message);
        QCOMPARE(rig.prompter.messages[0].icon, icon);
    }
};

BREVEL_TEST(GetHistoryWindowTest)
#include "tst_gethistorywindow.moc"
