#include "SimControl.h"

#include "LoggerEngine.h"
#include "SimCommandLine.h"

QString ApplyControlLine(const QString& line, LoggerEngine& logger)
{
    const QString text = line.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    if (text == QLatin1String("release")) {
        logger.ReleaseLiveCounts();
        return {};
    }
    const QString command = text.section(QLatin1Char(' '), 0, 0);
    const bool analog = command == QLatin1String("counts");
    if (!analog && command != QLatin1String("pulse-counts")) {
        return QStringLiteral("unknown control \"%1\"; use counts, pulse-counts or release").arg(command);
    }
    QList<uint16_t> counts;
    const int channels = analog ? logger.Options().AnalogChannels : logger.Options().PulseChannels;
    if (!ParseRawCounts(text.section(QLatin1Char(' '), 1).trimmed(), counts)) {
        return QStringLiteral("%1 takes raw counts from 0 to 65535 separated by commas").arg(command);
    }
    if (counts.size() > channels) {
        return QStringLiteral("%1 has more counts than the logger has channels").arg(command);
    }
    for (int c = 0; c < counts.size(); ++c) {
        if (analog) {
            logger.SetLiveAnalogCount(c, counts.at(c));
        } else {
            logger.SetLivePulseCount(c, counts.at(c));
        }
    }
    return {};
}
