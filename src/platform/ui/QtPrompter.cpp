#include "platform/ui/QtPrompter.h"

#include "platform/ui/DialogParent.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton BoxButton(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::Ok: return QMessageBox::Ok;
    case PromptAnswer::Cancel: return QMessageBox::Cancel;
    case PromptAnswer::Yes: return QMessageBox::Yes;
    case PromptAnswer::No: break;
    }
    return QMessageBox::No;
}

// The answer of a box that closed without a button (the program is ending):
// the one that changes nothing.
PromptAnswer SafeAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel: break;
    }
    return PromptAnswer::Cancel;
}

} // namespace

// Escape and the close box press Cancel, or No where there is no Cancel, or
// the only button; the box finds that button itself.
PromptAnswer QtPrompter::Ask(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons,
                             PromptAnswer defaultAnswer)
{
    QMessageBox box(BoxIcon(icon), title, text, BoxButtons(buttons), DialogParent());
    box.setDefaultButton(BoxButton(defaultAnswer));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: break;
    }
    return SafeAnswer(buttons);
}
