#include "app/Program.h"
#include "app/VersionReport.h"
#include "core/AppFolder.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (AsksForVersionReport(argc, argv)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        WriteVersionReport(out, AppFolder());
        return 0;
    }
    QApplication app(argc, argv);
    Program program(QApplication::arguments().mid(1).join(QLatin1Char(' ')), AppFolder());
    return program.Run();
}
