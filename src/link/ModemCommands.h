#pragma once

#include <QString>
#include <QStringList>
#include <array>

class QIODevice;

// The modem is always reset first; without a command file it is then set to
// echo (E1), verbose result codes (V1) and results shown (Q0), which is what
// the dialogue reads.
inline const QString ModemResetCommand = QStringLiteral("ATZ");
inline const QString ModemDefaultSetup = QStringLiteral("ATE1V1Q0");
constexpr int MaxModemFileCommands = 256;

// Puts number at the top of the most-recently-dialled list. A number among
// the first three moves up without a duplicate; any other number pushes the
// last entry out.
void RememberModemNumber(std::array<QString, 4>& numbers, const QString& number);

// The command of one line of a modem command file, upper-cased: the trimmed
// line up to its first blank, control character or ";" (a ";" starts a
// remark). Empty for a blank or remark line.
QString ModemCommandOfLine(const QString& line);

// The reset followed by the default setup.
QStringList DefaultModemCommands();
// The reset followed by the commands of the file, in file order, at most
// MaxModemFileCommands of them. The file is open for reading.
QStringList ModemCommandsFromFile(QIODevice& file);
