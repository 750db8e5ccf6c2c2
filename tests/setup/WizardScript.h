#pragma once

#include "setup/ui/CalibrationWizard.h"

#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QTimer>
#include <functional>

// Plays the user at the modal calibration wizard: one action per step shown.
// An action returns false to be asked again on the next poll (for example
// while it waits for a live reading).
class WizardScript : public QObject {
public:
    using Action = std::function<bool(CalibrationWizard&)>;

    explicit WizardScript(QList<Action> actions) : actions_(std::move(actions))
    {
        connect(&poll_, &QTimer::timeout, this, &WizardScript::Poll);
        poll_.start(5);
    }

    QList<int> stepsSeen;
    QList<QString> textsSeen; // the value box as each step appeared

private:
    void Poll()
    {
        auto* wizard = qobject_cast<CalibrationWizard*>(QApplication::activeModalWidget());
        if (wizard == nullptr || !wizard->isVisible()) {
            shown_ = nullptr;
            return;
        }
        if (shown_ != wizard || wizard->CalibrationStep != step_) {
            shown_ = wizard;
            step_ = wizard->CalibrationStep;
            stepsSeen << step_;
            textsSeen << wizard->txtCalibrate->text();
            pending_ = true;
        }
        if (pending_ && !actions_.isEmpty() && actions_.first()(*wizard)) {
            actions_.removeFirst();
            pending_ = false;
            shown_ = nullptr; // the same step may be shown again (a refused value stays)
            step_ = 0;
        }
    }

    QList<Action> actions_;
    QTimer poll_;
    CalibrationWizard* shown_ = nullptr;
    int step_ = 0;
    bool pending_ = false;
};
