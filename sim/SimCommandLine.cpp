#include "SimCommandLine.h"

#include <QCommandLineParser>

namespace {

struct Range {
    double Low;
    double High;
};

// The option's value as a number within the range; false with a message
// when it is not one.
bool ReadNumber(const QCommandLineParser& parser, const QString& name, Range range, double& value, QString& error)
{
    if (!parser.isSet(name)) {
        return true;
    }
    const QString text = parser.value(name);
    bool ok = false;
    const double number = text.startsWith(QLatin1String("0x")) ? double(text.mid(2).toUInt(&ok, 16)) : text.toDouble(&ok);
    if (!ok || number < range.Low || number > range.High) {
        error = QStringLiteral("--%1 takes a number from %2 to %3, not \"%4\"")
                    .arg(name, QString::number(range.Low), QString::number(range.High, 'g', 10), text);
        return false;
    }
    value = number;
    return true;
}

template <typename T>
bool ReadInteger(const QCommandLineParser& parser, const QString& name, Range range, T& value, QString& error)
{
    double number = static_cast<double>(value);
    if (!ReadNumber(parser, name, range, number, error)) {
        return false;
    }
    if (number != static_cast<double>(static_cast<int64_t>(number))) {
        error = QStringLiteral("--%1 takes a whole number").arg(name);
        return false;
    }
    value = static_cast<T>(number);
    return true;
}

bool ReadCounts(const QCommandLineParser& parser, const QString& name, int most, QList<uint16_t>& counts,
                QString& error)
{
    if (!parser.isSet(name)) {
        return true;
    }
    if (!ParseRawCounts(parser.value(name), counts)) {
        error = QStringLiteral("--%1 takes raw counts from 0 to 65535 separated by commas").arg(name);
        return false;
    }
    if (counts.size() > most) {
        error = QStringLiteral("--%1 has more counts than the logger has channels").arg(name);
        return false;
    }
    return true;
}

// Command codes in hexadecimal separated by commas, such as "09,0A".
bool ReadCommandCodes(const QCommandLineParser& parser, const QString& name, QList<uint8_t>& codes, QString& error)
{
    if (!parser.isSet(name)) {
        return true;
    }
    for (const QString& part : parser.value(name).split(QLatin1Char(','))) {
        bool ok = false;
        const uint code = part.trimmed().toUInt(&ok, 16);
        if (!ok || code > 0xFF) {
            error = QStringLiteral("--%1 takes command codes in hexadecimal separated by commas, such as 09,0A").arg(name);
            return false;
        }
        codes.append(static_cast<uint8_t>(code));
    }
    return true;
}

// A range of milliseconds written as "low-high", such as 1100-3000.
bool ReadMillisecondRange(const QCommandLineParser& parser, const QString& name, int& low, int& high, QString& error)
{
    if (!parser.isSet(name)) {
        return true;
    }
    const QStringList parts = parser.value(name).split(QLatin1Char('-'));
    bool lowOk = false;
    bool highOk = false;
    const int first = parts.value(0).toInt(&lowOk);
    const int last = parts.value(1).toInt(&highOk);
    if (parts.size() != 2 || !lowOk || !highOk || first < 0 || last < first || last > 600000) {
        error = QStringLiteral("--%1 takes a range of milliseconds such as 1100-3000").arg(name);
        return false;
    }
    low = first;
    high = last;
    return true;
}

} // namespace

bool ParseRawCounts(const QString& text, QList<uint16_t>& counts)
{
    counts.clear();
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const uint value = part.trimmed().toUInt(&ok);
        if (!ok || value > 65535) {
            return false;
        }
        counts.append(static_cast<uint16_t>(value));
    }
    return true;
}

SimCommandLine ParseSimCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual Brevel field logger on a pseudo-terminal. Prints the device path and keeps a link to it in "
        "the virtual logger folder, where the Brevel Flow Monitor finds it."));
    parser.addHelpOption();
    auto add = [&parser](const char* name, const char* help, const char* value = nullptr) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                            value ? QString::fromLatin1(value) : QString()));
    };
    add("name", "Name of the link to the device (default \"logger\").", "name");
    add("analog", "Analog channels, 1 to 8 (default 3).", "count");
    add("pulse", "Pulse channels, 0 to 2 (default 2).", "count");
    add("firmware", "Firmware version, 0 to 255 (default 7).", "version");
    add("sod", "Sample on demand: 1 supported (default), 0 not.", "0|1");
    add("blank", "Memory never initialised: no signature, settings erased.");
    add("memory-file", "Keep the logger's memory in this file between runs.", "file");
    add("records", "History records to generate (default 500).", "count");
    add("record-period", "Seconds between history records (default 900).", "seconds");
    add("seed", "Seed of the generated readings and of the faults (default 1).", "number");
    add("status", "Status word, for example 0x0880 (default 0x0080, logging).", "word");
    add("twelve-hour", "Answer the clock in the twelve-hour format.");
    add("no-samples", "Answer every read-sample command with \"no data\".");
    add("mute-handshake", "Ignore the wake-up letters U, G and W.");
    add("mute", "Ignore these commands without a word: hexadecimal codes separated by commas, such as 09,0A.",
        "codes");
    add("erase-ms", "Milliseconds memory initialisation takes (default 500).", "ms");
    add("counts", "Fixed raw counts of the analog channels, channel 1 first, separated by commas.", "counts");
    add("pulse-counts", "Fixed raw counts of the pulse channels.", "counts");
    add("latency", "Milliseconds before each reply (default 0).", "ms");
    add("baud", "Send replies at this baud rate (default: at once).", "rate");
    add("noise", "Chance of a random byte before each reply byte.", "rate");
    add("lose-bytes", "Chance that a reply byte is lost.", "rate");
    add("corrupt", "Chance that one bit of a reply byte flips.", "rate");
    add("lose-acks", "Chance that an acknowledgement is lost.", "rate");
    add("lose-requests", "Chance that a request frame never reaches the logger.", "rate");
    add("late", "Chance that a reply leaves late; the replies after it wait behind it.", "rate");
    add("late-ms", "How late a late reply is, a range of milliseconds (default 1100-3000).", "low-high");
    add("hangup-after", "The line goes dead after this many reply bytes.", "bytes");
    add("modem", "Put a Hayes modem in front of the logger.");
    add("answer", "What dialling the modem gives: connect (default), busy or no-carrier.", "result");
    add("connect-after", "Milliseconds from the dial command to the modem's answer (default 2000).", "ms");
    add("trace", "Show every request and reply in hexadecimal on standard error.");
    add("control", "Read changes from standard input while serving, one per line: \"counts A,B,...\", "
                   "\"pulse-counts A,B\" or \"release\" (back to generated readings).");

    SimCommandLine result;
    if (!parser.parse(arguments)) {
        result.Error = parser.errorText();
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        result.HelpRequested = true;
        result.HelpText = parser.helpText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.Error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return result;
    }

    SimSettings& s = result.Settings;
    LoggerOptions& logger = s.Logger;
    FaultOptions& faults = logger.Faults;
    QString& error = result.Error;
    bool sod = logger.SampleOnDemand;
    const bool ok = ReadInteger(parser, QStringLiteral("analog"), {1, 8}, logger.AnalogChannels, error)
        && ReadInteger(parser, QStringLiteral("pulse"), {0, 2}, logger.PulseChannels, error)
        && ReadInteger(parser, QStringLiteral("firmware"), {0, 255}, logger.FirmwareVersion, error)
        && ReadInteger(parser, QStringLiteral("sod"), {0, 1}, sod, error)
        && ReadInteger(parser, QStringLiteral("records"), {0, MaxHistoryRecords}, logger.HistoryRecords, error)
        && ReadInteger(parser, QStringLiteral("record-period"), {1, 86400 * 31}, logger.RecordPeriodSeconds, error)
        && ReadInteger(parser, QStringLiteral("seed"), {0, 4294967295.0}, logger.DataSeed, error)
        && ReadInteger(parser, QStringLiteral("status"), {0, 65535}, logger.StatusWord, error)
        && ReadInteger(parser, QStringLiteral("erase-ms"), {0, 60000}, logger.InitialiseMs, error)
        && ReadCounts(parser, QStringLiteral("counts"), logger.AnalogChannels, s.AnalogCounts, error)
        && ReadCounts(parser, QStringLiteral("pulse-counts"), logger.PulseChannels, s.PulseCounts, error)
        && ReadInteger(parser, QStringLiteral("latency"), {0, 60000}, s.LatencyMs, error)
        && ReadInteger(parser, QStringLiteral("baud"), {0, 1000000}, s.Baud, error)
        && ReadNumber(parser, QStringLiteral("noise"), {0, 1}, faults.NoiseRate, error)
        && ReadNumber(parser, QStringLiteral("lose-bytes"), {0, 1}, faults.LoseByteRate, error)
        && ReadNumber(parser, QStringLiteral("corrupt"), {0, 1}, faults.CorruptRate, error)
        && ReadNumber(parser, QStringLiteral("lose-acks"), {0, 1}, faults.LoseAckRate, error)
        && ReadNumber(parser, QStringLiteral("lose-requests"), {0, 1}, faults.LoseRequestRate, error)
        && ReadNumber(parser, QStringLiteral("late"), {0, 1}, faults.LateRate, error)
        && ReadMillisecondRange(parser, QStringLiteral("late-ms"), faults.LateMinMs, faults.LateMaxMs, error)
        && ReadCommandCodes(parser, QStringLiteral("mute"), logger.MutedCommands, error)
        && ReadInteger(parser, QStringLiteral("hangup-after"), {0, 1e15}, faults.HangUpAfterBytes, error)
        && ReadInteger(parser, QStringLiteral("connect-after"), {0, 600000}, s.ModemSettings.ConnectDelayMs, error);
    if (!ok) {
        return result;
    }
    faults.Seed = logger.DataSeed;
    logger.SampleOnDemand = sod;
    logger.Initialised = !parser.isSet(QStringLiteral("blank"));
    logger.MemoryFile = parser.value(QStringLiteral("memory-file"));
    logger.TwelveHourClock = parser.isSet(QStringLiteral("twelve-hour"));
    logger.NoSamples = parser.isSet(QStringLiteral("no-samples"));
    logger.AnswersWakeUp = !parser.isSet(QStringLiteral("mute-handshake"));
    s.Modem = parser.isSet(QStringLiteral("modem"));
    s.Trace = parser.isSet(QStringLiteral("trace"));
    s.Control = parser.isSet(QStringLiteral("control"));
    if (parser.isSet(QStringLiteral("name"))) {
        s.Name = parser.value(QStringLiteral("name"));
        if (s.Name.isEmpty() || s.Name.contains(QLatin1Char('/')) || s.Name.startsWith(QLatin1Char('.'))) {
            error = QStringLiteral("--name takes a plain file name");
            return result;
        }
    }
    const QString answer = parser.value(QStringLiteral("answer"));
    if (answer == QLatin1String("busy")) {
        s.ModemSettings.Outcome = ModemOptions::DialOutcome::Busy;
    } else if (answer == QLatin1String("no-carrier")) {
        s.ModemSettings.Outcome = ModemOptions::DialOutcome::NoCarrier;
    } else if (!answer.isEmpty() && answer != QLatin1String("connect")) {
        error = QStringLiteral("--answer takes connect, busy or no-carrier");
    }
    return result;
}
