#pragma once

#include "platform/Prompter.h"

#include <QString>
#include <optional>

// What the setup window does with a field the user is leaving: accept it
// (possibly rewriting its text or picking a list item) or keep the focus in
// it, with or without a message. No widgets here, so every rule is testable.
struct FieldMessage {
    QString Title;
    QString Text;
    PromptIcon Icon = PromptIcon::Error;
};

struct FieldCheck {
    bool Accepted = false;
    std::optional<QString> NewText;   // text to put in the field
    int SelectIndex = -1;             // list item to select, -1 for none
    std::optional<FieldMessage> Message;
    // A refusal without a message says here what the field takes ("a whole
    // number from 0 to 6"), for when a command has to explain why it waits.
    QString Accepts;
};

FieldCheck CheckLoggerName(const QString& text);
FieldCheck CheckAlarmTime(const QString& text);
FieldCheck CheckWarmup(const QString& text);
// One of the listed rates, typed in any case; a bare number picks its fixed rate.
FieldCheck CheckBaudRate(const QString& text);
FieldCheck CheckFirstChannelUnit(const QString& text);
FieldCheck CheckUnitName(const QString& text);
FieldCheck CheckStoredNumber(const QString& text);
FieldCheck CheckRawCount(const QString& text);
FieldCheck CheckPrecision(const QString& text);
FieldCheck CheckSampleInterval(const QString& text);
FieldCheck CheckExceptionLevel(const QString& text);
FieldCheck CheckRoughness(const QString& text);

// The calibration wizard's value box: steps 1 and 3 take an engineering
// value, the raw-count steps 2 and 4 a whole count.
FieldCheck CheckCalibrationValue(int step, const QString& text);

// A number as the settings memory will hold it (six significant digits).
double StoredPrecision(double value);

// The first list position whose text matches the channel-1 unit typed,
// ignoring case and surrounding blanks; -1 when it is not a length unit.
int FirstChannelUnitIndex(const QString& text);
