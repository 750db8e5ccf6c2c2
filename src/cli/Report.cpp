#include "cli/Report.h"

#include <QJsonDocument>
#include <cstdio>

void Report::Add(const QString& key, const QString& label, const QJsonValue& value, const QString& text)
{
    object_.insert(key, value);
    QString shown = text;
    if (shown.isEmpty()) {
        shown = value.isBool() ? QString::fromLatin1(value.toBool() ? "yes" : "no") : value.toVariant().toString();
    }
    lines_.append(label + QStringLiteral(": ") + shown);
}

void Report::AddRows(const QString& key, const QJsonArray& rows, const QStringList& lines)
{
    object_.insert(key, rows);
    lines_.append(lines);
}

void Report::Print() const
{
    if (json_) {
        std::fputs(QJsonDocument(object_).toJson(QJsonDocument::Indented).constData(), stdout);
    } else if (!lines_.isEmpty()) {
        std::fputs(qPrintable(lines_.join(QLatin1Char('\n')) + QLatin1Char('\n')), stdout);
    }
    std::fflush(stdout);
}

QString SignedSeconds(qint64 seconds)
{
    return (seconds >= 0 ? QStringLiteral("+") : QString()) + QString::number(seconds) + QStringLiteral(" s");
}
