#include "link/PortDiscovery.h"

#include "link/PortDirectory.h"

#ifndef Q_OS_WIN
QStringList DiscoverPorts(PortDirectory& directory)
{
    directory.Rescan();
    QStringList entries{QString()};
    for (const NumberedPort& port : directory.Ports()) {
        entries.append(port.Entry());
    }
    return entries;
}
#endif
