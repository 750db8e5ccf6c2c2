#include "link/ModemDial.h"

#include "core/ErrorTrap.h"
#include "link/LoggerLink.h"
#include "link/ModemCommands.h"
#include "link/ModemDialogue.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {

const QString InitialisationTitle = QStringLiteral("Modem Initialization");

QStringList CommandsFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error("modem command file cannot be read");
    }
    return ModemCommandsFromFile(file);
}

} // namespace

ModemDialOutcome DialModem(const QString& number, const ModemDialSetup& setup, LoggerLink& link,
                           ModemDisplay& display, int tickMs)
{
    using Kind = ModemDialOutcome::Kind;
    if (number.trimmed().isEmpty()) {
        return {Kind::Error, QStringLiteral("Modem Connect"), QStringLiteral("Error: no phone number specified")};
    }
    auto unableToCommunicate = [&] {
        link.ClosePort();
        return ModemDialOutcome{Kind::Error, InitialisationTitle,
                                QStringLiteral("Unable to communicate with a modem on this port at selected rate.")};
    };
    enum class Prepared { Ready, NoCommandFile, Failed };
    QStringList commands;
    const Prepared prepared = RunTrapped(
        link.Options().ErrorTrapping,
        [&] {
            RememberModemNumber(setup.ModemNumbers, number);
            if (!setup.UseCommandFile || setup.CommandFile.isEmpty()) {
                commands = DefaultModemCommands();
            } else if (!QFileInfo(setup.CommandFile).isFile()) {
                return Prepared::NoCommandFile;
            } else {
                commands = CommandsFromFile(setup.CommandFile);
            }
            return Prepared::Ready;
        },
        [] { return Prepared::Failed; });
    if (prepared == Prepared::NoCommandFile) {
        link.ClosePort();
        return {Kind::Error, InitialisationTitle, QStringLiteral("Error: cannot open modem command file")};
    }
    if (prepared == Prepared::Failed) {
        return unableToCommunicate();
    }

    ModemDialogue dialogue(link, commands, setup.ModemNumbers[0], tickMs);
    display.ShowModal(dialogue);
    switch (dialogue.Result()) {
    case ModemDialogue::ResultTag::Connect: return {Kind::Connected, {}, {}};
    case ModemDialogue::ResultTag::Cancel: {
        link.ClosePort();
        const QString& answer = dialogue.DialFailure();
        const Kind kind = answer == u"BUSY"        ? Kind::Busy
                          : answer == u"NO ANSWER" ? Kind::NoAnswer
                          : answer.isEmpty()       ? Kind::Cancelled
                                                   : Kind::NoCarrier;
        return {kind, {}, answer.isEmpty() ? QString() : QStringLiteral("The modem answered the dial with %1.").arg(answer)};
    }
    case ModemDialogue::ResultTag::Error: break;
    }
    return unableToCommunicate();
}

void TellDialFailure(Prompter& prompter, const ModemDialOutcome& outcome)
{
    if (outcome.Type == ModemDialOutcome::Kind::Error) {
        prompter.Tell(outcome.Title, outcome.Text, PromptIcon::Error);
    }
}
