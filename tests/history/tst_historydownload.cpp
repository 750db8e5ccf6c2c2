#include "ScriptedHistoryLink.h"
#include "TestRegistry.h"
#include "history/HistoryDownload.h"
#include "history/HistoryRecords.h"

#include <QTest>
#include <array>

namespace {

using F = ScriptedHistoryLink::Fault;
using Faults = std::vector<F>;
using Requests = std::vector<int>;

// `blocksFirst` blocks arrive, then `failures` replies in a row are lost.
Faults LostReplies(int blocksFirst, int failures)
{
    Faults faults(size_t(blocksFirst), F::None);
    faults.insert(faults.end(), size_t(failures), F::ReplyLost);
    return faults;
}

} // namespace

Q_DECLARE_METATYPE(HistoryDownloadEnd)

class HistoryDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void blockSizesFollowChannelCounts()
    {
        // analog and pulse channels, bytes a record, whole records in the 240 bytes of a block
        for (const auto& [analog, pulse, size, perBlock] :
             {std::array{3, 2, 14, 17}, std::array{3, 0, 10, 24}, std::array{8, 1, 22, 10}, std::array{8, 2, 24, 10}}) {
            ScriptedHistoryLink link(0);
            HistoryRecords records;
            HistoryDownload download(link, records, analog, pulse);
            QCOMPARE(download.RecordSize(), size);
            QCOMPARE(download.RecordsPerBlock(), perBlock);
        }
    }

    // The loop ends on a short or empty block. A failure is retried with a
    // repeat request, a hundred times in a row at most. A lost request
    // leaves the logger on the block stored last, so its repeat comes back;
    // a late reply brings back the block answered before in place of the
    // answer, which follows it. Neither is stored twice, and no block the
    // logger moved on to is skipped.
    // A repeat of the block stored last counts as a retry, unless it
    // answered a repeat request on a quiet line twice running. A block
    // claiming more records than fit is an error.
    void download_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<Requests>("requests"); // empty: not compared
        QTest::addColumn<int>("retries");
        QTest::addColumn<HistoryDownloadEnd>("end");
        QTest::addColumn<int>("received");
        const auto complete = HistoryDownloadEnd::Complete;
        QTest::newRow("0") << 0 << Faults{} << Requests{0} << 0 << complete << 0;
        QTest::newRow("16") << 16 << Faults{} << Requests{0} << 0 << complete << 16;
        QTest::newRow("17 asks once more") << 17 << Faults{} << Requests{0, 1} << 0 << complete << 17;
        QTest::newRow("34") << 34 << Faults{} << Requests{0, 1, 1} << 0 << complete << 34;
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
        QTest::newRow("100 at the start") << 20 << LostReplies(0, 100) << Requests{} << 100 << complete << 20;
        QTest::newRow("101 at the start") << 20 << LostReplies(0, 101) << Requests{} << 101
                                          << HistoryDownloadEnd::Error << 0;
        QTest::newRow("100 after a block") << 20 << LostReplies(1, 100) << Requests{} << 100 << complete << 20;
        QTest::newRow("101 after a block") << 20 << LostReplies(1, 101) << Requests{} << 101
                                           << HistoryDownloadEnd::Error << 17;
        QTest::newRow("18 records claimed") << 20 << Faults{F::ClaimsOneMore} << Requests{0} << 0
                                            << HistoryDownloadEnd::Error << 0;
    }
    void download()
    {
        QFETCH(int, count);
        QFETCH(Faults, faults);
        QFETCH(Requests, requests);
        QFETCH(int, retries);
        QFETCH(HistoryDownloadEnd, end);
        QFETCH(int, received);
        ScriptedHistoryLink link(count);
        link.faults.assign(faults.begin(), faults.end());
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        std::vector<int> retriesShown;
        download.OnRetry = [&](int total) { retriesShown.push_back(total); };
        QCOMPARE(download.Run(), end);
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
};

BREVEL_TEST(HistoryDownloadTest)
#include "tst_historydownload.moc"
