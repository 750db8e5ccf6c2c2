#pragma once

#include <QString>

enum class PromptIcon { None, Information, Question, Warning, Error };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every message box of the program goes through this: title, text, icon and
// buttons in, the pressed button out.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(const QString& title, const QString& text, PromptIcon icon,
                             PromptButtons buttons) = 0;

    void tell(const QString& title, const QString& text, PromptIcon icon)
    {
        ask(title, text, icon, PromptButtons::Ok);
    }
};
