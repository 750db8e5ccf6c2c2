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
    // defaultAnswer is the button Enter presses.
    virtual PromptAnswer Ask(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons,
                             PromptAnswer defaultAnswer) = 0;

    // Enter presses the first button: OK or Yes.
    PromptAnswer Ask(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons)
    {
        return Ask(title, text, icon, buttons, buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel
                                                   ? PromptAnswer::Ok
                                                   : PromptAnswer::Yes);
    }

    // A question whose Yes (or OK) erases, replaces or throws something away:
    // Enter answers No (or Cancel), so a hurried key press loses nothing.
    PromptAnswer AskBeforeLoss(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons)
    {
        return Ask(title, text, icon, buttons,
                   buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel);
    }

    void Tell(const QString& title, const QString& text, PromptIcon icon)
    {
        Ask(title, text, icon, PromptButtons::Ok);
    }
};
