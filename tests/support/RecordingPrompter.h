#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QString>
#include <functional>

// Stands in for QtPrompter, tested in tests/platform. Records every box and answers from a script; with the script
// used up it answers Ok to an Ok box, No to a Yes/No box and Cancel otherwise.
class RecordingPrompter : public Prompter {
public:
    struct Message {
        QString title;
        QString text;
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        PromptAnswer defaultAnswer = PromptAnswer::Ok;
    };

    using Prompter::Ask;
    PromptAnswer Ask(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override
    {
        messages.append({title, text, icon, buttons, defaultAnswer});
        if (whileShown) {
            whileShown(messages.constLast());
        }
        if (!answers.isEmpty()) {
            return answers.takeFirst();
        }
        return buttons == PromptButtons::Ok      ? PromptAnswer::Ok
               : buttons == PromptButtons::YesNo ? PromptAnswer::No
                                                 : PromptAnswer::Cancel;
    }

    QList<Message> messages;
    QList<PromptAnswer> answers;
    // Runs while a box is "open", as events would in a real modal box.
    std::function<void(const Message&)> whileShown;
};
