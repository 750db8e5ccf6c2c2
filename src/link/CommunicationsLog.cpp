#include "link/CommunicationsLog.h"

namespace {

QString Meaning(LinkTraceEvent::Kind kind)
{
    using Kind = LinkTraceEvent::Kind;
    switch (kind) {
    case Kind::Sent: return {};
    case Kind::Acknowledged: return QStringLiteral("acknowledged");
    case Kind::NotAcknowledged: return QStringLiteral("not acknowledged");
    case Kind::Received: return QStringLiteral("frame");
    case Kind::BadFrame: return QStringLiteral("bad frame");
    case Kind::ReplyByte: return QStringLiteral("reply");
    case Kind::Timeout: return QStringLiteral("no reply");
    }
    return {};
}

QString Seconds(double seconds)
{
    return QStringLiteral("%1").arg(seconds, 8, 'f', 3);
}

} // namespace

QString TraceLineText(const LinkTraceEvent& event, double seconds)
{
    const bool sent = event.Type == LinkTraceEvent::Kind::Sent;
    QString line = QStringLiteral("%1 %2 %3")
                       .arg(Seconds(seconds), QLatin1String(sent ? ">" : "<"),
                            QString::fromLatin1(event.Bytes.toHex(' ').toUpper()));
    QStringList meaning;
    if (const QString kind = Meaning(event.Type); !kind.isEmpty()) {
        meaning << kind;
    }
    if (!event.Note.isEmpty()) {
        meaning << event.Note;
    }
    if (!meaning.isEmpty()) {
        line += QStringLiteral("  ") + meaning.join(QStringLiteral(": "));
    }
    return line;
}

void CommunicationsLog::Add(const LinkTraceEvent& event)
{
    Append(TraceLineText(event, double(started_.elapsed()) / 1000.0));
}

void CommunicationsLog::AddNote(const QString& text)
{
    Append(Seconds(double(started_.elapsed()) / 1000.0) + QStringLiteral("   ") + text);
}

QString CommunicationsLog::Text() const
{
    QString text;
    for (const QString& line : lines_) {
        text += line + QLatin1Char('\n');
    }
    return text;
}

void CommunicationsLog::Append(QString line)
{
    if (int(lines_.size()) == MaxLines) {
        lines_.pop_front();
    }
    lines_.push_back(std::move(line));
    if (OnLine) {
        OnLine(lines_.back());
    }
}
