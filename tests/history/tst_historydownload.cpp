#include "ScriptedHistoryLink.h"
#include "TestRegistry.h"
#include "history/HistoryDownload.h"
#include "history/HistoryRecords.h"

#include <QTest>

namespace {

// The record number the scripted logger put into the first value.
bool HoldsRecordsInOrder(const HistoryRecords& records, int expected)
{
    if (records.count() != expected) {
        return false;
    }
    for (int i = 0; i < expected; ++i) {
        if (records.value(i, 0) != uint16_t(i) || records.packedTime(i) != uint32_t(i) * 7 + 1) {
            return false;
        }
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(HistoryDownloadEnd)
Q_DECLARE_METATYPE(std::vector<ScriptedHistoryLink::Fault>)

class HistoryDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void blockSizesFollowChannelCounts_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("perBlock");
        QTest::newRow("3+2") << 3 << 2 << 14 << 17;
        QTest::newRow("3+0") << 3 << 0 << 10 << 24;
        QTest::newRow("3+1") << 3 << 1 << 12 << 20;
        QTest::newRow("8+1 only whole records") << 8 << 1 << 22 << 10;
        QTest::newRow("8+2") << 8 << 2 << 24 << 10;
    }
    void blockSizesFollowChannelCounts()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(int, size);
        QFETCH(int, perBlock);
        ScriptedHistoryLink link(0);
        HistoryRecords records;
        HistoryDownload download(link, records, analog, pulse);
        QCOMPARE(download.recordSize(), size);
        QCOMPARE(download.recordsPerBlock(), perBlock);
    }

    void blockLoopEndsOnShortOrEmptyBlock_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<std::vector<int>>("requests");
        QTest::newRow("0") << 0 << std::vector<int>{0};
        QTest::newRow("1") << 1 << std::vector<int>{0};
        QTest::newRow("16") << 16 << std::vector<int>{0};
        QTest::newRow("17 asks once more") << 17 << std::vector<int>{0, 1};
        QTest::newRow("18") << 18 << std::vector<int>{0, 1};
        QTest::newRow("34") << 34 << std::vector<int>{0, 1, 1};
    }
    void blockLoopEndsOnShortOrEmptyBlock()
    {
        QFETCH(int, count);
        QFETCH(std::vector<int>, requests);
        ScriptedHistoryLink link(count);
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        QCOMPARE(download.run(), HistoryDownloadEnd::Complete);
        QVERIFY(HoldsRecordsInOrder(records, count));
        QCOMPARE(link.requests, requests);
    }

    void failuresAreRetriedWithRepeatRequests()
    {
        using F = ScriptedHistoryLink::Fault;
        ScriptedHistoryLink link(40);
        link.faults = {F::None, F::ReplyLost, F::ReplyLost, F::ReplyLost, F::None, F::ReplyLost};
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        std::vector<int> retriesShown;
        download.onRetry = [&](int total) { retriesShown.push_back(total); };
        QCOMPARE(download.run(), HistoryDownloadEnd::Complete);
        QVERIFY(HoldsRecordsInOrder(records, 40));
        QCOMPARE(link.requests, (std::vector<int>{0, 1, 2, 2, 2, 1, 2}));
        QCOMPARE(retriesShown, (std::vector<int>{1, 2, 3, 4}));
        QCOMPARE(link.settles, 4);
    }

    // A lost request leaves the logger on the block stored last, so its
    // repeat comes back; a late reply brings back the block answered before
    // in place of the answer, which follows it. Neither is stored twice, and
    // no block the logger moved on to is skipped.
    void repeatedOrStaleBlocksNeitherLoseNorDuplicateRecords_data()
    {
        using F = ScriptedHistoryLink::Fault;
        QTest::addColumn<std::vector<F>>("faults");
        QTest::addColumn<std::vector<int>>("requests");
        QTest::newRow("lost requests")
            << std::vector<F>{F::RequestLost, F::None, F::RequestLost, F::None, F::RequestLost, F::RequestLost,
                              F::None, F::RequestLost, F::None, F::None, F::ReplyLost, F::None}
            << std::vector<int>{0, 0, 1, 2, 2, 2, 2, 1, 2, 2, 1, 2, 1, 1};
        QTest::newRow("stale reply to a next request") << std::vector<F>{F::None, F::StaleReply}
                                                        << std::vector<int>{0, 1, 2, 1, 1};
        QTest::newRow("stale reply to a repeat request") << std::vector<F>{F::None, F::ReplyLost, F::StaleReply}
                                                          << std::vector<int>{0, 1, 2, 2, 1, 1};
    }
    void repeatedOrStaleBlocksNeitherLoseNorDuplicateRecords()
    {
        QFETCH(std::vector<ScriptedHistoryLink::Fault>, faults);
        QFETCH(std::vector<int>, requests);
        ScriptedHistoryLink link(60);
        link.faults.assign(faults.begin(), faults.end());
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        QCOMPARE(download.run(), HistoryDownloadEnd::Complete);
        QVERIFY(HoldsRecordsInOrder(records, 60));
        QCOMPARE(link.requests, requests);
    }

    void hundredFailuresAreRetriedTheNextEndsIt_data()
    {
        QTest::addColumn<int>("blocksFirst");
        QTest::addColumn<int>("failures");
        QTest::addColumn<HistoryDownloadEnd>("end");
        QTest::newRow("100 at the start") << 0 << 100 << HistoryDownloadEnd::Complete;
        QTest::newRow("101 at the start") << 0 << 101 << HistoryDownloadEnd::Error;
        QTest::newRow("100 after a block") << 1 << 100 << HistoryDownloadEnd::Complete;
        QTest::newRow("101 after a block") << 1 << 101 << HistoryDownloadEnd::Error;
    }
    void hundredFailuresAreRetriedTheNextEndsIt()
    {
        QFETCH(int, blocksFirst);
        QFETCH(int, failures);
        QFETCH(HistoryDownloadEnd, end);
        ScriptedHistoryLink link(20);
        link.faults.insert(link.faults.end(), size_t(blocksFirst), ScriptedHistoryLink::Fault::None);
        link.faults.insert(link.faults.end(), size_t(failures), ScriptedHistoryLink::Fault::ReplyLost);
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        QCOMPARE(download.run(), end);
        QCOMPARE(download.totalRetries(), std::min(failures, 101));
        QCOMPARE(records.count(), end == HistoryDownloadEnd::Error ? 17 * blocksFirst : 20);
    }

    void blockClaimingTooManyRecordsIsAnError()
    {
        ScriptedHistoryLink link(20);
        link.claimedCount = 18;
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        QCOMPARE(download.run(), HistoryDownloadEnd::Error);
        QCOMPARE(records.count(), 0);
    }

    void stopKeepsWhatArrived()
    {
        ScriptedHistoryLink link(100);
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        download.stopRequested = [&] { return records.count() >= 34; };
        QCOMPARE(download.run(), HistoryDownloadEnd::Stopped);
        QVERIFY(HoldsRecordsInOrder(records, 34));
    }

    void capIsExactlyTwoHundredThousand()
    {
        ScriptedHistoryLink link(HistoryRecords::Capacity + 1);
        HistoryRecords records;
        HistoryDownload download(link, records, 3, 2);
        QCOMPARE(download.run(), HistoryDownloadEnd::BufferFull);
        QCOMPARE(records.count(), HistoryRecords::Capacity);
        QCOMPARE(records.value(HistoryRecords::Capacity - 1, 0), uint16_t((HistoryRecords::Capacity - 1) & 0xFFFF));
        QVERIFY(!records.appendRecord(QByteArray(14, '\0').constData()));
    }
};

BREVEL_TEST(HistoryDownloadTest)
#include "tst_historydownload.moc"
