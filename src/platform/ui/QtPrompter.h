#pragma once

#include "platform/Prompter.h"

// Message boxes over QMessageBox, modal over the window they belong to.
class QtPrompter : public Prompter {
public:
    using Prompter::Ask;
    PromptAnswer Ask(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override;
};
