#include "RecordingPrompter.h"
#include "TestRegistry.h"
#include "history/HistoryDownload.h"
#include "history/HistoryRecords.h"
#include "history/ui/GetHistoryDataWindow.h"

#include <QByteArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtEndian>
#include <QTest>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Stands in for LinkHistoryBlocks, tested over the virtual logger in tst_gethistoryaction: 14-byte records
// (3 analog, 2 pulse), record i packing the time 7i + 1 and the value i, a scripted fault on each request.
// A stale reply is the block answered before, arriving late in place of this answer, which comes after it.
class ScriptedHistoryLink : public HistoryBlockLink {
public:
    enum class Fault { None, RequestLost, ReplyLost, StaleReply, ClaimsOneMore };

    explicit ScriptedHistoryLink(int recordCount) : recordCount_(recordCount) {}

    bool ReadHistoryBlock(int k, QByteArray& block) override
    {
        requests.push_back(k);
        onRequest(int(requests.size()));
        const Fault fault = requests.size() <= faults.size() ? faults[requests.size() - 1] : Fault::None;
        if (fault == Fault::RequestLost) {
            return false;
        }
        if (k == 0) {
            next_ = 0;
        }
        if (k != 2) {
            const int n = std::min(17, recordCount_ - next_);
            current_ = QByteArray(241, '\0');
            current_[0] = char(n);
            for (int r = 0; r < n; ++r, ++next_) {
                char* record = current_.data() + 1 + r * 14;
                qToLittleEndian(uint32_t(next_) * 7 + 1, record);
                qToBigEndian(uint16_t(next_), record + 4);
            }
        }
        if (fault == Fault::ReplyLost) {
            return false;
        }
        block = fault == Fault::StaleReply ? answered_ : current_;
        // The bytes after the records are whatever the logger's buffer holds as it sends.
        block[240] = char(requests.size());
        freshReplyComing_ = fault == Fault::StaleReply;
        answered_ = current_;
        if (fault == Fault::ClaimsOneMore) {
            block[0] = char(block[0] + 1);
        }
        return true;
    }
    bool Settle() override { return !std::exchange(freshReplyComing_, false); }

    std::vector<Fault> faults; // one a request, in order
    // Runs at each request, as clicks run inside the link's waits.
    std::function<void(int requestNumber)> onRequest = [](int) {};
    std::vector<int> requests;

private:
    int recordCount_;
    int next_ = 0;
    QByteArray current_;
    QByteArray answered_; // the block of the last reply sent
    bool freshReplyComing_ = false;
};

using F = ScriptedHistoryLink::Fault;
using Faults = std::vector<F>;
using Requests = std::vector<int>;

} // namespace

Q_DECLARE_METATYPE(HistoryDownloadEnd)
Q_DECLARE_METATYPE(GetHistoryDataWindow::State)
Q_DECLARE_METATYPE(PromptIcon)

class HistoryDownloadTest : public QObject {
    Q_OBJECT
private slots:
    // The loop ends on a short or empty block; a failure is retried with a repeat request, a hundred times in a
    // row at most. A lost request or a late reply brings back a block already stored: it is not stored twice, and
    // no block the logger moved on to is skipped. It is a retry unless it answered a repeat request on a quiet line.
    void download_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<Requests>("requests"); // empty: not compared
        QTest::addColumn<int>("retries");
        QTest::addColumn<HistoryDownloadEnd>("end");
        QTest::addColumn<int>("received");
        const auto complete = HistoryDownloadEnd::Complete;
        const auto error = HistoryDownloadEnd::Error;
        QTest::newRow("16") << 16 << Faults{} << Requests{0} << 0 << complete << 16;
        QTest::newRow("17 asks once more") << 17 << Faults{} << Requests{0, 1} << 0 << complete << 17;
        QTest::newRow("lost replies") << 40 << Faults{F::None, F::ReplyLost, F::ReplyLost, F::ReplyLost, F::None,
                                                      F::ReplyLost}
                                      << Requests{0, 1, 2, 2, 2, 1, 2} << 4 << complete << 40;
        QTest::newRow("lost requests")
            << 60
            << Faults{F::RequestLost, F::None, F::RequestLost, F::None, F::RequestLost, F::RequestLost, F::None,
                      F::RequestLost, F::None, F::None, F::ReplyLost, F::None}
            << Requests{0, 0, 1, 2, 2, 2, 2, 1, 2, 2, 1, 2, 1, 1} << 8 << complete << 60;
        QTest::newRow("stale reply to a next request")
            << 60 << Faults{F::None, F::StaleReply} << Requests{0, 1, 2, 1, 1} << 1 << complete << 60;
        QTest::newRow("stale reply to a repeat request") << 60 << Faults{F::None, F::ReplyLost, F::StaleReply}
                                                          << Requests{0, 1, 2, 2, 1, 1} << 2 << complete << 60;
        Faults afterABlock(102, F::ReplyLost);
        afterABlock.front() = F::None;
        QTest::newRow("100 at the start") << 20 << Faults(100, F::ReplyLost) << Requests{} << 100 << complete << 20;
        QTest::newRow("101 after a block") << 20 << afterABlock << Requests{} << 101 << error << 17;
        QTest::newRow("18 records claimed") << 20 << Faults{F::ClaimsOneMore} << Requests{0} << 0 << error << 0;
    }
    void download()
    {
        QFETCH(int, count);
        QFETCH(Faults, faults);
        QFETCH(Requests, requests);
        QFETCH(int, retries);
        QFETCH(int, received);
        ScriptedHistoryLink link(count);
        link.faults = faults;
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        std::vector<int> retriesShown;
        download.OnRetry = [&](int total) { retriesShown.push_back(total); };
        QTEST(download.Run(), "end");
        QCOMPARE(records.Count(), received);
        for (int i = 0; i < received; ++i) {
            QCOMPARE(records.Value(i, 0), uint16_t(i));
            QCOMPARE(records.PackedTime(i), uint32_t(i) * 7 + 1);
        }
        if (!requests.empty()) {
            QCOMPARE(link.requests, requests);
        }
        QCOMPARE(download.TotalRetries(), retries);
        // The failure past the hundredth ends the download instead.
        const int shown = std::min(retries, 100);
        QCOMPARE(int(retriesShown.size()), shown);
        QCOMPARE(retriesShown.empty() ? 0 : retriesShown.back(), shown);
    }

    // A complete upload waits for "Okay" (or Escape), warning of a count other than the logger's; Stop keeps what
    // arrived once the block under way is stored; a trapped failure ends as an error does, a full buffer at the cap.
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
        const QString mismatch =
            QStringLiteral("Warning: received %1 records, but the logger reported %2.\r\n"
                           "Records may be missing or repeated; get the history again to be sure.");
        const QString cancelled = QStringLiteral("Retrieval cancelled by user. Received 34 records of 100 records.");
        QTest::newRow("more than reported")
            << 17 << 10 << "Okay" << S::Okay << 17 << mismatch.arg(17).arg(10) << PromptIcon::Warning;
        QTest::newRow("empty first block, Escape")
            << 0 << 5 << "Escape" << S::Okay << 0 << mismatch.arg(0).arg(5) << PromptIcon::Warning;
        QTest::newRow("Stop") << 100 << 100 << "Stop" << S::Cancel << 34 << cancelled << PromptIcon::Information;
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
        QFETCH(int, received);
        QFETCH(QString, message);
        ScriptedHistoryLink link(loggerRecords);
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        RecordingPrompter prompter;
        GetHistoryDataWindow window(download, uint32_t(reported), prompter, true);
        const bool completes = press == u"Okay" || press == u"Escape";
        link.faults = completes ? Faults{F::None, F::ReplyLost, F::ReplyLost, F::ReplyLost} : Faults{};
        link.onRequest = [&](int n) {
            if (n == 2 && press == u"throw") {
                throw std::runtime_error("port gone");
            }
            if (n == 2 && press == u"Stop") {
                QTest::mouseClick(window.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
                QVERIFY(window.isVisible());
            }
        };
        window.show();
        QTRY_VERIFY(!window.isVisible() || window.findChild<QPushButton*>("cmdOkay")->isEnabled());
        QCOMPARE(prompter.messages.size(), message.isEmpty() ? 0 : 1);
        // The boxes' title is the journey's.
        for (const RecordingPrompter::Message& shown : prompter.messages) {
            QCOMPARE(shown.text, message);
            QTEST(shown.icon, "icon");
        }
        if (completes) {
            QCOMPARE(window.CurrentState(), GetHistoryDataWindow::State::Running);
            QCOMPARE(window.findChild<QLabel*>("lblRetries")->text(), QString(received > 0 ? "3 retries" : ""));
            // The bar's maximum grows to the count received when that is more.
            QCOMPARE(window.findChild<QProgressBar*>("ProgressBar1")->maximum(), std::max(received, reported));
            if (press == u"Escape") {
                QTest::keyClick(&window, Qt::Key_Escape);
            } else {
                QTest::mouseClick(window.findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
            }
        }
        QVERIFY(!window.isVisible());
        QTEST(window.CurrentState(), "state");
        QCOMPARE(records.Count(), received);
        const QString count = completes ? "Upload complete: %1 records uploaded." : "%1 records";
        QCOMPARE(window.findChild<QLabel*>("lblGetHistoryData")->text(), count.arg(received));
    }
};

BREVEL_TEST(HistoryDownloadTest)
#include "tst_historydownload.moc"
