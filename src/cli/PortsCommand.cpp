#include "cli/CliArguments.h"
#include "cli/Report.h"
#include "cli/Subcommands.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/PortList.h"

#include <QJsonObject>

ExitCode RunPorts(const QStringList& arguments)
{
    CliArguments options(QStringLiteral("ports [--json]"),
                         QStringLiteral("List the ports as the Connect window offers them: COM1 to COM16, with the "
                                        "adapters and virtual loggers found and their devices."));
    if (const auto end = options.Parse(arguments, 0)) {
        return *end;
    }
    PortDirectory directory;
    const QStringList items = BuildPortList(DiscoverPorts(directory));
    QJsonArray rows;
    for (const QString& item : items) {
        const int number = PortNumber(item.section(QLatin1Char(' '), 0, 0));
        QJsonObject row{{QStringLiteral("port"), QStringLiteral("COM%1").arg(number)},
                        {QStringLiteral("entry"), item}};
        QString device = number <= PortDirectory::FixedPortCount ? FixedPortName(number) : QString();
        for (const NumberedPort& port : directory.Ports()) {
            if (port.Number == number) {
                device = port.Device.DisplayPath;
                row.insert(QStringLiteral("name"), port.Device.Name);
                row.insert(QStringLiteral("opens"), port.Device.SystemPath);
            }
        }
        row.insert(QStringLiteral("device"), device);
        rows.append(row);
    }
    Report report(options.Json());
    report.AddRows(QStringLiteral("ports"), rows, items);
    report.Print();
    return ExitCode::Done;
}
