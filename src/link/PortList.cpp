#include "link/PortList.h"

QStringList BuildPortList(const QStringList& discovered)
{
    QStringList items;
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        const QString prefix = name + QStringLiteral(" - ");
        QString item = n <= 8 ? name : QString();
        for (const QString& entry : discovered) {
            if (entry.startsWith(prefix)) {
                item = entry;
                break;
            }
        }
        if (!item.isEmpty()) {
            items << item;
        }
    }
    return items;
}

int PortNumber(const QString& portName)
{
    bool ok = false;
    const int number = portName.mid(3).toInt(&ok);
    return ok ? number : 0;
}
