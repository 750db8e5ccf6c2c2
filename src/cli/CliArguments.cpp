#include "cli/CliArguments.h"

#include <cstdio>

CliArguments::CliArguments(QString synopsis, QString summary)
    : synopsis_(std::move(synopsis)), summary_(std::move(summary))
{
    parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser_.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                         QStringLiteral("Show this help and the exit codes.")));
    addOption(QStringLiteral("json"), QStringLiteral("Write the result as JSON on standard output."));
}

void CliArguments::addOption(const QString& name, const QString& description, const QString& valueName)
{
    parser_.addOption(QCommandLineOption(name, description, valueName));
}

void CliArguments::addLoggerOptions()
{
    loggerOptions_ = true;
    addOption(QStringLiteral("port"),
              QStringLiteral("The logger's port: COM1 to COM16 as \"brevel ports\" lists them, a device "
                             "(/dev/ttyUSB0) or a virtual logger's name."),
              QStringLiteral("PORT"));
    addOption(QStringLiteral("baud"), QStringLiteral("Baud rate (default 38400, 9600 through a modem)."),
              QStringLiteral("RATE"));
    addOption(QStringLiteral("modem"), QStringLiteral("Reach the logger through a Hayes modem on the port."));
    addOption(QStringLiteral("number"), QStringLiteral("The telephone number the modem dials."),
              QStringLiteral("N"));
    addOption(QStringLiteral("modem-file"),
              QStringLiteral("Modem command file: one command per line, sent after ATZ instead of ATE1V1Q0."),
              QStringLiteral("FILE"));
    addOption(QStringLiteral("dial-timeout"),
              QStringLiteral("Seconds to wait for the modem to connect (default 90)."), QStringLiteral("SECONDS"));
    addOption(QStringLiteral("trace"),
              QStringLiteral("Write every frame sent and received, and what became of it, to standard error."));
}

void CliArguments::addArchiveOption()
{
    addOption(QStringLiteral("archive"),
              QStringLiteral("The archive: sqlite:PATH or postgresql://[USER@][HOST][:PORT]/DATABASE "
                             "(default: archive.sqlite in the user's data folder)."),
              QStringLiteral("URL"));
}

QString CliArguments::helpText() const
{
    // Qt's own help starts with its usage line; ours names the subcommand.
    QString options = parser_.helpText();
    options = options.mid(options.indexOf(QLatin1String("Options:")));
    return QStringLiteral("Usage: brevel %1\n%2\n\n%3\n%4")
        .arg(synopsis_, summary_, options, QString::fromLatin1(ExitCodeHelp()));
}

std::optional<ExitCode> CliArguments::parse(const QStringList& arguments, int positionalCount)
{
    if (!parser_.parse(QStringList{QStringLiteral("brevel")} + arguments)) {
        return usageError(parser_.errorText());
    }
    if (parser_.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(helpText()), stdout);
        return ExitCode::Done;
    }
    const QStringList extra = parser_.positionalArguments();
    if (extra.size() > positionalCount) {
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(extra.at(positionalCount)));
    }
    if (extra.size() < positionalCount) {
        return usageError(QStringLiteral("missing argument; see brevel %1 --help")
                              .arg(synopsis_.section(QLatin1Char(' '), 0, 0)));
    }
    return loggerOptions_ ? readLoggerOptions() : std::nullopt;
}

std::optional<ExitCode> CliArguments::readLoggerOptions()
{
    reach_.port = value(QStringLiteral("port"));
    reach_.modem = isSet(QStringLiteral("modem"));
    reach_.number = value(QStringLiteral("number"));
    reach_.modemFile = value(QStringLiteral("modem-file"));
    reach_.trace = isSet(QStringLiteral("trace"));
    reach_.baud = isSet(QStringLiteral("baud")) ? value(QStringLiteral("baud"))
                                                : QString::fromLatin1(reach_.modem ? "9600" : "38400");
    if (reach_.port.isEmpty()) {
        return usageError(QStringLiteral("--port is needed: the logger's port (see brevel ports)"));
    }
    bool ok = false;
    if (reach_.baud.toInt(&ok) <= 0 || !ok) {
        return usageError(QStringLiteral("--baud takes a baud rate such as 9600 or 38400, not \"%1\"").arg(reach_.baud));
    }
    if (!reach_.modem && (isSet(QStringLiteral("number")) || isSet(QStringLiteral("modem-file")))) {
        return usageError(QStringLiteral("--number and --modem-file go with --modem"));
    }
    if (reach_.modem && reach_.number.trimmed().isEmpty()) {
        return usageError(QStringLiteral("--modem needs --number, the telephone number to dial"));
    }
    if (isSet(QStringLiteral("dial-timeout"))) {
        reach_.dialSeconds = value(QStringLiteral("dial-timeout")).toInt(&ok);
        if (!ok || reach_.dialSeconds < 1) {
            return usageError(QStringLiteral("--dial-timeout takes a number of seconds"));
        }
    }
    return std::nullopt;
}

ExitCode CliArguments::usageError(const QString& message)
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
