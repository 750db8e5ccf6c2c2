#include "cli/ModemDialDisplay.h"

#include "cli/StopSignal.h"
#include "cli/TracePrinter.h"
#include "link/ModemDialogue.h"

#include <QEventLoop>
#include <QTimer>

void ModemDialDisplay::ShowModal(ModemDialogue& dialogue)
{
    QEventLoop loop;
    QObject::connect(&dialogue, &ModemDialogue::Hidden, &loop, &QEventLoop::quit);
    QObject::connect(&dialogue, &ModemDialogue::DialFailed, &dialogue, &ModemDialogue::Cancel);
    QObject::connect(&stop_, &StopSignal::StopRequested, &dialogue, &ModemDialogue::Cancel);
    if (trace_) {
        QObject::connect(&dialogue, &ModemDialogue::TextAppended, &dialogue,
                         [this](const QString& text) { trace_->PrintModemText(text); });
    }
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &dialogue, [&dialogue] {
        if (dialogue.Dialling()) {
            dialogue.Cancel();
        } else {
            dialogue.Abandon();
        }
    });
    timeout.start(timeoutSeconds_ * 1000);
    dialogue.Open();
    if (stop_.Requested()) {
        dialogue.Cancel();
    }
    if (!dialogue.IsHidden()) {
        loop.exec();
    }
}
