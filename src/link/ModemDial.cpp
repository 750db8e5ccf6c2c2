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

bool DialModem(const QString& number, const ModemDialSetup& setup, LoggerLink& link, Prompter& prompter,
               ModemDisplay& display, int tickMs)
{
    if (number.trimmed().isEmpty()) {
        prompter.tell(QStringLiteral("Modem Connect"), QStringLiteral("Error: no phone number specified"),
                      PromptIcon::Error);
        return false;
    }
    auto unableToCommunicate = [&] {
        link.ClosePort();
        prompter.tell(InitialisationTitle,
                      QStringLiteral("Unable to communicate with a modem on this port at selected rate."),
                      PromptIcon::Error);
        return false;
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
        prompter.tell(InitialisationTitle, QStringLiteral("Error: cannot open modem command file"), PromptIcon::Error);
        link.ClosePort();
        return false;
    }
    if (prepared == Prepared::Failed) {
        return unableToCommunicate();
    }

    ModemDialogue dialogue(link, commands, setup.ModemNumbers[0], tickMs);
    display.ShowModal(dialogue);
    switch (dialogue.Result()) {
    case ModemDialogue::ResultTag::Connect: return true;
    case ModemDialogue::ResultTag::Cancel: link.ClosePort(); return false;
    case ModemDialogue::ResultTag::Error: break;
    }
    return unableToCommunicate();
}
