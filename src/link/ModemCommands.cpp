#include "link/ModemCommands.h"

#include <QIODevice>
#include <QTextStream>

void RememberModemNumber(std::array<QString, 4>& numbers, const QString& number)
{
    std::size_t found = 3;
    for (std::size_t i = 0; i < 3; ++i) {
        if (numbers[i] == number) {
            found = i;
            break;
        }
    }
    for (std::size_t j = found; j > 0; --j) {
        numbers[j] = numbers[j - 1];
    }
    numbers[0] = number;
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
