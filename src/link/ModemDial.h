#pragma once

#include <QString>
#include <array>

class LoggerLink;
class ModemDialogue;
class Prompter;

// Shows a modem dialogue modally: returns once the dialogue has hidden
// itself or the display was closed (then the dialogue is abandoned).
class ModemDisplay {
public:
    virtual ~ModemDisplay() = default;
    virtual void ShowModal(ModemDialogue& dialogue) = 0;
};

// What the connection window hands to the dial.
struct ModemDialSetup {
    // The user's most-recently-dialled numbers; the dialled one goes to the top.
    std::array<QString, 4>& ModemNumbers;
    bool UseCommandFile = false;
    QString CommandFile;
};

// Dials number through the modem on the open port of link and waits for the
// connection, showing the dialogue on display and any failure through
// prompter. True when the modem reported a connection. On false the port has
// been closed, except when there was no number to dial.
bool DialModem(const QString& number, const ModemDialSetup& setup, LoggerLink& link, Prompter& prompter,
               ModemDisplay& display, int tickMs = 100);
