#pragma once

#include "archive/ArchiveLocation.h"

#include <QString>
#include <QTemporaryDir>
#include <optional>

// A PostgreSQL server of its own in a temporary folder, reached only over a
// Unix socket there: made with initdb, started and stopped with pg_ctl. As
// root (which initdb refuses) the server programs run as "nobody".
class PrivatePostgres {
public:
    PrivatePostgres() = default;
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    // The newest /usr/lib/postgresql/<version>/bin holding initdb and
    // pg_ctl; empty when the server programs are not installed.
    static QString serverPrograms();

    // Makes and starts the server. False, with the reason in *error, on failure.
    bool start(QString* error);
    // A new, empty database on the running server.
    std::optional<ArchiveLocation> createDatabase(const QString& name, QString* error);

private:
    bool run(const QString& program, const QStringList& arguments, QString* error);

    QString programs_;
    QTemporaryDir folder_;
    bool running_ = false;
};
