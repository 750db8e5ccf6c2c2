#include "cli/CliArguments.h"

#include <cstdio>

CliArguments::CliArguments(QString synopsis, QString summary)
    : synopsis_(std::move(synopsis)), summary_(std::move(summary))
{
    parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser_.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                         QStringLiteral("Show this help and the exit codes.")));
    AddOption(QStringLiteral("json"), QStringLiteral("Write the result as JSON on standard output."));
}

void CliArguments::AddOption(const QString& name, const QString& description, const QString& valueName)
{
    parser_.addOption(QCommandLineOption(name, description, valueName));
}

void CliArguments::AddLoggerOptions()
{
    loggerOptions_ = true;
    AddOption(QStringLiteral("port"),
              QStringLiteral("The logger's port: COM1 to COM16 as \"brevel ports\" lists them, a device "
                             "(/dev/ttyUSB0) or a virtual logger's name."),
              QStringLiteral("PORT"));
    AddOption(QStringLiteral("baud"), QStringLiteral("Baud rate (default 38400, 9600 through a modem)."),
              QStringLiteral("RATE"));
    AddOption(QStringLiteral("modem"), QStringLiteral("Reach the logger through a Hayes modem on the port."));
    AddOption(QStringLiteral("number"), QStringLiteral("The telephone number the modem dials."),
              QStringLiteral("N"));
    AddOption(QStringLiteral("modem-file"),
              QStringLiteral("Modem command file: one command per line, sent after ATZ instead of ATE1V1Q0."),
              QStringLiteral("FILE"));
    AddOption(QStringLiteral("dial-timeout"),
              QStringLiteral("Seconds to wait for the modem to connect (default 90)."), QStringLiteral("SECONDS"));
    AddOption(QStringLiteral("trace"),
              QStringLiteral("Write every frame sent and received, and what became of it, to standard error."));
}

void CliArguments::AddArchiveOption()
{
    AddOption(QStringLiteral("archive"),
              QStringLiteral("The archive: sqlite:PATH or postgresql://[USER@][HOST][:PORT]/DATABASE "
                             "(default: archive.sqlite in the user's data folder)."),
              QStringLiteral("URL"));
}

QString CliArguments::HelpText() const
{
    // Qt's own help starts with its usage line; ours names the subcommand.
    QString options = parser_.helpText();
    options = options.mid(options.indexOf(QLatin1String("Options:")));
    return QStringLiteral("Usage: brevel %1\n%2\n\n%3\n%4")
        .arg(synopsis_, summary_, options, QString::fromLatin1(ExitCodeHelp()));
}

std::optional<ExitCode> CliArguments::Parse(const QStringList& arguments, int positionalCount)
{
    if (!parser_.parse(QStringList{QStringLiteral("brevel")} + arguments)) {
        return UsageError(parser_.errorText());
    }
    if (parser_.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(HelpText()), stdout);
        return ExitCode::Done;
    }
    const QStringList extra = parser_.positionalArguments();
    if (extra.size() > positionalCount) {
        return UsageError(QStringLiteral("unexpected argument \"%1\"").arg(extra.at(positionalCount)));
    }
    if (extra.size() < positionalCount) {
        return UsageError(QStringLiteral("missing argument; see brevel %1 --help")
                              .arg(synopsis_.section(QLatin1Char(' '), 0, 0)));
    }
    return loggerOptions_ ? ReadLoggerOptions() : std::nullopt;
}

std::optional<ExitCode> CliArguments::ReadLoggerOptions()
{
    reach_.Port = Value(QStringLiteral("port"));
    reach_.Modem = IsSet(QStringLiteral("modem"));
    reach_.Number = Value(QStringLiteral("number"));
    reach_.ModemFile = Value(QStringLiteral("modem-file"));
    reach_.Trace = IsSet(QStringLiteral("trace"));
    reach_.Baud = IsSet(QStringLiteral("baud")) ? Value(QStringLiteral("baud"))
                                                : QString::fromLatin1(reach_.Modem ? "9600" : "38400");
    if (reach_.Port.isEmpty()) {
        return UsageError(QStringLiteral("--port is needed: the logger's port (see brevel ports)"));
    }
    bool ok = false;
    if (reach_.Baud.toInt(&ok) <= 0 || !ok) {
        return UsageError(QStringLiteral("--baud takes a baud rate such as 9600 or 38400, not \"%1\"").arg(reach_.Baud));
    }
    if (!reach_.Modem && (IsSet(QStringLiteral("number")) || IsSet(QStringLiteral("modem-file")))) {
        return UsageError(QStringLiteral("--number and --modem-file go with --modem"));
    }
    if (reach_.Modem && reach_.Number.trimmed().isEmpty()) {
        return UsageError(QStringLiteral("--modem needs --number, the telephone number to dial"));
    }
    if (IsSet(QStringLiteral("dial-timeout"))) {
        reach_.DialSeconds = Value(QStringLiteral("dial-timeout")).toInt(&ok);
        if (!ok || reach_.DialSeconds < 1) {
            return UsageError(QStringLiteral("--dial-timeout takes a number of seconds"));
        }
    }
    return std::nullopt;
}

ExitCode CliArguments::UsageError(const QString& message)
{
    return Fail(ExitCode::Usage, message);
}

ExitCode Fail(ExitCode code, const QString& message)
{
    std::fprintf(stderr, "brevel: %s\n", qPrintable(message));
    return code;
}

void Warn(const QString& message)
{
    std::fprintf(stderr, "brevel: warning: %s\n", qPrintable(message));
}

QString OneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}
