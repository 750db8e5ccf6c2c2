#include "FakeSerialPort.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/SettingsImage.h"
#include "core/DateText.h"
#include "flow/Rating.h"
#include "link/FrameCodec.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QTest>
#include <QTimer>
#include <map>
#include <memory>

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

// The payload of a well-formed request frame; empty for anything else.
QByteArray RequestPayload(const QByteArray& frame)
{
    if (frame.size() < 5 || static_cast<uint8_t>(frame.front()) != Frame::Start || !frame.endsWith('\xF9')) {
        return {};
    }
    QByteArray body;
    for (int i = 2; i < frame.size() - 1; ++i) {
        uint8_t byte = static_cast<uint8_t>(frame.at(i));
        if (byte == Frame::Escape) {
            byte = static_cast<uint8_t>(Frame::Start + frame.at(++i));
        }
        body.append(static_cast<char>(byte));
    }
    return body.left(body.size() - 2);
}

// A logger in miniature for command tests: it acknowledges every request
// frame and answers by command code; its memory serves reads and writes.
struct ScriptedLogger {
    QByteArray memory = QByteArray(1024, '\0');
    std::map<uint8_t, QByteArray> answers; // after the ack
    bool wakes = true;
    int wakeBytes = 0;
    QList<uint8_t> codes; // the command code of every request, in order

    QByteArray respond(const QByteArray& written)
    {
        if (written.size() == 1) {
            ++wakeBytes;
            if (!wakes) {
                return {};
            }
            static const std::map<char, QByteArray> wakeAnswers{{'U', "G"}, {'G', "W"}, {'W', Hex("FC")}};
            return wakeAnswers.at(written.at(0));
        }
        const QByteArray payload = RequestPayload(written);
        if (payload.isEmpty()) {
            return {};
        }
        const uint8_t code = static_cast<uint8_t>(payload.at(0));
        codes.append(code);
        const QByteArray ack(1, static_cast<char>(Frame::Acknowledge));
        if (code == Command::WriteMemory) {
            const int address = static_cast<uint8_t>(payload.at(3)) | (static_cast<uint8_t>(payload.at(4)) << 8);
            memory.replace(address, payload.size() - 7, payload.mid(7));
            return ack;
        }
        if (code == Command::ReadMemory) {
            const int address = static_cast<uint8_t>(payload.at(1)) | (static_cast<uint8_t>(payload.at(2)) << 8);
            return ack + BuildFrame(payload.mid(1, 3) + memory.mid(address, static_cast<uint8_t>(payload.at(4))));
        }
        const auto answer = answers.find(code);
        return answer == answers.end() ? QByteArray() : ack + answer->second;
    }
};

} // namespace

class LoggerCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<AppState> state;
    std::unique_ptr<LoggerSettings> settings;
    std::unique_ptr<RatingState> rating;
    std::unique_ptr<LoggerLink> link;
    std::unique_ptr<LoggerCommands> commands;
    std::unique_ptr<ReplyTicker> ticker;
    std::shared_ptr<ScriptedLogger> logger;

private slots:
    void init()
    {
        port = std::make_unique<FakeSerialPort>();
        state = std::make_unique<AppState>();
        state->ReplyTicks = 2;
        settings = std::make_unique<LoggerSettings>();
        rating = std::make_unique<RatingState>();
        link = std::make_unique<LoggerLink>(*port, *state);
        commands = std::make_unique<LoggerCommands>(*link, *state, *settings, *rating);
        ticker = std::make_unique<ReplyTicker>(*link, 3);
        ticker->start();
        logger = std::make_shared<ScriptedLogger>();
        port->setResponder([logger = logger](const QByteArray& written) { return logger->respond(written); });
        QVERIFY(link->OpenPort(1, QStringLiteral("9600,N,8,1")));
    }
    void cleanup()
    {
        ticker.reset();
        commands.reset();
        link.reset();
        port.reset();
    }

    void doneCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("clear memory") << "clear" << Hex("04A44A");
        QTest::newRow("reset pulse counts") << "reset" << Hex("0E03");
        QTest::newRow("confirm settings") << "confirm" << Hex("0BABBA");
        QTest::newRow("initialise memory") << "initialise" << Hex("06A66A00000002");
    }
    void doneCommands()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, payload);
        const std::map<QString, std::function<bool()>> run{
            {QStringLiteral("clear"), [this] { return commands->ClearLoggerMemory(); }},
            {QStringLiteral("reset"), [this] { return commands->ResetPulseAccumulators(); }},
            {QStringLiteral("confirm"), [this] { return commands->ConfirmSettings(); }},
            {QStringLiteral("initialise"), [this] { return commands->InitialiseMemory(); }}};
        const uint8_t code = static_cast<uint8_t>(payload.at(0));

        QVERIFY(!run.at(command)()); // acknowledged, but never done
        QCOMPARE(port->writes().first(), BuildFrame(payload));

        logger->answers[code] = Hex("FD");
        QVERIFY(!run.at(command)());
        logger->answers[code] = Hex("FC");
        QVERIFY(run.at(command)());
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
        QTest::newRow("dashes") << "12-05-26 09:07:03" << QByteArray();
        QTest::newRow("no time") << "12/05/26" << QByteArray();
        QTest::newRow("month 13") << "13/05/26 09:07:03" << QByteArray();
        QTest::newRow("minute 60") << "12/05/26 09:60:03" << QByteArray();
    }
    void setClock()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, payload);
        logger->answers[Command::SetClock] = Hex("FC");
        QCOMPARE(commands->SetLoggerClock(text), !payload.isEmpty());
        QCOMPARE(port->writtenData(), payload.isEmpty() ? QByteArray() : BuildFrame(payload));
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
        QFETCH(QString, text);
        if (!reply.isEmpty()) {
            logger->answers[Command::ReadClock] = BuildFrame(reply);
        }
        QCOMPARE(commands->ReadLoggerClock(), text);
        QCOMPARE(port->writes().first(), Hex("F803000000F9"));
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
        QFETCH(QString, text);
        QFETCH(uint, count);
        state->LoggingStateText = QStringLiteral("kept");
        state->RecordCount = 7;
        logger->answers[Command::ReadStatus] = BuildFrame(reply);
        QCOMPARE(commands->ReadLoggerStatus(), reply.size() == 5);
        QCOMPARE(state->LoggingStateText, text);
        QCOMPARE(state->RecordCount, count);
        if (reply.size() == 5) {
            QCOMPARE(state->StatusWord, uint16_t(uint8_t(reply.at(3)) | uint8_t(reply.at(4)) << 8));
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
        QFETCH(bool, plausible);
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(bool, sod);
        settings->NumAnalogChannels = 5;
        settings->NumDigitalChannels = 1;
        logger->answers[Command::ReadIdentification] = BuildFrame(reply);
        QCOMPARE(commands->ReadIdentification(), plausible);
        QCOMPARE(state->FirmwareVersion, int16_t(7));
        QCOMPARE(int(settings->NumAnalogChannels), analog);
        QCOMPARE(int(settings->NumDigitalChannels), pulse);
        QCOMPARE(settings->SodSupported, sod);
        QCOMPARE(port->writtenData(), Hex("F8030F4004F9"));
    }

    void programmedSettingsReadBack()
    {
        ApplyDefaultSettings(*settings, *rating);
        settings->LoggerName = QStringLiteral("Weir 4");
        QVERIFY(commands->ProgramSettings());
        const QByteArray image = *EncodeSettings(*settings, true);
        QCOMPARE(logger->memory.mid(8, 242) + logger->memory.mid(256, 48) + logger->memory.mid(512, 168), image);
        QCOMPARE(logger->codes, (QList<uint8_t>{7, 7, 7, 7, 8, 8, 8}));

        // A fresh record reads the same settings back; the window's steps run
        // between the decode, the status read and the clock read.
        LoggerSettings readBack;
        readBack.NumAnalogChannels = settings->NumAnalogChannels;
        readBack.NumDigitalChannels = settings->NumDigitalChannels;
        readBack.SodSupported = settings->SodSupported;
        LoggerCommands reader(*link, *state, readBack, *rating);
        logger->codes.clear();
        logger->answers[Command::ReadStatus] = BuildFrame(Hex("0500008000"));
        logger->answers[Command::ReadClock] = BuildFrame(Hex("00000001010126"));
        QList<uint8_t> codesAtDecode;
        QList<uint8_t> codesAtLiveSamples;
        LoggerCommands::SettingsReadSteps steps;
        steps.settingsDecoded = [&] { codesAtDecode = logger->codes; };
        steps.showLiveSamples = [&] { codesAtLiveSamples = logger->codes; };
        QVERIFY(reader.ReadSettings(steps));
        QCOMPARE(*EncodeSettings(readBack, true), image);
        QCOMPARE(codesAtDecode, (QList<uint8_t>{8, 8, 8}));
        QCOMPARE(codesAtLiveSamples, (QList<uint8_t>{8, 8, 8, 12}));
        QCOMPARE(logger->codes, (QList<uint8_t>{8, 8, 8, 12, 0}));
    }

    void programmingFailsOnOneDifferentByte()
    {
        ApplyDefaultSettings(*settings, *rating);
        // The logger keeps every write but one byte of the display block.
        port->setResponder([logger = logger](const QByteArray& written) {
            const QByteArray answer = logger->respond(written);
            logger->memory[300] = static_cast<char>(logger->memory.at(300) ^ 0x01);
            return answer;
        });
        QVERIFY(!commands->ProgramSettings());
    }

    void failedSettingsReadKeepsTheRecordAndStillReadsStatusAndClock()
    {
        settings->LoggerName = QStringLiteral("Kept");
        logger->answers[Command::ReadStatus] = BuildFrame(Hex("0500008000"));
        logger->answers[Command::ReadClock] = BuildFrame(Hex("00000001010126"));
        port->setResponder([logger = logger](const QByteArray& written) {
            // The third settings block never comes.
            return RequestPayload(written).startsWith(Hex("08000200")) ? QByteArray() : logger->respond(written);
        });
        QVERIFY(!commands->ReadSettings());
        QCOMPARE(settings->LoggerName, QStringLiteral("Kept"));
        QCOMPARE(state->RecordCount, 5u);
        QCOMPARE(state->LoggerTimeText, ShortDateText(QDate(2026, 1, 1)) + QStringLiteral(" 00:00:00"));
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
        QFETCH(bool, connected);
        QFETCH(int, attempts);
        logger->wakes = wakes;
        if (identifies) {
            logger->answers[Command::ReadIdentification] = BuildFrame(Hex("0703020100000000"));
        }
        QCOMPARE(commands->WakeLogger([cancel] { return cancel; }), connected);
        QCOMPARE(port->writes().count(QByteArray("U")), attempts);
        QCOMPARE(logger->codes.contains(Command::ReadIdentification), !cancel);
    }
};

BREVEL_TEST(LoggerCommandsTest)
#include "tst_loggercommands.moc"
