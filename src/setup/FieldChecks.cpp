#include "setup/FieldChecks.h"

#include "config/Number24.h"
#include "core/NumberText.h"
#include "setup/ChoiceLists.h"

#include <cmath>

namespace {

FieldCheck Accept(std::optional<QString> text = std::nullopt, int index = -1)
{
    FieldCheck check;
    check.Accepted = true;
    check.NewText = std::move(text);
    check.SelectIndex = index;
    return check;
}

FieldCheck Refuse(FieldMessage message)
{
    FieldCheck check;
    check.Message = std::move(message);
    return check;
}

FieldCheck RefuseSilently(const QString& accepts)
{
    FieldCheck check;
    check.Accepts = accepts;
    return check;
}

const QString AnyNumber = QStringLiteral("a number, with a point for decimals");

FieldMessage FormatError(const QString& text)
{
    return {QStringLiteral("Format Error"), text, PromptIcon::Error};
}

// Whole numbers from 0 up, clamped to a ceiling.
std::optional<int32_t> ClampedCount(const QString& text, int32_t ceiling)
{
    const WholeNumber value = ReadWholeNumber(text);
    if (!value.Ok || value.Value < 0) {
        return std::nullopt;
    }
    return std::min(value.Value, ceiling);
}

// The part of an alarm text after the n-th colon, or nullopt when there is none.
std::optional<QString> AfterColon(const QString& text, int n)
{
    qsizetype at = -1;
    for (int i = 0; i < n; ++i) {
        at = text.indexOf(QLatin1Char(':'), at + 1);
        if (at < 0) {
            return std::nullopt;
        }
    }
    return text.mid(at + 1);
}

int RoundedLeading(const QString& text)
{
    const double value = std::nearbyint(LeadingNumber(text));
    return value > 1e9 || value < -1e9 ? -1 : static_cast<int>(value);
}

} // namespace

double StoredPrecision(double value)
{
    return DecodeNumber24(EncodeNumber24(value));
}

int FirstChannelUnitIndex(const QString& text)
{
    const QString unit = text.trimmed().toLower();
    const QStringList units = ChoiceLists::FirstChannelUnits();
    for (int i = 0; i < units.size(); ++i) {
        if (units[i].toLower() == unit) {
            return i;
        }
    }
    return -1;
}

FieldCheck CheckLoggerName(const QString& text)
{
    return Accept(text.trimmed().left(32));
}

FieldCheck CheckAlarmTime(const QString& text)
{
    const int hour = RoundedLeading(text);
    if (hour < 1 || hour > 12) {
        return Refuse(FormatError(QStringLiteral("Alarm hour must be between 1 and 12")));
    }
    int minute = 0;
    int second = 0;
    if (const auto rest = AfterColon(text, 1)) {
        minute = RoundedLeading(*rest);
        if (minute < 0 || minute > 59) {
            return Refuse(FormatError(QStringLiteral("Alarm minute must be between 0 and 59")));
        }
    }
    if (const auto rest = AfterColon(text, 2)) {
        second = RoundedLeading(*rest);
        if (second < 0 || second > 59) {
            return Refuse(FormatError(QStringLiteral("Alarm second must be between 0 and 59")));
        }
    }
    return Accept(QStringLiteral("%1:%2:%3")
                      .arg(hour)
                      .arg(minute, 2, 10, QLatin1Char('0'))
                      .arg(second, 2, 10, QLatin1Char('0')));
}

FieldCheck CheckWarmup(const QString& text)
{
    const auto seconds = ClampedCount(text, 60);
    return seconds ? Accept(std::nullopt, *seconds) : RefuseSilently(QStringLiteral("a whole number from 0 to 60"));
}

FieldCheck CheckBaudRate(const QString& text)
{
    const QString typed = text.trimmed();
    const QStringList rates = ChoiceLists::BaudRates();
    for (int i = 0; i < rates.size(); ++i) {
        if (rates[i].compare(typed, Qt::CaseInsensitive) == 0 ||
            rates[i].compare(QStringLiteral("Fixed ") + typed, Qt::CaseInsensitive) == 0) {
            return Accept(rates[i], i);
        }
    }
    return Refuse(FormatError(QStringLiteral("Error: baud rate must be one of the listed choices.")));
}

FieldCheck CheckFirstChannelUnit(const QString& text)
{
    const int index = FirstChannelUnitIndex(text);
    if (index < 0) {
        return Refuse(FieldMessage{QStringLiteral("Bad Unit"),
                                   QStringLiteral("The first analog channel must be feet, inches, meters or cm."),
                                   PromptIcon::Error});
    }
    return Accept(ChoiceLists::FirstChannelUnits().at(index), index);
}

FieldCheck CheckUnitName(const QString& text)
{
    return Accept(text.trimmed().left(9));
}

FieldCheck CheckStoredNumber(const QString& text)
{
    if (!IsNumericText(text)) {
        return RefuseSilently(AnyNumber);
    }
    double value = LeadingNumber(text);
    if (value >= 1000000) {
        value = 999999;
    } else if (value <= -1000000) {
        value = -999999;
    }
    return Accept(NumberText(StoredPrecision(value)));
}

FieldCheck CheckRawCount(const QString& text)
{
    const auto count = ClampedCount(text, 65535);
    return count ? Accept(QString::number(*count)) : RefuseSilently(QStringLiteral("a whole number from 0 to 65535"));
}

FieldCheck CheckPrecision(const QString& text)
{
    const auto places = ClampedCount(text, 6);
    return places ? Accept(std::nullopt, *places) : RefuseSilently(QStringLiteral("a whole number from 0 to 6"));
}

FieldCheck CheckSampleInterval(const QString& text)
{
    const WholeNumber count = ReadWholeNumber(text);
    if (!count.Ok || count.Value < 1 || count.Value > 65535) {
        return Refuse(FormatError(QStringLiteral("Error: sample interval must be between 1 and 65535.")));
    }
    return Accept(QString::number(count.Value));
}

FieldCheck CheckExceptionLevel(const QString& text)
{
    const WholeNumber level = ReadWholeNumber(text);
    if (!level.Ok || level.Value < 0 || level.Value > 65535) {
        return Refuse(FormatError(QStringLiteral("Error: exception level must be between 0 and 65535.")));
    }
    return Accept(QString::number(level.Value));
}

FieldCheck CheckRoughness(const QString& text)
{
    QString number = text.trimmed();
    number = number.left(number.indexOf(QLatin1Char(' ')));
    if (!IsNumericText(number)) {
        return RefuseSilently(QStringLiteral("a number greater than zero"));
    }
    double value = std::min(LeadingNumber(number), 999999.0);
    value = StoredPrecision(value);
    // A roughness of zero would divide the flow by zero; the rounded value is
    // what the logger would store, so that is what is tested.
    if (value <= 0) {
        FieldCheck check = Refuse(FieldMessage{QStringLiteral("Illegal Value"),
                                               QStringLiteral("The roughness value must be greater than zero!"),
                                               PromptIcon::Error});
        check.NewText = NumberText(value);
        return check;
    }
    return Accept(NumberText(value));
}

FieldCheck CheckCalibrationValue(int step, const QString& text)
{
    if (step == 1 || step == 3) {
        const double value = LeadingNumber(text);
        if (!IsNumericText(text) || value <= -1000000 || value >= 1000000) {
            return Refuse(FieldMessage{QStringLiteral("Bad Number"),
                                       QStringLiteral("Value must be a floating point number in the range -999999 to 999999!"),
                                       PromptIcon::Warning});
        }
        return Accept(NumberText(StoredPrecision(value)));
    }
    const auto count = ClampedCount(text, 65536);
    if (!count || *count > 65535) {
        return Refuse(FieldMessage{QStringLiteral("Bad Number"),
                                   QStringLiteral("Value must be an integer between 0 and 65535!"),
                                   PromptIcon::Warning});
    }
    return Accept(QString::number(*count));
}
