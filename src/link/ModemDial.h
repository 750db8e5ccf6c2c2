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

// How a dial ended. Connected, or why not; title and text are what the user
// is told (both empty for a connection and for a plain Cancel).
struct ModemDialOutcome {
    enum class Kind {
        Connected,
        Busy,      // cancelled after the modem answered the dial with BUSY
        NoCarrier, // ... with NO CARRIER (or NO DIALTONE)
        NoAnswer,  // ... with NO ANSWER
        Cancelled, // cancelled before any such answer
        Error,     // no number, no command file, or no modem talking at this rate
    };
    Kind Type = Kind::Error;
    QString Title;
    QString Text;

    bool Connected() const { return Type == Kind::Connected; }
};

// Dials number through the modem on the open port of link and waits for the
// connection, showing the dialogue on display. Unless connected the port has
// been closed, except when there was no number to dial.
ModemDialOutcome DialModem(const QString& number, const ModemDialSetup& setup, LoggerLink& link,
                           ModemDisplay& display, int tickMs = 100);

// The connection window's message for a failed dial: a box for an error; a
// cancelled dial, whatever the modem had said, is told nothing.
void TellDialFailure(Prompter& prompter, const ModemDialOutcome& outcome);
