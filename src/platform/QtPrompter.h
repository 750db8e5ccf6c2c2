#pragma once

#include "platform/Prompter.h"

// Message boxes over QMessageBox, modal to the active window.
class QtPrompter : public Prompter {
public:
    PromptAnswer ask(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons) override;
};
