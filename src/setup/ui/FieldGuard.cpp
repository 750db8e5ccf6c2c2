#include "setup/ui/FieldGuard.h"

#include "core/ErrorTrap.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTabWidget>
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

QLineEdit* TextOf(QWidget* field)
{
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        return combo->lineEdit();
    }
    return qobject_cast<QLineEdit*>(field);
}

// Shows every tab page the field sits on (a page's parent is its tab widget's stack).
void BringPageToFront(QWidget* field)
{
    for (QWidget* page = field; page->parentWidget() != nullptr; page = page->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget())) {
            if (const int index = tabs->indexOf(page); index >= 0) {
                tabs->setCurrentIndex(index);
            }
        }
    }
}

} // namespace

void ShowFieldToUser(QWidget* field)
{
    BringPageToFront(field);
    field->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* text = TextOf(field)) {
        text->selectAll();
    }
}

FieldGuard::FieldGuard(Prompter& prompter, bool errorTrapping, QObject* parent)
    : QObject(parent), prompter_(prompter), errorTrapping_(errorTrapping)
{
}

void FieldGuard::Guard(QWidget* field, const QString& name, Check check, bool keepFocusOnFault)
{
    rules_[field] = Rule{name, std::move(check), keepFocusOnFault};
    field->installEventFilter(this);
}

bool FieldGuard::Leave(QWidget* field)
{
    return Run(field, false);
}

bool FieldGuard::CommitLastField()
{
    // A refused field the focus has not yet come back to comes first.
    QWidget* field = returning_ != nullptr ? returning_.data() : last_.data();
    return field == nullptr || Run(field, true);
}

bool FieldGuard::Run(QWidget* field, bool explainRefusal)
{
    const auto found = rules_.find(field);
    if (found == rules_.end() || checking_ || !field->isEnabled()) {
        return true;
    }
    const Rule& rule = found->second;
    checking_ = true;
    const FieldCheck check = RunTrapped(
        errorTrapping_, [&] { return rule.Condition(FieldText(field)); },
        [&] {
            FieldCheck fault;
            fault.Accepted = !rule.KeepFocusOnFault;
            return fault;
        });
    Apply(field, check);
    std::optional<FieldMessage> message = check.Message;
    if (!message && !check.Accepted && explainRefusal) {
        const QString text = check.Accepts.isEmpty()
                                 ? QStringLiteral("Error: %1 holds a value that cannot be used.").arg(rule.Name)
                                 : QStringLiteral("Error: %1 must be %2.").arg(rule.Name, check.Accepts);
        message = FieldMessage{QStringLiteral("Format Error"), text, PromptIcon::Error};
    }
    if (message) {
        prompter_.Tell(message->Title, message->Text, message->Icon);
    }
    if (!check.Accepted) {
        ReturnTo(field);
    }
    checking_ = false;
    return check.Accepted;
}

void FieldGuard::ReturnTo(QWidget* field)
{
    if (returning_ != nullptr) {
        return; // the first refused field keeps the user
    }
    returning_ = field;
    // Queued, so the focus change in progress finishes before it is undone.
    QTimer::singleShot(0, this, [this] {
        if (QPointer<QWidget> field = returning_) {
            // A field the focus passes on its way back may refuse too, but
            // does not call the user away from this one: returning_ is set.
            ShowFieldToUser(field);
            returning_ = nullptr;
        }
    });
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        last_ = static_cast<QWidget*>(watched);
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A list dropping down or another program taking the focus is not leaving the field.
        auto* field = static_cast<QWidget*>(watched);
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && Leave(field) &&
            last_ == field) {
            last_ = nullptr; // left with an accepted value
        }
    }
    return QObject::eventFilter(watched, event);
}
