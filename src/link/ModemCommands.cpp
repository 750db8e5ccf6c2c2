#include "link/ModemCommands.h"

#include "core/MostRecentFirst.h"

#include <QIODevice>
#include <QTextStream>

void RememberModemNumber(std::array<QString, 4>& numbers, const QString& number)
{
    PutFirst(numbers, number);
}

QString ModemCommandOfLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && trimmed.at(end).unicode() > 32 && trimmed.at(end) != QLatin1Char(';')) {
        ++end;
    }
    return trimmed.left(end).toUpper();
}

QStringList DefaultModemCommands()
{
    return {ModemResetCommand, ModemDefaultSetup};
}

QStringList ModemCommandsFromFile(QIODevice& file)
{
    QStringList commands{ModemResetCommand};
    QTextStream in(&file);
    QString line;
    int taken = 0;
    while (taken < MaxModemFileCommands && in.readLineInto(&line)) {
        const QString command = ModemCommandOfLine(line);
        if (!command.isEmpty()) {
            commands.append(command);
            ++taken;
        }
    }
    return commands;
}
