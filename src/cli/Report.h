#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// A subcommand's result on standard output: "Label: text" lines for people,
// one JSON object (--json) for scripts. Fields keep the order they were added in.
class Report {
public:
    explicit Report(bool json) : json_(json) {}

    // text: how a person reads the value; the value's own text when empty.
    void Add(const QString& key, const QString& label, const QJsonValue& value, const QString& text = {});
    // A list: each row an object in JSON, a line of its own in text.
    void AddRows(const QString& key, const QJsonArray& rows, const QStringList& lines);

    void Print() const;

private:
    bool json_;
    QJsonObject object_;
    QStringList lines_;
};

// The signed seconds as "+12 s" or "-3 s".
QString SignedSeconds(qint64 seconds);
