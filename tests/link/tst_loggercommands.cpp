#include "FakeSerialPort.h"
#include "LinkRig.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "core/DateText.h"

#include <QHash>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const QByteArray Ack = Hex("FA");
const QByteArray Done = Hex("FC");
using LoggerCommand = std::function<bool(LoggerCommands&)>;

// The request for a settings region, and the logger's reply when it holds image.
QByteArray RegionRequest(const SettingsRegion& region)
{
    return Hex("08") + char(region.Address & 0xFF) + char(region.Address >> 8) + '\0' + char(region.Length);
}
QByteArray RegionReply(const SettingsRegion& region, const QByteArray& image)
{
    return Ack + BuildFrame(RegionRequest(region).mid(1, 3) + image.mid(region.ImageOffset, region.Length));
}

} // namespace

class LoggerCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkRig<FakeSerialPort>> rig;
    // The logger in miniature: what it answers to each request it knows;
    // every write of memory is acknowledged.
    QHash<QByteArray, QByteArray> answers;

    void answer(const QByteArray& request, const QByteArray& reply) { answers[BuildFrame(request)] = Ack + reply; }

private slots:
    void init()
    {
        rig = std::make_unique<LinkRig<FakeSerialPort>>();
        answers.clear();
        rig->port.setResponder([this](const QByteArray& written) {
            const bool memoryWrite = written.size() > 3 && uint8_t(written.at(2)) == Command::WriteMemory;
            return answers.value(written, memoryWrite ? Ack : QByteArray());
        });
        QVERIFY(rig->open());
    }
    void cleanup() { rig.reset(); }

    void doneCommands_data()
    {
        QTest::addColumn<LoggerCommand>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("clear memory") << LoggerCommand(&LoggerCommands::ClearLoggerMemory) << Hex("04A44A");
        QTest::newRow("reset pulse counts") << LoggerCommand(&LoggerCommands::ResetPulseAccumulators) << Hex("0E03");
        QTest::newRow("confirm settings") << LoggerCommand(&LoggerCommands::ConfirmSettings) << Hex("0BABBA");
        QTest::newRow("initialise memory") << LoggerCommand(&LoggerCommands::InitialiseMemory) << Hex("06A66A00000002");
    }
    void doneCommands()
    {
        QFETCH(LoggerCommand, command);
        QFETCH(QByteArray, payload);
        answer(payload, {});
        QVERIFY(!command(rig->commands)); // acknowledged, but never done
        QCOMPARE(rig->port.writes().first(), BuildFrame(payload));
        answer(payload, Hex("FD"));
        QVERIFY(!command(rig->commands));
        answer(payload, Done);
        QVERIFY(command(rig->commands));
    }

    // Read sample: the sample, the logger's "no sample" (0xFD), no answer
    // after the acknowledgement, and no acknowledgement: Get Sample waits on
    // only the last.
    void readLiveSample_data()
    {
        QTest::addColumn<bool>("acknowledged");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("level");
        const QByteArray frame = BuildFrame(Hex("00000000") + Hex("1234") + QByteArray(18, '\0'));
        QTest::newRow("sample") << true << Ack + frame << int(LiveSampleOutcome::Kind::Sample) << 0x1234;
        QTest::newRow("no sample") << true << Hex("FD") << int(LiveSampleOutcome::Kind::NoSample) << -1;
        QTest::newRow("no answer") << true << QByteArray() << int(LiveSampleOutcome::Kind::Failed) << 0;
        QTest::newRow("not acknowledged") << false << QByteArray() << int(LiveSampleOutcome::Kind::NotAcknowledged) << 0;
    }
    void readLiveSample()
    {
        QFETCH(bool, acknowledged);
        QFETCH(QByteArray, reply);
        if (acknowledged) {
            answer(Hex("0A"), reply);
        }
        const LiveSampleOutcome outcome = rig->commands.ReadLiveSample();
        QTEST(int(outcome.Type), "kind");
        QTEST(outcome.Sample.Values[0], "level");
    }

    void setClock_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("payload"); // empty: refused, nothing sent
        QTest::newRow("computer clock") << "12/05/26 09:07:03" << Hex("0103070901051226");
        QTest::newRow("four-digit year") << "12/05/2026 09:07:03" << Hex("0103070901051226");
        QTest::newRow("12 AM is midnight") << "12/05/26 12:30:00 AM" << Hex("0100300001051226");
        QTest::newRow("12 PM is noon") << "12/05/26 12:30:00 PM" << Hex("0100301201051226");
        QTest::newRow("one PM") << "12/05/26 01:30:00 PM" << Hex("0100301301051226");
        QTest::newRow("no time") << "12/05/26" << QByteArray();
        QTest::newRow("month 13") << "13/05/26 09:07:03" << QByteArray();
        QTest::newRow("day 0") << "12/00/26 09:07:03" << QByteArray();
        QTest::newRow("minute 60") << "12/05/26 09:60:03" << QByteArray();
        QTest::newRow("second 60") << "12/05/26 09:07:60" << QByteArray();
        QTest::newRow("negative hour") << "12/05/26 -1:07:03" << QByteArray();
    }
    void setClock()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, payload);
        answer(payload, Done);
        QCOMPARE(rig->commands.SetLoggerClock(text), !payload.isEmpty());
        QCOMPARE(rig->port.writtenData(), payload.isEmpty() ? QByteArray() : BuildFrame(payload));
    }

    void readClock_data()
    {
        QTest::addColumn<QByteArray>("reply"); // empty: no answer
        QTest::addColumn<QString>("text");
        const QString date = ShortDateText(QDate(2026, 12, 5)) + QLatin1Char(' ');
        QTest::newRow("twelve-hour PM 8") << Hex("05076801051226") << date + "20:07:05";
        QTest::newRow("twelve-hour AM 12") << Hex("05075201051226") << date + "00:07:05";
        QTest::newRow("twelve-hour PM 12") << Hex("05077201051226") << date + "12:07:05";
        QTest::newRow("24-hour 23") << Hex("59592301051226") << date + "23:59:59";
        QTest::newRow("day 0 of month 13") << Hex("05076801001326") << "00/00/00 00:00:00";
        QTest::newRow("silent") << QByteArray() << "00/00/00 00:00:00";
    }
    void readClock()
    {
        QFETCH(QByteArray, reply);
        answer(Hex("00"), reply.isEmpty() ? QByteArray() : BuildFrame(reply));
        QTEST(rig->commands.ReadLoggerClock(), "text");
        QCOMPARE(rig->port.writes().first(), Hex("F803000000F9"));
    }

    void statusTexts_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text"); // "kept": the reply is refused
        QTest::addColumn<uint>("count");
        QTest::newRow("waiting") << Hex("0100008008") << "Waiting for Alarm 1" << 1u;
        QTest::newRow("stopped") << Hex("0000018030") << "Stopped by Alarm 2" << 65536u;
        QTest::newRow("until alarm 2") << Hex("FFFFFF8010") << "Logging Until Alarm 2" << 0xFFFFFFu;
        QTest::newRow("not logging") << Hex("3412000028") << "Not Logging" << 0x1234u;
        QTest::newRow("logging") << Hex("0000008000") << "Logging" << 0u;
        QTest::newRow("one byte short") << Hex("01000080") << "kept" << 7u;
    }
    void statusTexts()
    {
        QFETCH(QByteArray, reply);
        rig->status.LoggingStateText = QStringLiteral("kept");
        rig->status.RecordCount = 7;
        answer(Hex("0C"), BuildFrame(reply));
        QCOMPARE(rig->commands.ReadLoggerStatus(), reply.size() == 5);
        QTEST(rig->status.LoggingStateText, "text");
        QTEST(rig->status.RecordCount, "count");
        if (reply.size() == 5) {
            QCOMPARE(rig->status.StatusWord, uint16_t(uint8_t(reply.at(3)) | uint8_t(reply.at(4)) << 8));
        }
    }

    void identification_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("plausible");
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<bool>("sod");
        QTest::newRow("three and two, on demand") << Hex("0703020100000000") << true << 3 << 2 << true;
        QTest::newRow("eight and none") << Hex("0708000000000000") << true << 8 << 0 << false;
        QTest::newRow("no analog channel") << Hex("0700020000000000") << false << 5 << 1 << false;
        QTest::newRow("nine analog") << Hex("0709020000000000") << false << 5 << 1 << false;
        QTest::newRow("three pulse") << Hex("0703030000000000") << false << 5 << 1 << false;
    }
    void identification()
    {
        QFETCH(QByteArray, reply);
        rig->settings.NumAnalogChannels = 5;
        rig->settings.NumDigitalChannels = 1;
        answer(Hex("0F"), BuildFrame(reply));
        QTEST(rig->commands.ReadIdentification(), "plausible");
        QCOMPARE(rig->status.FirmwareVersion, int16_t(7));
        QTEST(int(rig->settings.NumAnalogChannels), "analog");
        QTEST(int(rig->settings.NumDigitalChannels), "pulse");
        QTEST(rig->settings.SodSupported, "sod");
        QCOMPARE(rig->port.writtenData(), Hex("F8030F4004F9"));
    }

    // The settings are written, then read back and compared: one byte that
    // differs in any region fails the programming.
    void programmingReadsBack_data()
    {
        QTest::addColumn<int>("differs"); // the image byte the logger holds wrongly; -1: none
        QTest::newRow("all kept") << -1;
        QTest::newRow("general settings differ") << 0;
        QTest::newRow("display block differs") << 250;
        QTest::newRow("last flow byte differs") << 457;
    }
    void programmingReadsBack()
    {
        QFETCH(int, differs);
        ApplyDefaultSettings(rig->settings, rig->rating);
        QByteArray held = *EncodeSettings(rig->settings, true);
        if (differs >= 0) {
            held[differs] = char(held.at(differs) ^ 0x01);
        }
        for (const SettingsRegion& region : SettingsReadRegions) {
            answers[BuildFrame(RegionRequest(region))] = RegionReply(region, held);
        }
        QCOMPARE(rig->commands.ProgramSettings(), differs < 0);
    }

    // A fresh record reads the settings; the window's steps run between the
    // decode, the status read and the clock read. When a region never comes
    // the record stays as it was, and status and clock are read all the same.
    void readSettings_data()
    {
        QTest::addColumn<bool>("flowBlockComes");
        QTest::newRow("all regions") << true;
        QTest::newRow("flow block missing") << false;
    }
    void readSettings()
    {
        QFETCH(bool, flowBlockComes);
        LoggerSettings written;
        ApplyDefaultSettings(written, rig->rating);
        written.LoggerName = QStringLiteral("Weir 4");
        const QByteArray image = *EncodeSettings(written, true);
        for (const SettingsRegion& region : SettingsReadRegions) {
            answers[BuildFrame(RegionRequest(region))] = RegionReply(region, image);
        }
        if (!flowBlockComes) {
            answers.remove(BuildFrame(RegionRequest(SettingsReadRegions[2])));
        }
        answer(Hex("0C"), BuildFrame(Hex("0500008000")));
        answer(Hex("00"), BuildFrame(Hex("00000001010126")));
        LoggerSettings expected = written;
        RatingState expectedRating;
        QVERIFY(DecodeSettings(image, expected, expectedRating, true));
        rig->settings.LoggerName = QStringLiteral("Kept");
        rig->settings.NumAnalogChannels = written.NumAnalogChannels;
        rig->settings.NumDigitalChannels = written.NumDigitalChannels;
        rig->settings.SodSupported = written.SodSupported;
        qsizetype writesAtDecode = -1;
        qsizetype writesAtLiveSamples = -1;
        LoggerCommands::SettingsReadSteps steps;
        steps.SettingsDecoded = [&] { writesAtDecode = rig->port.writes().size(); };
        steps.ShowLiveSamples = [&] { writesAtLiveSamples = rig->port.writes().size(); };
        QCOMPARE(rig->commands.ReadSettings(steps), flowBlockComes);
        if (flowBlockComes) {
            QCOMPARE(*EncodeSettings(rig->settings, true), *EncodeSettings(expected, true));
            QCOMPARE(writesAtDecode, 3);
            QCOMPARE(writesAtLiveSamples, 4);
        } else {
            QCOMPARE(rig->settings.LoggerName, QStringLiteral("Kept"));
            QCOMPARE(writesAtDecode, -1);
        }
        QCOMPARE(rig->port.writes().constLast(), BuildFrame(Hex("00")));
        QCOMPARE(rig->status.RecordCount, 5u);
        QCOMPARE(rig->status.LoggerTimeText, ShortDateText(QDate(2026, 1, 1)) + QStringLiteral(" 00:00:00"));
    }

    void wakeLogger_data()
    {
        QTest::addColumn<bool>("wakes");
        QTest::addColumn<bool>("identifies");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("attempts");
        QTest::newRow("handshake and identification") << true << true << false << true << 1;
        QTest::newRow("already awake") << false << true << false << true << 10;
        QTest::newRow("wakes but does not identify") << true << false << false << false << 1;
        QTest::newRow("cancelled") << false << true << true << false << 1;
        QTest::newRow("silent") << false << false << false << false << 10;
    }
    void wakeLogger()
    {
        QFETCH(bool, wakes);
        QFETCH(bool, identifies);
        QFETCH(bool, cancel);
        if (wakes) {
            answers["U"] = "G";
            answers["G"] = "W";
            answers["W"] = Done;
        }
        if (identifies) {
            answer(Hex("0F"), BuildFrame(Hex("0703020100000000")));
        }
        QTEST(rig->commands.WakeLogger([cancel] { return cancel; }), "connected");
        QTEST(int(rig->port.writes().count(QByteArray("U"))), "attempts");
        QCOMPARE(rig->port.writes().contains(BuildFrame(Hex("0F"))), !cancel);
    }
};

BREVEL_TEST(LoggerCommandsTest)
#include "tst_loggercommands.moc"
