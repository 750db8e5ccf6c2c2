#include "link/ClockOffsetText.h"

#include <cstdlib>

namespace {

// The two largest units, the smaller left out when it is zero: "13 s",
// "2 min 13 s", "3 h 5 min", "2 days 3 h".
QString Span(qint64 seconds)
{
    struct Unit {
        qint64 Seconds;
        const char* Name;
    };
    static constexpr Unit Units[] = {{86400, "days"}, {3600, "h"}, {60, "min"}, {1, "s"}};
    for (size_t u = 0; u < std::size(Units); ++u) {
        if (seconds < Units[u].Seconds) {
            continue;
        }
        const qint64 whole = seconds / Units[u].Seconds;
        const char* name = (whole == 1 && u == 0) ? "day" : Units[u].Name;
        QString text = QStringLiteral("%1 %2").arg(whole).arg(QLatin1String(name));
        if (u + 1 < std::size(Units)) {
            const qint64 rest = (seconds % Units[u].Seconds) / Units[u + 1].Seconds;
            if (rest > 0) {
                text += QStringLiteral(" %1 %2").arg(rest).arg(QLatin1String(Units[u + 1].Name));
            }
        }
        return text;
    }
    return QStringLiteral("0 s");
}

} // namespace

QString ClockOffsetText(qint64 seconds)
{
    if (seconds == 0) {
        return QStringLiteral("Logger clock agrees with this computer");
    }
    return QStringLiteral("Logger clock %1 %2 this computer")
        .arg(Span(std::llabs(seconds)), seconds < 0 ? QStringLiteral("behind") : QStringLiteral("ahead of"));
}
