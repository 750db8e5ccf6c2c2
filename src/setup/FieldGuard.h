#pragma once

#include "setup/FieldChecks.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

class QWidget;
class Prompter;

// Runs a field's check when the field loses the input focus, applies what
// the check says (new text, list item, message) and, on refusal, puts the
// focus back into the field.
class FieldGuard : public QObject {
    Q_OBJECT
public:
    using Check = std::function<FieldCheck(const QString& text)>;

    FieldGuard(Prompter& prompter, const bool& errorTrapping, QObject* parent = nullptr);

    // keepFocusOnFault: whether an unexpected fault in the check keeps the focus.
    void Guard(QWidget* field, Check check, bool keepFocusOnFault = false);
    // Checks the field as leaving it would; true when it was accepted (or is not guarded).
    bool Leave(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rule {
        Check check;
        bool keepFocusOnFault = false;
    };

    Prompter& prompter_;
    const bool& errorTrapping_;
    std::map<QWidget*, Rule> rules_;
    bool checking_ = false;
};

// The text a guarded field holds, whatever its kind.
QString FieldText(const QWidget* field);
