#pragma once

#include "link/LoggerLink.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// One trace event as a line: seconds since the log started, direction, the
// bytes in hexadecimal and what the link made of them.
//   0.412 > F8 03 0C 00 05 F9
//   0.431 < FA  acknowledged
//   2.448 <   no reply: timeout
QString TraceLineText(const LinkTraceEvent& event, double seconds);

// The conversation with the logger as lines, the newest kept up to a limit,
// for a user to read or send to support after something went wrong.
class CommunicationsLog {
public:
    static constexpr int MaxLines = 20000;

    CommunicationsLog() { started_.start(); }

    void Add(const LinkTraceEvent& event);
    // A note of the program's own, such as what the modem said.
    void AddNote(const QString& text);
    void Clear() { lines_.clear(); }

    const std::deque<QString>& Lines() const { return lines_; }
    QString Text() const;
    // Hears each line as it is added.
    std::function<void(const QString& line)> OnLine;

private:
    void Append(QString line);

    QElapsedTimer started_;
    std::deque<QString> lines_;
};
