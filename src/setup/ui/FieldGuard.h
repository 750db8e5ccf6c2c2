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
// user back in the field: its tab page in front, its text selected, so that
// what is typed next replaces the refused value where the user can see it.
class FieldGuard : public QObject {
    Q_OBJECT
public:
    using Check = std::function<FieldCheck(const QString& text)>;

    FieldGuard(Prompter& prompter, bool errorTrapping, QObject* parent = nullptr);

    // name: how a message names the field ("High Raw of channel 2").
    // keepFocusOnFault: whether an unexpected fault in the check keeps the focus.
    void Guard(QWidget* field, const QString& name, Check check, bool keepFocusOnFault = false);
    // Checks the field as leaving it would; true when it was accepted (or is not guarded).
    bool Leave(QWidget* field);
    // Before a command runs: checks the field the user was in last, wherever
    // the focus has gone since (a click on a button takes it). A refusal is
    // explained even where leaving the field refuses silently: the check's own
    // message, or one that names the field and says what it takes.
    bool CommitLastField();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rule {
        QString Name;
        Check Condition;
        bool KeepFocusOnFault = false;
    };

    bool Run(QWidget* field, bool explainRefusal);
    void ReturnTo(QWidget* field);

    Prompter& prompter_;
    const bool errorTrapping_; // the program's option, set once at start-up
    std::map<QWidget*, Rule> rules_;
    bool checking_ = false;
    QPointer<QWidget> last_;      // the guarded field the user was in last
    QPointer<QWidget> returning_; // a refused field the focus is on its way back to
};

// The text a guarded field holds, whatever its kind.
QString FieldText(const QWidget* field);

// Puts the user in a field: its tab page to the front, the focus in it and
// its text selected.
void ShowFieldToUser(QWidget* field);
