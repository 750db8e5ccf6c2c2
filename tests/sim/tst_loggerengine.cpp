#include "LoggerEngine.h"
#include "ReplyFrames.h"
#include "TestRegistry.h"
#include "WallClock.h"
#include "core/SampleRecord.h"
#include "config/SettingsImage.h"
#include "flow/Rating.h"
#include "link/FrameCodec.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime FixedNow(QDate(2026, 12, 5), QTime(20, 7, 3));

LoggerEngine::Clock Fixed(const QDateTime& when = FixedNow)
{
    return [when] { return when; };
}

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray Ask(LoggerEngine& engine, const QByteArray& payload)
{
    return JoinReply(engine.receive(BuildFrame(payload)));
}

} // namespace

class LoggerEngineTest : public QObject {
    Q_OBJECT
private slots:
    void wakeUpLettersAreAnsweredOutsideFrames_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("U") << QByteArray("U") << QByteArray("G");
        QTest::newRow("G") << QByteArray("G") << QByteArray("W");
        QTest::newRow("W") << QByteArray("W") << Hex("FC");
        QTest::newRow("whole handshake") << QByteArray("UGW") << Hex("4757FC");
        QTest::newRow("other bytes ignored") << QByteArray("xZ\r\n") << QByteArray();
        // Inside a frame the letters are data: a read of 0x55 bytes at 0x4757.
        QTest::newRow("letters inside a frame")
            << BuildFrame(Hex("0857470055")).left(6) << QByteArray();
    }
    void wakeUpLettersAreAnsweredOutsideFrames()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        LoggerEngine engine(LoggerOptions{}, Fixed());
        QCOMPARE(JoinReply(engine.receive(sent)).toHex(' '), answer.toHex(' '));
    }

    void repliesMatchTheWire_data()
    {
        QTest::addColumn<bool>("twelveHour");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("identification") << false << Hex("0F") << Hex("FAF80A0703020100000000 4EC4F9");
        QTest::newRow("status") << false << Hex("0C") << Hex("FAF807000000800061C0F9");
        // Saturday 5 December 2026, 20:07:03; Sunday is weekday 1.
        QTest::newRow("clock") << false << Hex("00") << Hex("FAF80903072007051226 2F7FF9");
        QTest::newRow("clock, twelve-hour PM") << true << Hex("00") << Hex("FAF80903076807051226CF71F9");
        QTest::newRow("signature echoes its address")
            << false << Hex("0800000008") << Hex("FAF80D000000424C322032333220 67F7F9");
        QTest::newRow("start sample") << false << Hex("0901") << Hex("FAFC");
        QTest::newRow("read sample before a start") << false << Hex("0A") << Hex("FAFD");
        QTest::newRow("confirm settings") << false << Hex("0BABBA") << Hex("FAFC");
        QTest::newRow("reset pulse counters") << false << Hex("0E03") << Hex("FAFC");
        QTest::newRow("clear memory") << false << Hex("04A44A") << Hex("FAFC");
        QTest::newRow("write block") << false << Hex("07A77A0800080041") << Hex("FA");
        QTest::newRow("set clock") << false << Hex("0103070901051226") << Hex("FAFC");
        QTest::newRow("set clock to no time") << false << Hex("0103076101051226") << Hex("FA");
        QTest::newRow("wrong guard bytes") << false << Hex("04A44B") << QByteArray();
        QTest::newRow("write with a wrong end address") << false << Hex("07A77A0800090041") << QByteArray();
        QTest::newRow("read of more than 242 bytes") << false << Hex("08080000F3") << QByteArray();
        QTest::newRow("unknown command") << false << Hex("05") << QByteArray();
        QTest::newRow("history block of another kind") << false << Hex("0D03") << QByteArray();
    }
    void repliesMatchTheWire()
    {
        QFETCH(bool, twelveHour);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        LoggerOptions options;
        options.HistoryRecords = 0;
        options.TwelveHourClock = twelveHour;
        LoggerEngine engine(options, Fixed());
        QCOMPARE(Ask(engine, request).toHex(' '), reply.toHex(' '));
    }

    void damagedFramesGetNoAnswer_data()
    {
        QTest::addColumn<QByteArray>("sent");
        const QByteArray good = BuildFrame(Hex("0C")); // F8 03 0C 00 05 F9
        QByteArray badCrc = good;
        badCrc[4] = 0x06;
        QByteArray noEnd = good;
        noEnd[5] = 0x00;
        QTest::newRow("checksum") << badCrc;
        QTest::newRow("end byte") << noEnd;
        QTest::newRow("escape beyond 6") << Hex("F8030CFE07F9");
        QTest::newRow("length too short") << Hex("F8020C00F9");
        QTest::newRow("length shorter than the body") << Hex("F8040C0005F9");
    }
    void damagedFramesGetNoAnswer()
    {
        QFETCH(QByteArray, sent);
        LoggerEngine engine(LoggerOptions{}, Fixed());
        QCOMPARE(JoinReply(engine.receive(sent)).toHex(' '), QByteArray());
        // The next intact frame is answered again.
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))).size(), 5);
    }

    void restartedFrameIsAnswered()
    {
        // The computer gave up half-way and sent the request again.
        LoggerEngine engine(LoggerOptions{}, Fixed());
        const QByteArray status = BuildFrame(Hex("0C"));
        QCOMPARE(AckedFramePayload(JoinReply(engine.receive(status.left(3) + status))).size(), 5);
    }

    void escapedBytesRoundTrip()
    {
        // Bytes 0xF8 to 0xFE travel escaped both ways.
        LoggerEngine engine(LoggerOptions{}, Fixed());
        const QByteArray data = Hex("F8F9FAFBFCFDFEFF00");
        QCOMPARE(Ask(engine, Hex("07A77A0001") + Hex("0801") + data), Hex("FA"));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0800010009"))), Hex("000100") + data);
    }

    void memoryMapOfFreshAndBlankLoggers()
    {
        LoggerOptions blank;
        blank.Initialised = false;
        LoggerEngine engine(blank, Fixed());
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0800000008"))), Hex("000000") + QByteArray(8, char(0xFF)));
        // Past the 64 KB of settings memory everything reads erased.
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("08FEFF0004"))), Hex("FEFF00") + QByteArray(4, char(0xFF)));
        // A write may not run past the end.
        QCOMPARE(Ask(engine, Hex("07A77AFFFF0000") + Hex("0102")), QByteArray());
    }

    void factorySettingsFillTheRegions()
    {
        LoggerOptions options;
        options.AnalogChannels = 2;
        LoggerEngine engine(options, Fixed());
        QByteArray image;
        for (const SettingsRegion& region : SettingsReadRegions) {
            const QByteArray request = QByteArray(1, 0x08) + char(region.Address & 0xFF) + char(region.Address >> 8)
                + char(0) + char(region.Length);
            image += AckedFramePayload(Ask(engine, request)).mid(3);
        }
        LoggerSettings settings;
        settings.NumAnalogChannels = 2;
        RatingState rating;
        QVERIFY(DecodeSettings(image, settings, rating, true));
        QCOMPARE(settings.LoggerName, QStringLiteral("Brevel Logger"));
        QCOMPARE(settings.EngUnits[0], QStringLiteral("Feet"));
        QCOMPARE(settings.EngUnits[1], QStringLiteral("Volts")); // the last channel is the battery
        QCOMPARE(settings.RawScaleUpper[1], 62384);
        QCOMPARE(settings.FlowMode, uint8_t(1));
        QCOMPARE(static_cast<uint8_t>(image.at(290)), uint8_t(1)); // the flow block is written

        options.Initialised = false;
        LoggerEngine blank(options, Fixed());
        QCOMPARE(AckedFramePayload(Ask(blank, Hex("0802020001"))), Hex("020200FF")); // flow block never written
    }

    void clockFollowsSetting()
    {
        QDateTime now = FixedNow;
        LoggerEngine engine(LoggerOptions{}, [&now] { return now; });
        QCOMPARE(Ask(engine, Hex("0130450601311299")), Hex("FAFC")); // 31/12/99 06:45:30
        now = now.addSecs(61);
        QCOMPARE(engine.loggerTime(), QDateTime(QDate(2099, 12, 31), QTime(6, 46, 31), Qt::UTC));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("00"))), Hex("31460605311299"));
    }

    void liveSampleLayout_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<QByteArray>("values");
        // Fixed counts 0x1001, 0x1002 ... per analog channel, 0x2001, 0x2002 per
        // pulse channel; the last analog channel sits in slot 8.
        QTest::newRow("3 analog, 2 pulse")
            << 3 << 2 << Hex("1001 1002 0000 0000 0000 0000 0000 1003 2001 2002");
        QTest::newRow("1 analog, 1 pulse")
            << 1 << 1 << Hex("1001 0000 0000 0000 0000 0000 0000 0000 2001 0000");
        QTest::newRow("8 analog, 0 pulse")
            << 8 << 0 << Hex("1001 1002 1003 1004 1005 1006 1007 1008 0000 0000");
    }
    void liveSampleLayout()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(QByteArray, values);
        LoggerOptions options;
        options.AnalogChannels = analog;
        options.PulseChannels = pulse;
        LoggerEngine engine(options, Fixed());
        for (int c = 0; c < analog; ++c) {
            engine.setLiveAnalogCount(c, static_cast<uint16_t>(0x1001 + c));
        }
        for (int p = 0; p < pulse; ++p) {
            engine.setLivePulseCount(p, static_cast<uint16_t>(0x2001 + p));
        }
        QCOMPARE(Ask(engine, Hex("0901")), Hex("FAFC"));
        const QByteArray reply = Ask(engine, Hex("0A"));
        QCOMPARE(reply.left(1), Hex("FA")); // the acknowledgement, then "a frame follows"
        const QByteArray frame = AckedFramePayload(reply.mid(1));
        QCOMPARE(frame.mid(4).toHex(' '), values.toHex(' '));
        const PackedTime time = PackedTime::FromValue(ReadPackedTimeValue(frame.constData()));
        QCOMPARE(time.date(), FixedNow.date());
        QCOMPARE(time.timeText(), QStringLiteral("20:07:03"));
    }

    void generatedReadingsArePlausible()
    {
        LoggerEngine engine(LoggerOptions{}, Fixed());
        Ask(engine, Hex("0901"));
        const QByteArray frame = AckedFramePayload(Ask(engine, Hex("0A")).mid(1));
        auto slot = [&frame](int s) {
            return 256 * static_cast<uint8_t>(frame.at(4 + 2 * s)) + static_cast<uint8_t>(frame.at(5 + 2 * s));
        };
        const double level = slot(0) * 100.0 / 65535;
        const double temperature = slot(1) * 100.0 / 65535;
        const double volts = slot(7) * 24.0 / 62384;
        QVERIFY2(level > 0.0 && level < 2.0, qPrintable(QString::number(level)));
        QVERIFY2(temperature > 0.0 && temperature < 30.0, qPrintable(QString::number(temperature)));
        QVERIFY2(volts > 11.5 && volts < 14.0, qPrintable(QString::number(volts)));
        // The accumulators start at the reset, which a fixed clock keeps at 0.
        QCOMPARE(Ask(engine, Hex("0E03")), Hex("FAFC"));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0A")).mid(1)).mid(20), Hex("00000000"));
    }

    void noSamplesOption()
    {
        LoggerOptions options;
        options.NoSamples = true;
        LoggerEngine engine(options, Fixed());
        Ask(engine, Hex("0901"));
        QCOMPARE(Ask(engine, Hex("0A")), Hex("FAFD"));
    }

    void initialisationErasesAndTakesItsTime()
    {
        LoggerOptions options;
        options.InitialiseMs = 700;
        LoggerEngine engine(options, Fixed());
        const Reply reply = engine.receive(BuildFrame(Hex("06A66A00000002")));
        QCOMPARE(reply.size(), 2);
        QCOMPARE(reply.at(0).Bytes, Hex("FA"));
        QCOMPARE(reply.at(1).DelayMs, 700);
        QCOMPARE(reply.at(1).Bytes, Hex("FC"));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0800000008"))).mid(3), QByteArray(8, char(0xFF)));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))), Hex("0000008000"));
        // A different tail is not the initialise command.
        QCOMPARE(Ask(engine, Hex("06A66A00000001")), QByteArray());
    }

    void statusCountsRecordsAndClearEmpties()
    {
        LoggerOptions options;
        options.HistoryRecords = 70000;
        LoggerEngine engine(options, Fixed());
        engine.setStatusWord(0x3080);
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))), Hex("701101 8030"));
        Ask(engine, Hex("04A44A"));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))), Hex("000000 8030"));
    }

    void memorySurvivesInItsFile()
    {
        QTemporaryDir dir;
        LoggerOptions options;
        options.MemoryFile = dir.filePath(QStringLiteral("logger.mem"));
        options.HistoryRecords = 40;
        QString error;
        {
            LoggerEngine engine(options, Fixed());
            QVERIFY(engine.attachMemoryFile(&error));
            Ask(engine, Hex("07A77A00000700") + QByteArray("Saved   "));
            Ask(engine, Hex("0100000012311230")); // 31/12/30 12:00:00
        }
        options.HistoryRecords = 5; // the file wins over the options
        LoggerEngine engine(options, Fixed());
        QVERIFY2(engine.attachMemoryFile(&error), qPrintable(error));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0800000008"))).mid(3), QByteArray("Saved   "));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))).left(3), Hex("280000"));
        QCOMPARE(engine.loggerTime().date(), QDate(2030, 12, 31));

        QFile damaged(options.MemoryFile);
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        damaged.resize(100);
        damaged.close();
        LoggerEngine again(options, Fixed());
        QVERIFY(!again.attachMemoryFile(&error));
    }
};

BREVEL_TEST(LoggerEngineTest)
#include "tst_loggerengine.moc"
