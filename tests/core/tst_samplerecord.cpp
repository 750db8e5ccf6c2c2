#include "PackTime.h"
#include "TestRegistry.h"
#include "core/DateText.h"
#include "core/SampleRecord.h"

#include <QTest>

class SampleRecordTest : public QObject {
    Q_OBJECT
private slots:
    // A packed time in a locale's short date: a two-digit year and no blank.
    void timestampText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<uint>("packed");
        QTest::addColumn<QString>("expected");
        const uint lastOf2004 = PackTime(12 * 4 + 11, 31, 23, 59, 58);
        QTest::newRow("C: month names and blanks") << "C" << lastOf2004 << "31/12/04 23:59:58";
        QTest::newRow("de_DE") << "de_DE" << lastOf2004 << "31.12.04 23:59:58";
        QTest::newRow("hu_HU: blanks, year first") << "hu_HU" << lastOf2004 << "2004.12.31 23:59:58";
        QTest::newRow("ja_JP: year first kept") << "ja_JP" << lastOf2004 << "2004/12/31 23:59:58";
        QTest::newRow("zero is 31 Dec 1999") << "de_DE" << uint(0) << "31.12.99 00:00:00";
        QTest::newRow("day 0 of March 2004") << "de_DE" << PackTime(50, 0) << "29.02.04 00:00:00";
        QTest::newRow("31 Feb 2004") << "de_DE" << PackTime(49, 31) << "02.03.04 00:00:00";
        QTest::newRow("last month rolls over") << "de_DE" << PackTime(1023, 31) << "01.05.85 00:00:00";
    }
    void timestampText()
    {
        QFETCH(QString, locale);
        QFETCH(uint, packed);
        QTEST(TimestampText(packed, ShortDateFormat(locale == u"C" ? QLocale::c() : QLocale(locale))), "expected");
    }

    void systemShortDateHoldsNoBlank()
    {
        // Run under LC_ALL=C and LC_ALL=de_DE.UTF-8 too: whatever the system
        // locale, the date part of a timestamp must survive a split at blanks.
        const QString text = ShortDateText(QDate(2026, 1, 5));
        QVERIFY(!text.isEmpty());
        QVERIFY2(!text.contains(u' '), qPrintable(text));
        QVERIFY2(!text.endsWith(QStringLiteral("2026")), qPrintable(text));
    }

    // The record at offset 1: the packed time, then values high byte first.
    // Values beyond the count keep what they held (-7); a short buffer clears.
    void decodeSampleRecord_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("timestamp");
        QTest::addColumn<QList<int32_t>>("values");
        // 6 Apr 2006 09:30:00, then 0x0102, 0xFFFF, 0, 0x8000.
        const QByteArray record = QByteArray::fromHex("AA 8097CC12 0102 FFFF 0000 8000");
        QTest::newRow("four values") << record << true << "6/04/06 09:30:00"
                                     << QList<int32_t>{258, 65535, 0, 32768, -7};
        QTest::newRow("one byte short") << record.chopped(1) << false << "" << QList<int32_t>{0, 0, 0, 0, -7};
    }
    void decodeSampleRecord()
    {
        QFETCH(QByteArray, buffer);
        LiveSample sample;
        sample.Timestamp = QStringLiteral("old");
        sample.Values.fill(-7);
        QTEST(DecodeSampleRecord(buffer, 1, 4, sample, ShortDateFormat(QLocale::c())), "ok");
        QTEST(sample.Timestamp, "timestamp");
        QTEST(QList<int32_t>(sample.Values.begin(), sample.Values.begin() + 5), "values");
    }

    // The slots after the 4-byte time: analog 1..8 = 11..18 (doubled), pulses 21 22.
    void compactMovesLastAnalogAndPulses_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<QString>("after");
        QTest::newRow("3 analog, 2 pulse") << 3 << 2 << "1111 1212 1818 2121 2222 1616 1717 1818 2121 2222";
        QTest::newRow("3 analog, 0 pulse") << 3 << 0 << "1111 1212 1818 1414 1515 1616 1717 1818 2121 2222";
        QTest::newRow("1 analog, 1 pulse") << 1 << 1 << "1111 2121 1313 1414 1515 1616 1717 1818 2121 2222";
        QTest::newRow("no analog channel: unchanged") << 0 << 2 << "1111 1212 1313 1414 1515 1616 1717 1818 2121 2222";
        QTest::newRow("8 analog: unchanged") << 8 << 2 << "1111 1212 1313 1414 1515 1616 1717 1818 2121 2222";
    }
    void compactMovesLastAnalogAndPulses()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(QString, after);
        QByteArray frame = QByteArray::fromHex("00000000 1111 1212 1313 1414 1515 1616 1717 1818 2121 2222");
        CompactSampleFrame(frame, analog, pulse);
        QCOMPARE(frame.toHex(' '), QByteArray::fromHex("00000000 " + after.toLatin1()).toHex(' '));
    }
};

BREVEL_TEST(SampleRecordTest)
#include "tst_samplerecord.moc"
