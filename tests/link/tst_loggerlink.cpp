#include "FakeSerialPort.h"
#include "LinkRig.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "core/DateText.h"

#include <QHash>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <tuple>

namespace {

using Rig = LinkRig<FakeSerialPort>;
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

} // namespace

class LoggerLinkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

private slots:
    void init()
    {
        rig = std::make_unique<Rig>();
        QVERIFY(rig->open());
    }

    // Every byte that goes out, and what the link or the command makes of the answers (each write gets the next).
    void exchanges_data()
    {
        QTest::addColumn<Exchange>("command");
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("result");
        const auto raw = [](const QByteArray& name, const Exchange& command, const QList<QByteArray>& replies,
                            const QByteArray& sent, const QString& result) {
            QTest::newRow(name.constData()) << command << replies << sent << result;
        };
        // A command of one request (empty: refused, nothing is sent) and the logger's whole answer to it.
        const auto row = [&raw](const QByteArray& name, const Exchange& command, const char* request,
                                const QByteArray& reply, const QString& result) {
            raw(name, command, {reply}, *request ? BuildFrame(Hex(request)) : QByteArray(), result);
        };

        // A payload goes out as the wire and comes back from it; a refused frame leaves the buffer as it was.
        const auto receive = [](QByteArray& got, Rig& r) {
            const bool ok = r.link.ReceiveFrame(got);
            return Ok(ok) + ' ' + got.toHex() + QStringLiteral(", %1 bytes left").arg(r.port.BytesAvailable());
        };
        const auto both = [&raw, receive](const char* name, const char* payload, const char* wire) {
            const Exchange echo = [payload, receive](Rig& r) {
                QByteArray got(Hex(payload).size(), 0x55);
                return r.link.SendFrame(Hex(payload), 0) ? receive(got, r) : QStringLiteral("not acknowledged");
            };
            raw(name, echo, {Ack + Hex(wire)}, Hex(wire), "ok " + Hex(payload).toHex() + ", 0 bytes left");
        };
        const auto received = [&raw, receive](const char* name, const QByteArray& wire, int expected, const char* got) {
            const Exchange fed = [wire, expected, receive](Rig& r) {
                r.port.feedReceived(wire);
                QByteArray buffer(expected, 0x55);
                return receive(buffer, r);
            };
            raw(name, fed, {}, {}, QString(got) + ", 0 bytes left");
        };
        // 0xF8 to 0xFE are escaped, 0xFF is not; so is the CRC, here 21F8, which goes out low byte first.
        both("every escaped byte, the crc's too", "68F8F9FAFBFCFDFEFF", "F80B68FE00FE01FE02FE03FE04FE05FE06FFFE0021F9");
        const QByteArray statusFrame = Hex("F8070A000080FE00FE0043F9");
        // 0xF9 inside the body is data; only 0xFE escapes.
        received("hunt past garbage, end byte as data", Hex("0055FAFF") + Hex("F803F9C042F9"), 1, "ok f9");
        received("no start at all", Hex("0102030405"), 5, "failed 5555555555");
        received("length one short", statusFrame, 6, "failed 555555555555");
        received("length one long", statusFrame, 4, "failed 55555555");
        // FE 07 would be 0xFF, and the CRC 4040 fits it: only the escape range refuses it.
        received("escape above 6", Hex("F803FE074040F9"), 1, "failed 55");
        received("missing end", statusFrame.left(statusFrame.size() - 1) + Hex("00"), 5, "failed 5555555555");
        received("crc mismatch", Hex("F8070A000080FE00FE0042F9"), 5, "failed 5555555555");
        received("truncated", statusFrame.left(6), 5, "failed 5555555555");

        const auto send = [](int retries, const QByteArray& payload = Hex("0C")) -> Exchange {
            return [retries, payload](Rig& r) {
                const bool ok = r.link.SendFrame(payload, retries);
                return ok ? "ok, left " + r.port.pendingInput().toHex() : QStringLiteral("failed");
            };
        };
        const QByteArray statusRequest = Hex("F8030C0005F9");
        raw("ack at once, reply kept", send(2), {Hex("FAF80302")}, statusRequest, "ok, left f80302");
        raw("done is no ack, then ack", send(2), {Done, Ack}, statusRequest.repeated(2), "ok, left ");
        // Stale bytes, and more that arrive during the first pause, are dropped and never taken for an ack.
        const Exchange stale = [](Rig& r) {
            r.port.feedReceived(Ack);
            QTimer::singleShot(1, &r.port, [&r] { r.port.feedReceived(Ack); });
            const bool ok = r.link.SendFrame(Hex("0C"), 0);
            return Ok(ok) + QStringLiteral(", %1 bytes left").arg(r.port.BytesAvailable());
        };
        raw("stale input", stale, {}, statusRequest, "failed, 0 bytes left");
        raw("payload too long", send(2, QByteArray(Frame::MaxPayload + 1, 1)), {}, {}, "failed");

        // Four bytes at 0x020100 after AABB: the reply echoes the address; a bad one is asked for again.
        const Exchange readFour = [](Rig& r) {
            QByteArray read = Hex("AABB");
            const bool ok = r.link.ReadBlock(read, 2, 4, 0x020100);
            return Ok(ok) + ' ' + read.toHex();
        };
        const QByteArray readRequest = BuildFrame(Hex("0800010204"));
        const QByteArray good = Acked(Hex("000102 11223344"));
        const QByteArray corrupt = Hex("FAF80900090211223344C9E4F9"); // the address no longer fits the CRC
        raw("low, then high byte differs", readFour, {Acked(Hex("010102 11223344")), Acked(Hex("000100 11223344"))},
            readRequest.repeated(2), "failed aabb00000000");
        raw("repeated once after a bad frame", readFour, {corrupt, good}, readRequest.repeated(2), "ok aabb11223344");

        const auto block = [](bool write, int offset, int count, int address) -> Exchange {
            return [=](Rig& r) {
                QByteArray buffer = Hex("0011223344556677") + QByteArray(248, 1);
                return Ok(write ? r.link.WriteBlock(buffer, offset, count, address)
                                : r.link.ReadBlock(buffer, offset, count, address));
            };
        };
        raw("read count too large", block(false, 0, 243, 0), {Ack}, {}, "failed");
        raw("read beyond 24 bits", block(false, 0, 8, 1 << 24), {Ack}, {}, "failed");
        // Start and end address, low byte first, then the data.
        raw("write across a page", block(true, 2, 3, 0x01FE), {Ack}, BuildFrame(Hex("07A77AFE010002 223344")), "ok");
        raw("largest write to 65535", block(true, 0, 238, 65298), {Ack},
            BuildFrame(Hex("07A77A12FFFFFF 0011223344556677") + QByteArray(230, 1)), "ok");
        raw("write count too large", block(true, 0, 239, 0), {Ack}, {}, "failed");
        raw("write past 65535", block(true, 0, 8, 65529), {Ack}, {}, "failed");
        raw("write beyond the buffer", block(true, 250, 8, 0), {Ack}, {}, "failed");

        const Exchange wake = [](Rig& r) {
            r.port.feedReceived(Hex("1234")); // left over from before: flushed first
            return Ok(r.link.WakeHandshake());
        };
        raw("stray byte before G", wake, {Hex("0047")}, "U", "failed");
        raw("wrong second answer", wake, {"G", "G"}, "UG", "failed");
        raw("silent after W", wake, {"G", "W"}, "UGW", "failed");
        // Ten tries at the handshake, then identification: a logger already awake answers only that.
        const auto wakeLogger = [](bool cancel) -> Exchange {
            return [cancel](Rig& r) { return Ok(r.commands.WakeLogger([cancel] { return cancel; })); };
        };
        const QByteArray asked = BuildFrame(Hex("0F"));
        const QByteArray identity = Acked(Hex("0703020100000000"));
        const QByteArray tenTries = QByteArray("U").repeated(10);
        const QList<QByteArray> handshake{"G", "W", Done};
        raw("wake and identify", wakeLogger(false), handshake + QList{identity}, "UGW" + asked, "ok");
        raw("already awake", wakeLogger(false), QList<QByteArray>(10) << identity, tenTries + asked, "ok");
        raw("wakes, never identifies", wakeLogger(false), handshake, "UGW" + asked.repeated(3), "failed");
        raw("wake cancelled", wakeLogger(true), {}, "U", "failed");
        raw("never wakes", wakeLogger(false), {}, tenTries + asked.repeated(3), "failed");

        using DoneRow = std::tuple<const char*, bool (LoggerCommands::*)(), const char*>;
        for (const auto& [name, done, request] : std::initializer_list<DoneRow>{
                 {"clear memory", &LoggerCommands::ClearLoggerMemory, "04A44A"},
                 {"reset pulse counts", &LoggerCommands::ResetPulseAccumulators, "0E03"},
                 {"confirm settings", &LoggerCommands::ConfirmSettings, "0BABBA"},
                 {"initialise memory", &LoggerCommands::InitialiseMemory, "06A66A00000002"}}) {
            const Exchange command = [done](Rig& r) { return Ok((r.commands.*done)()); };
            row(QByteArray(name) + ": done", command, request, Hex("FAFC"), "ok");
            row(QByteArray(name) + ": no", command, request, Hex("FAFD"), "failed");
            row(QByteArray(name) + ": acknowledged, never done", command, request, Ack, "failed");
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
        row("12 AM is midnight", setClock("12/05/26 12:30:00 AM"), "0100300001051226", Hex("FAFC"), "ok");
        row("12 PM is noon", setClock("12/05/26 12:30:00 PM"), "0100301201051226", Hex("FAFC"), "ok");
        row("one PM, four-digit year", setClock("12/05/2026 01:30:00 PM"), "0100301301051226", Hex("FAFC"), "ok");
        for (const char* refused : {"12/05/26", "13/05/26 09:07:03", "12/00/26 09:07:03", "12/05/26 09:60:03",
                                    "12/05/26 09:07:60", "12/05/26 -1:07:03"}) {
            row(QByteArray("set clock to ") + refused, setClock(refused), "", {}, "failed");
        }

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
            return QString::asprintf("%s: %s, %u records, word %04x", qPrintable(Ok(ok)),
                                     qPrintable(r.status.LoggingStateText), r.status.RecordCount, r.status.StatusWord);
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
            const bool ok = r.commands.ReadIdentification();
            return QString::asprintf("%s: v%d, %d analog, %d pulse%s", qPrintable(Ok(ok)), r.status.FirmwareVersion,
                                     r.settings.NumAnalogChannels, r.settings.NumDigitalChannels,
                                     r.settings.SodSupported ? ", on demand" : "");
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
        QFETCH(QList<QByteArray>, replies);
        rig->port.scriptReplies(replies);
        QTEST(command(*rig), "result");
        QTEST(rig->port.writtenData(), "sent");
    }

    // Programming reads back: a byte that differs fails it. Reading runs the window's steps amid decode, status, clock.
    void settingsRegions_data()
    {
        QTest::addColumn<int>("flip"); // the bits of the last flow byte (457) that the logger holds wrongly
        QTest::addColumn<bool>("flowBlockComes");
        QTest::newRow("all kept") << 0 << true;
        QTest::newRow("last flow byte differs") << 1 << true;
        QTest::newRow("flow block missing") << 0 << false;
    }
    void settingsRegions()
    {
        QFETCH(int, flip);
        QFETCH(bool, flowBlockComes);
        LoggerSettings& settings = rig->settings;
        ApplyDefaultSettings(settings, rig->rating);
        settings.LoggerName = QStringLiteral("Weir 4");
        QByteArray held = *EncodeSettings(settings, true);
        held[457] = char(held.at(457) ^ flip);
        // The logger answers what it holds, status and clock; every write of memory is acknowledged.
        QHash<QByteArray, QByteArray> answers{{BuildFrame(Hex("0C")), Acked(Hex("0500008000"))},
                                              {BuildFrame(Hex("00")), Acked(Hex("00000001010126"))}};
        for (const SettingsRegion& region : SettingsReadRegions) {
            const QByteArray address = QByteArray(1, char(region.Address & 0xFF)) + char(region.Address >> 8) + '\0';
            if (flowBlockComes || &region != &SettingsReadRegions[2]) {
                answers[BuildFrame(Hex("08") + address + char(region.Length))] =
                    Acked(address + held.mid(region.ImageOffset, region.Length));
            }
        }
        rig->port.setResponder([&answers](const QByteArray& written) {
            const bool memoryWrite = written.size() > 3 && uint8_t(written.at(2)) == Command::WriteMemory;
            return answers.value(written, memoryWrite ? Ack : QByteArray());
        });
        QCOMPARE(rig->commands.ProgramSettings(), flip == 0 && flowBlockComes);

        settings.LoggerName = QStringLiteral("Kept");
        const qsizetype before = rig->port.writes().size();
        qsizetype writesAtDecode = -1;
        qsizetype writesAtLiveSamples = -1;
        LoggerCommands::SettingsReadSteps steps;
        steps.SettingsDecoded = [&] { writesAtDecode = rig->port.writes().size() - before; };
        steps.ShowLiveSamples = [&] { writesAtLiveSamples = rig->port.writes().size() - before; };
        QCOMPARE(rig->commands.ReadSettings(steps), flowBlockComes);
        QCOMPARE(settings.LoggerName, flowBlockComes ? QStringLiteral("Weir 4") : QStringLiteral("Kept"));
        QCOMPARE(writesAtDecode, flowBlockComes ? 3 : -1);
        // The missing block is asked for six times: two attempts, each a send and two repeats of it.
        QCOMPARE(writesAtLiveSamples, flowBlockComes ? 4 : 9);
        QCOMPARE(rig->port.writes().constLast(), BuildFrame(Hex("00")));
        QCOMPARE(rig->status.RecordCount, 5u);
        QCOMPARE(rig->status.LoggerTimeText, ShortDateText(QDate(2026, 1, 1)) + QStringLiteral(" 00:00:00"));
    }
};

BREVEL_TEST(LoggerLinkTest)
#include "tst_loggerlink.moc"
