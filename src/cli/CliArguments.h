#pragma once

#include "cli/ExitCode.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// How to reach the logger: the options every subcommand that talks to one takes.
struct LoggerReach {
    QString port; // COMn, a device path, or a virtual logger's name
    QString baud;
    bool modem = false;
    QString number;
    QString modemFile;
    int dialSeconds = 90;
    bool trace = false;
};

// The options of one subcommand. Usage errors and --help end the run with
// the exit code parse() returns.
class CliArguments {
public:
    // synopsis: what follows "brevel" in the usage line, such as
    // "status --port PORT [options]"; summary: one line of what it does.
    CliArguments(QString synopsis, QString summary);

    void addOption(const QString& name, const QString& description, const QString& valueName = {});
    // --port, --baud, --modem, --number, --modem-file, --dial-timeout, --trace.
    void addLoggerOptions();
    // --archive URL.
    void addArchiveOption();

    // arguments: the subcommand's own, without the program and subcommand
    // names. Nothing when the subcommand should run; otherwise its exit code
    // (Done after --help).
    std::optional<ExitCode> parse(const QStringList& arguments, int positionalCount);

    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const { return parser_.value(name); }
    QStringList positional() const { return parser_.positionalArguments(); }
    bool json() const { return parser_.isSet(QStringLiteral("json")); }
    // After parse(), for subcommands with addLoggerOptions().
    const LoggerReach& reach() const { return reach_; }

    // Prints "brevel: message" on standard error and returns the usage code.
    static ExitCode usageError(const QString& message);

private:
    QString helpText() const;
    std::optional<ExitCode> readLoggerOptions();

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
