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
    // reported. Stop and the close box stop a running download and keep what
    // arrived (the window stays until the block under way is stored); a
    // trapped failure ends it as an error does, a full buffer at the cap.
    void runsToItsEnd_data()
    {
        using S = GetHistoryDataWindow::State;
        QTest::addColumn<int>("loggerRecords");
        QTest::addColumn<int>("reported");
        QTest::addColumn<QString>("press"); // Okay and Escape at the end, the others at the second request
        QTest::addColumn<S>("state");
        QTest::addColumn<int>("received");
        QTest::addColumn<QString>("message");
        QTest::addColumn<PromptIcon>("icon");
        const QString mismatch = QStringLiteral("Warning: received %1 records, but the logger reported %2.\r\n"
                                                "Records may be missing or repeated; get the history again to be sure.");
        const QString cancelled = QStringLiteral("Retrieval cancelled by user. Received 34 records of 100 records.");
        QTest::newRow("as reported") << 17 << 17 << "Okay" << S::Okay << 17 << "" << PromptIcon::Warning;
        QTest::newRow("more than reported")
            << 17 << 10 << "Okay" << S::Okay << 17 << mismatch.arg(17).arg(10) << PromptIcon::Warning;
        QTest::newRow("empty first block, Escape")
            << 0 << 5 << "Escape" << S::Okay << 0 << mismatch.arg(0).arg(5) << PromptIcon::Warning;
        QTest::newRow("Stop") << 100 << 100 << "Stop" << S::Cancel << 34 << cancelled << PromptIcon::Information;
        QTest::newRow("close box") << 100 << 100 << "close" << S::Cancel << 34 << cancelled << PromptIcon::Information;
        QTest::newRow("trapped failure") << 40 << 40 << "throw" << S::Running << 17
                                         << "Error during retrieval. Received 17 records of 40 records."
                                         << PromptIcon::Error;
        QTest::newRow("buffer full") << HistoryRecords::Capacity + 1 << HistoryRecords::Capacity + 1 << ""
                                     << S::Cancel << HistoryRecords::Capacity
                                     << "History buffer full: upload terminated." << PromptIcon::Information;
    }
    void runsToItsEnd()
    {
        QFETCH(int, loggerRecords);
        QFETCH(int, reported);
        QFETCH(QString, press);
        QFETCH(GetHistoryDataWindow::State, state);
        QFETCH(int, received);
        QFETCH(QString, message);
        QFETCH(PromptIcon, icon);
        using F = ScriptedHistoryLink::Fault;
        DownloadRig rig(loggerRecords, uint32_t(reported));
        const bool completes = press == u"Okay" || press == u"Escape";
        if (completes) {
            rig.link.faults = {F::None, F::ReplyLost, F::ReplyLost, F::ReplyLost};
        }
        rig.link.onRequest = [&](int n) {
            if (n != 2 || completes || press.isEmpty()) {
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
        QCOMPARE(rig.prompter.messages.size(), message.isEmpty() ? 0 : 1);
        for (const RecordingPrompter::Message& shown : rig.prompter.messages) {
            QCOMPARE(shown.title, QStringLiteral("Get History Data"));
            QCOMPARE(shown.text, message);
            QCOMPARE(shown.icon, icon);
        }
        if (completes) {
            QCOMPARE(rig.window.CurrentState(), GetHistoryDataWindow::State::Running);
            QCOMPARE(rig.text("lblGetHistoryData"), QStringLiteral("Upload complete: %1 records uploaded.").arg(received));
            QCOMPARE(rig.text("lblRetries"), received > 0 ? QStringLiteral("3 retries") : QString());
            QVERIFY(!rig.button("cmdCancel")->isEnabled());
            // The bar's maximum grows to the count received when that is more.
            QCOMPARE(rig.window.findChild<QProgressBar*>("ProgressBar1")->maximum(), std::max(received, reported));
            if (press == u"Escape") {
                QTest::keyClick(&rig.window, Qt::Key_Escape);
            } else {
                QTest::mouseClick(rig.button("cmdOkay"), Qt::LeftButton);
            }
        }
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.window.CurrentState(), state);
        QCOMPARE(rig.records.Count(), received);
        if (!completes) {
            QCOMPARE(rig.text("lblGetHistoryData"), QStringLiteral("%1 records").arg(received));
            QCOMPARE(rig.records.Value(received - 1, 0), uint16_t((received - 1) & 0xFFFF));
            QCOMPARE(rig.records.AppendRecord(QByteArray(14, '\0').constData()), received < HistoryRecords::Capacity);
        }
    }
};

BREVEL_TEST(GetHistoryWindowTest)
#include "tst_gethistorywindow.moc"
