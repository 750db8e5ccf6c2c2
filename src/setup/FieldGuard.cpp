#include "setup/FieldGuard.h"

#include "core/ErrorTrap.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

QString FieldText(const QWidget* field)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(field)) {
        return edit->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(field)) {
        return combo->currentText();
    }
    return {};
}

namespace {

void Apply(QWidget* field, const FieldCheck& check)
{
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        if (check.NewText) {
            edit->setText(*check.NewText);
        }
        return;
    }
    auto* combo = qobject_cast<QComboBox*>(field);
    if (combo == nullptr) {
        return;
    }
    if (check.SelectIndex >= 0 && check.SelectIndex < combo->count()) {
        combo->setCurrentIndex(check.SelectIndex);
    }
    if (check.NewText && combo->isEditable()) {
        combo->setEditText(*check.NewText);
    }
}

} // namespace

FieldGuard::FieldGuard(Prompter& prompter, const bool& errorTrapping, QObject* parent)
    : QObject(parent), prompter_(prompter), errorTrapping_(errorTrapping)
{
}

void FieldGuard::Guard(QWidget* field, Check check, bool keepFocusOnFault)
{
    rules_[field] = Rule{std::move(check), keepFocusOnFault};
    field->installEventFilter(this);
}

bool FieldGuard::Leave(QWidget* field)
{
    const auto rule = rules_.find(field);
    if (rule == rules_.end() || checking_ || !field->isEnabled()) {
        return true;
    }
    checking_ = true;
    const FieldCheck check = RunTrapped(
        errorTrapping_, [&] { return rule->second.check(FieldText(field)); },
        [&] {
            FieldCheck fault;
            fault.Accepted = !rule->second.keepFocusOnFault;
            return fault;
        });
    Apply(field, check);
    if (check.Message) {
        prompter_.tell(check.Message->Title, check.Message->Text, check.Message->Icon);
    }
    if (!check.Accepted) {
        // Queued, so the focus change in progress finishes before it is undone.
        QPointer<QWidget> back(field);
        QTimer::singleShot(0, field, [back] {
            if (back) {
                back->setFocus(Qt::OtherFocusReason);
            }
        });
    }
    checking_ = false;
    return check.Accepted;
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A list dropping down or another program taking the focus is not leaving the field.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            Leave(static_cast<QWidget*>(watched));
        }
    }
    return QObject::eventFilter(watched, event);
}
