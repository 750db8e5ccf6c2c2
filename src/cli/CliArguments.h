#pragma once

#include "cli/ExitCode.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// How to reach the logger: the options every subcommand that talks to one takes.
struct LoggerReach {
    QString Port; // COMn, a device path, or a virtual logger's name
    QString Baud;
    bool Modem = false;
    QString Number;
    QString ModemFile;
    int DialSeconds = 90;
    bool Trace = false;
};

// The options of one subcommand. Usage errors and --help end the run with
// the exit code Parse() returns.
class CliArguments {
public:
    // synopsis: what follows "brevel" in the usage line, such as
    // "status --port PORT [options]"; summary: one line of what it does.
    CliArguments(QString synopsis, QString summary);

    void AddOption(const QString& name, const QString& description, const QString& valueName = {});
    // --port, --baud, --modem, --number, --modem-file, --dial-timeout, --trace.
    void AddLoggerOptions();
    // --archive URL.
    void AddArchiveOption();

    // arguments: the subcommand's own, without the program and subcommand
    // names. Nothing when the subcommand should run; otherwise its exit code
    // (Done after --help).
    std::optional<ExitCode> Parse(const QStringList& arguments, int positionalCount);

    bool IsSet(const QString& name) const { return parser_.isSet(name); }
    QString Value(const QString& name) const { return parser_.value(name); }
    QStringList Positional() const { return parser_.positionalArguments(); }
    bool Json() const { return parser_.isSet(QStringLiteral("json")); }
    // After Parse(), for subcommands with AddLoggerOptions().
    const LoggerReach& Reach() const { return reach_; }

    // Prints "brevel: message" on standard error and returns the usage code.
    static ExitCode UsageError(const QString& message);

private:
    QString HelpText() const;
    std::optional<ExitCode> ReadLoggerOptions();

    QString synopsis_;
    QString summary_;
    QCommandLineParser parser_;
    bool loggerOptions_ = false;
    LoggerReach reach_;
};

// "brevel: message" on standard error; returns code.
ExitCode Fail(ExitCode code, const QString& message);
// "brevel: warning: message" on standard error.
void Warn(const QString& message);
// A message of the program's own boxes on one line: line breaks become blanks.
QString OneLine(QString text);
