#include "cli/TracePrinter.h"

#include <cstdio>

namespace {

const char* Meaning(LinkTraceEvent::Kind kind)
{
    using Kind = LinkTraceEvent::Kind;
    switch (kind) {
    case Kind::Sent: return "";
    case Kind::Acknowledged: return "acknowledged";
    case Kind::NotAcknowledged: return "not acknowledged";
    case Kind::Received: return "frame";
    case Kind::BadFrame: return "bad frame";
    case Kind::ReplyByte: return "reply";
    case Kind::Timeout: return "no reply";
    }
    return "";
}

} // namespace

void TracePrinter::print(const LinkTraceEvent& event) const
{
    const bool sent = event.kind == LinkTraceEvent::Kind::Sent;
    QString line = QStringLiteral("%1 %2 %3")
                       .arg(double(started_.elapsed()) / 1000.0, 8, 'f', 3)
                       .arg(QLatin1Char(sent ? '>' : '<'))
                       .arg(QString::fromLatin1(event.bytes.toHex(' ').toUpper()));
    QStringList meaning;
    if (*Meaning(event.kind)) {
        meaning << QString::fromLatin1(Meaning(event.kind));
    }
    if (!event.note.isEmpty()) {
        meaning << event.note;
    }
    if (!meaning.isEmpty()) {
        line += QStringLiteral("  ") + meaning.join(QStringLiteral(": "));
    }
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

void TracePrinter::printModemText(const QString& text) const
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString shown = line.trimmed();
        if (!shown.isEmpty()) {
            std::fprintf(stderr, "%8.3f modem: %s\n", double(started_.elapsed()) / 1000.0, qPrintable(shown));
        }
    }
}
