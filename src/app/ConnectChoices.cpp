#include "app/ConnectChoices.h"

QString ExtractPort(const QString& item)
{
    QString port = item.trimmed();
    const qsizetype blank = port.indexOf(QLatin1Char(' '), 1);
    if (blank > 0) {
        port.truncate(blank);
    }
    return port.toUpper();
}

int PortIndexFor(const QStringList& items, const QString& storedPort)
{
    for (int i = 0; i < items.size(); ++i) {
        if (ExtractPort(items.at(i)) == storedPort) {
            return i;
        }
    }
    // A newcomer's stored port matches nothing: offer a port that is really
    // there before a bare COM1. COM9 and above are the adapters and running
    // virtual loggers that were found; the built-in ports come next.
    int builtIn = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (!items.at(i).contains(QStringLiteral(" - "))) {
            continue;
        }
        if (PortNumber(ExtractPort(items.at(i))) > 8) {
            return i;
        }
        if (builtIn < 0) {
            builtIn = i;
        }
    }
    if (builtIn >= 0) {
        return builtIn;
    }
    return 0;
}

QStringList DirectBaudRates()
{
    return {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("28800"),
            QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")};
}

QStringList ModemBaudRates()
{
    return {QStringLiteral("9600"), QStringLiteral("19200")};
}
