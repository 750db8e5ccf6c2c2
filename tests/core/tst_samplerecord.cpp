#include "PackTime.h"
#include "TestRegistry.h"
#include "core/DateText.h"
#include "core/SampleRecord.h"

#include <QTest>

namespace {

QByteArray LittleEndian(uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = char(value >> (8 * i));
    }
    return bytes;
}

} // namespace

class SampleRecordTest : public QObject {
    Q_OBJECT
private slots:
    void shortDateHasATwoDigitYearAndNoBlank_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C: month names and blanks") << "C" << "31/12/04";
        QTest::newRow("de_DE") << "de_DE" << "31.12.04";
        QTest::newRow("hu_HU: blanks, year first") << "hu_HU" << "2004.12.31";
        QTest::newRow("ja_JP: year first kept") << "ja_JP" << "2004/12/31";
    }
    void shortDateHasATwoDigitYearAndNoBlank()
    {
        QFETCH(QString, locale);
        QTEST(ShortDateFormat(locale == u"C" ? QLocale::c() : QLocale(locale)).Text(QDate(2004, 12, 31)), "expected");
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

    void packedTimeDecodes_data()
    {
        QTest::addColumn<uint>("packed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero is 31 Dec 1999") << uint(0) << "31.12.99 00:00:00";
        QTest::newRow("plain") << uint(PackTime(12 * 4 + 11, 31, 23, 59, 58)) << "31.12.04 23:59:58";
        QTest::newRow("day 0 of March 2004") << uint(PackTime(50, 0, 0, 0, 0)) << "29.02.04 00:00:00";
        QTest::newRow("31 Feb 2004") << uint(PackTime(49, 31, 0, 0, 0)) << "02.03.04 00:00:00";
        QTest::newRow("last month rolls over") << uint(PackTime(1023, 31, 0, 0, 0)) << "01.05.85 00:00:00";
    }
    void packedTimeDecodes()
    {
        QFETCH(uint, packed);
        QTEST(TimestampText(packed, ShortDateFormat(QLocale(QStringLiteral("de_DE")))), "expected");
    }

    void recordValuesAreHighByteFirst()
    {
        QByteArray buffer = QByteArray::fromHex("AA");
        buffer += LittleEndian(PackTime(75, 6, 9, 30, 0));
        buffer += QByteArray::fromHex("0102 FFFF 0000 8000");
        LiveSample sample;
        sample.Values.fill(-7);
        QVERIFY(DecodeSampleRecord(buffer, 1, 4, sample, ShortDateFormat(QLocale::c())));
        QCOMPARE(sample.Timestamp, QStringLiteral("6/04/06 09:30:00"));
        // The fifth value lies beyond the count: untouched.
        QCOMPARE(QList<int32_t>(sample.Values.begin(), sample.Values.begin() + 5), (QList<int32_t>{0x0102, 65535, 0, 32768, -7}));
    }

    void shortBufferFailsAndClears()
    {
        LiveSample sample;
        sample.Timestamp = QStringLiteral("old");
        sample.Values.fill(5);
        QVERIFY(!DecodeSampleRecord(QByteArray(9, '\1'), 0, 3, sample));
        QVERIFY(sample.Timestamp.isEmpty());
        QCOMPARE(sample.Values[2], 0);
    }

    void compactMovesLastAnalogAndPulses_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<QByteArray>("expected");
        // Slots: 4 bytes time, analog 1..8 = 11 12 .. 18 (doubled), pulses 21 22.
        QTest::newRow("3 analog, 2 pulse")
            << 3 << 2 << QByteArray::fromHex("00000000 1111 1212 1818 2121 2222 1616 1717 1818 2121 2222");
        QTest::newRow("3 analog, 0 pulse")
            << 3 << 0 << QByteArray::fromHex("00000000 1111 1212 1818 1414 1515 1616 1717 1818 2121 2222");
        QTest::newRow("1 analog, 1 pulse")
            << 1 << 1 << QByteArray::fromHex("00000000 1111 2121 1313 1414 1515 1616 1717 1818 2121 2222");
        QTest::newRow("no analog channel: unchanged")
            << 0 << 2 << QByteArray::fromHex("00000000 1111 1212 1313 1414 1515 1616 1717 1818 2121 2222");
        QTest::newRow("8 analog unchanged")
            << 8 << 2 << QByteArray::fromHex("00000000 1111 1212 1313 1414 1515 1616 1717 1818 2121 2222");
    }
    void compactMovesLastAnalogAndPulses()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(QByteArray, expected);
        QByteArray frame = QByteArray::fromHex("00000000 1111 1212 1313 1414 1515 1616 1717 1818 2121 2222");
        CompactSampleFrame(frame, analog, pulse);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }
};

BREVEL_TEST(SampleRecordTest)
#include "tst_samplerecord.moc"
