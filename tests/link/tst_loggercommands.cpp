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
#include <tuple>

namespace {

using Rig = LinkRig<FakeSerialPort>;
// Runs one command against the rig and says what it gave.
using Exchange = std::function<QString(Rig&)>;

const QByteArray Ack = Hex("FA");
const QByteArray Done = Hex("FC");

QByteArray Acked(const QByteArray& payload)
{
    return Ack + BuildFrame(payload);
}

QString Ok(bool ok)
{
    return ok ? QStringLiteral("ok") : QStringLiteral("failed");
}

// The request for a settings region.
QByteArray RegionRequest(const SettingsRegion& region)
{
    return Hex("08") + char(region.Address & 0xFF) + char(region.Address >> 8) + '\0' + char(region.Length);
}

} // namespace

class LoggerCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;
    // The logger in miniature: what it answers to each request it knows;
    // every write of memory is acknowledged.
    QHash<QByteArray, QByteArray> answers;

    void answer(const QByteArray& request, const QByteArray& reply) { answers[BuildFrame(request)] = Ack + reply; }
    void holdInRegions(const QByteArray& image)
    {
        for (const SettingsRegion& region : SettingsReadRegions) {
            const QByteArray request = RegionRequest(region);
            answer(request, BuildFrame(request.mid(1, 3) + image.mid(region.ImageOffset, region.Length)));
        }
    }

private slots:
    void init()
    {
        rig = std::make_unique<Rig>();
        answers.clear();
        rig->port.setResponder([this](const QByteArray& written) {
            const bool memoryWrite = written.size() > 3 && uint8_t(written.at(2)) == Command::WriteMemory;
            return answers.value(written, memoryWrite ? Ack : QByteArray());
        });
        QVERIFY(rig->open());
    }
    void cleanup() { rig.reset(); }

    // One request, one answer: the frame sent, and what the command makes of the answer.
    void exchanges_data()
    {
        QTest::addColumn<Exchange>("command");
        QTest::addColumn<QByteArray>("request"); // the payload sent; empty: the command refuses, nothing is sent
        QTest::addColumn<QByteArray>("reply"); // all the logger answers, acknowledgement included
        QTest::addColumn<QString>("result");
        const auto row = [](const char* name, const Exchange& command, const char* request, const QByteArray& reply,
                            const QString& result) {
            QTest::newRow(name) << command << Hex(request) << reply << result;
        };

        using DoneRow = std::tuple<const char*, bool (LoggerCommands::*)(), const char*>;
        for (const auto& [name, done, request] : std::initializer_list<DoneRow>{
                 {"clear memory", &LoggerCommands::ClearLoggerMemory, "04A44A"},
                 {"reset pulse counts", &LoggerCommands::ResetPulseAccumulators, "0E03"},
                 {"confirm settings", &LoggerCommands::ConfirmSettings, "0BABBA"},
                 {"initialise memory", &LoggerCommands::InitialiseMemory, "06A66A00000002"}}) {
            const Exchange command = [done](Rig& r) { return Ok((r.commands.*done)()); };
            QTest::addRow("%s: done", name) << command << Hex(request) << Hex("FAFC") << "ok";
            QTest::addRow("%s: no", name) << command << Hex(request) << Hex("FAFD") << "failed";
            QTest::addRow("%s: acknowledged, never done", name) << command << Hex(request) << Ack << "failed";
        }

        // The sample comes after a second acknowledgement; Get Sample waits only on the first.
        const Exchange sample = [](Rig& r) {
            const LiveSampleOutcome outcome = r.commands.ReadLiveSample();
            const char* kinds[] = {"sample", "no sample", "failed", "not acknowledged"};
            return QStringLiteral("%1 %2").arg(kinds[int(outcome.Type)]).arg(outcome.Sample.Values[0]);
        };
        const QByteArray level = Hex("00000000") + Hex("1234") + QByteArray(18, '\0');
        row("sample", sample, "0A", Ack + Acked(level), "sample 4660");
        row("no sample", sample, "0A", Hex("FAFD"), "no sample -1");
        row("sample never comes", sample, "0A", Ack, "failed 0");
        row("sample not acknowledged", sample, "0A", {}, "not acknowledged 0");

        const auto setClock = [](const QString& text) -> Exchange {
            return [text](Rig& r) { return Ok(r.commands.SetLoggerClock(text)); };
        };
        row("set clock", setClock("12/05/26 09:07:03"), "0103070901051226", Hex("FAFC"), "ok");
        row("four-digit year", setClock("12/05/2026 09:07:03"), "0103070901051226", Hex("FAFC"), "ok");
        row("12 AM is midnight", setClock("12/05/26 12:30:00 AM"), "0100300001051226", Hex("FAFC"), "ok");
        row("12 PM is noon", setClock("12/05/26 12:30:00 PM"), "0100301201051226", Hex("FAFC"), "ok");
        row("one PM", setClock("12/05/26 01:30:00 PM"), "0100301301051226", Hex("FAFC"), "ok");
        row("no time", setClock("12/05/26"), "", {}, "failed");
        row("month 13", setClock("13/05/26 09:07:03"), "", {}, "failed");
        row("day 0", setClock("12/00/26 09:07:03"), "", {}, "failed");
        row("minute 60", setClock("12/05/26 09:60:03"), "", {}, "failed");
        row("second 60", setClock("12/05/26 09:07:60"), "", {}, "failed");
        row("negative hour", setClock("12/05/26 -1:07:03"), "", {}, "failed");

        const Exchange clock = [](Rig& r) { return r.commands.ReadLoggerClock(); };
        const QString date = ShortDateText(QDate(2026, 12, 5)) + QLatin1Char(' ');
        row("twelve-hour PM 8", clock, "00", Acked(Hex("05076801051226")), date + "20:07:05");
        row("twelve-hour AM 12", clock, "00", Acked(Hex("05075201051226")), date + "00:07:05");
        row("twelve-hour PM 12", clock, "00", Acked(Hex("05077201051226")), date + "12:07:05");
        row("24-hour 23", clock, "00", Acked(Hex("59592301051226")), date + "23:59:59");
        row("day 0 of month 13", clock, "00", Acked(Hex("05076801001326")), "00/00/00 00:00:00");
        row("clock never comes", clock, "00", Ack, "00/00/00 00:00:00");

        const Exchange status = [](Rig& r) {
            r.status.LoggingStateText = QStringLiteral("kept");
            r.status.RecordCount = 7;
            const bool ok = r.commands.ReadLoggerStatus();
            return QStringLiteral("%1: %2, %3 records, word %4")
                .arg(Ok(ok), r.status.LoggingStateText)
                .arg(r.status.RecordCount)
                .arg(r.status.StatusWord, 4, 16, QLatin1Char('0'));
        };
        row("waiting", status, "0C", Acked(Hex("0100008008")), "ok: Waiting for Alarm 1, 1 records, word 0880");
        row("stopped", status, "0C", Acked(Hex("0000018030")), "ok: Stopped by Alarm 2, 65536 records, word 3080");
        row("until alarm 2", status, "0C", Acked(Hex("FFFFFF8010")),
            "ok: Logging Until Alarm 2, 16777215 records, word 1080");
        row("not logging", status, "0C", Acked(Hex("3412000028")), "ok: Not Logging, 4660 records, word 2800");
        row("logging", status, "0C", Acked(Hex("0000008000")), "ok: Logging, 0 records, word 0080");
        row("status one byte short", status, "0C", Acked(Hex("01000080")), "failed: kept, 7 records, word 0000");

        // What the logger has: analog channels, pulse channels, sample on demand; implausible counts are kept out.
        const Exchange identify = [](Rig& r) {
            r.settings.NumAnalogChannels = 5;
            r.settings.NumDigitalChannels = 1;
            const bool plausible = r.commands.ReadIdentification();
            return QStringLiteral("%1: v%2, %3 analog, %4 pulse%5")
                .arg(Ok(plausible))
                .arg(r.status.FirmwareVersion)
                .arg(r.settings.NumAnalogChannels)
                .arg(r.settings.NumDigitalChannels)
                .arg(r.settings.SodSupported ? ", on demand" : "");
        };
        row("on demand", identify, "0F", Acked(Hex("0703020100000000")), "ok: v7, 3 analog, 2 pulse, on demand");
        row("eight and none", identify, "0F", Acked(Hex("0708000000000000")), "ok: v7, 8 analog, 0 pulse");
        row("no analog channel", identify, "0F", Acked(Hex("0700020000000000")), "failed: v7, 5 analog, 1 pulse");
        row("nine analog", identify, "0F", Acked(Hex("0709020000000000")), "failed: v7, 5 analog, 1 pulse");
        row("three pulse", identify, "0F", Acked(Hex("0703030000000000")), "failed: v7, 5 analog, 1 pulse");
    }
    void exchanges()
    {
        QFETCH(Exchange, command);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        const QByteArray frame = request.isEmpty() ? QByteArray() : BuildFrame(request);
        rig->port.setResponder([&](const QByteArray& written) { return written == frame ? reply : QByteArray(); });
        QTEST(command(*rig), "result");
        QCOMPARE(rig->port.writtenData(), frame);
    }

    // The settings are written, then read back and compared: one byte that
    // differs in any region fails the programming. A fresh record reads them;
    // the window's steps run between the decode, the status read and the
    // clock read. When a region never comes the record stays as it was, and
    // status and clock are read all the same.
    void settingsRegions_data()
    {
        QTest::addColumn<int>("differs"); // the image byte the logger holds wrongly; -1: none
        QTest::addColumn<bool>("flowBlockComes");
        QTest::newRow("all kept") << -1 << true;
        QTest::newRow("general settings differ") << 0 << true;
        QTest::newRow("display block differs") << 250 << true;
        QTest::newRow("last flow byte differs") << 457 << true;
        QTest::newRow("flow block missing") << -1 << false;
    }
    void settingsRegions()
    {
        QFETCH(int, differs);
        QFETCH(bool, flowBlockComes);
        LoggerSettings& settings = rig->settings;
        ApplyDefaultSettings(settings, rig->rating);
        settings.LoggerName = QStringLiteral("Weir 4");
        QByteArray held = *EncodeSettings(settings, true);
        if (differs >= 0) {
            held[differs] = char(held.at(differs) ^ 0x01);
        }
        holdInRegions(held);
        if (!flowBlockComes) {
            answers.remove(BuildFrame(RegionRequest(SettingsReadRegions[2])));
        }
        answer(Hex("0C"), BuildFrame(Hex("0500008000")));
        answer(Hex("00"), BuildFrame(Hex("00000001010126")));
        QCOMPARE(rig->commands.ProgramSettings(), differs < 0 && flowBlockComes);

        LoggerSettings expected = settings;
        RatingState expectedRating;
        QVERIFY(DecodeSettings(held, expected, expectedRating, true));
        settings = LoggerSettings();
        settings.LoggerName = QStringLiteral("Kept");
        settings.NumAnalogChannels = expected.NumAnalogChannels;
        settings.NumDigitalChannels = expected.NumDigitalChannels;
        settings.SodSupported = expected.SodSupported;
        const qsizetype before = rig->port.writes().size();
        qsizetype writesAtDecode = -1;
        qsizetype writesAtLiveSamples = -1;
        LoggerCommands::SettingsReadSteps steps;
        steps.SettingsDecoded = [&] { writesAtDecode = rig->port.writes().size() - before; };
        steps.ShowLiveSamples = [&] { writesAtLiveSamples = rig->port.writes().size() - before; };
        QCOMPARE(rig->commands.ReadSettings(steps), flowBlockComes);
        if (flowBlockComes) {
            QCOMPARE(*EncodeSettings(settings, true), *EncodeSettings(expected, true));
            QCOMPARE(writesAtDecode, 3);
            QCOMPARE(writesAtLiveSamples, 4);
        } else {
            QCOMPARE(settings.LoggerName, QStringLiteral("Kept"));
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
