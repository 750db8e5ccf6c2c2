#include "app/Program.h"
#include "core/AppFolder.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Program program(QApplication::arguments().mid(1).join(QLatin1Char(' ')), AppFolder());
    return program.Run();
}
