#pragma once

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveSchema.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QSqlError;
class QSqlQuery;

// An open archive: one connection to its database, kept until the object
// goes. Used on the thread that opened it.
class Archive {
public:
    // Opens the archive, creating an SQLite file and its folder when they do
    // not exist, and brings its schema up to date in one transaction. An
    // archive written by a newer program (a schema version beyond the last
    // step) is refused. Nothing, with a one-line reason naming the archive,
    // on failure.
    static std::unique_ptr<Archive> Open(const ArchiveLocation& location, QString* error,
                                         const std::vector<ArchiveSchemaStep>& schema = ArchiveSchema());
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const ArchiveLocation& Location() const { return location_; }
    ArchiveLocation::Engine Engine() const { return location_.Type; }
    QSqlDatabase& Database() { return database_; }
    // The schema version the archive is at.
    int SchemaVersion() const { return schemaVersion_; }

    // A query on this archive's connection.
    QSqlQuery Query();
    // What failed, "%1" standing for the archive, and the engine's reason,
    // on one line: "cannot write to the archive sqlite:/data/a.sqlite: disk I/O error".
    QString Failure(const QString& what, const QSqlError& error) const;

private:
    explicit Archive(ArchiveLocation location);
    bool Connect(QString* error);
    std::optional<int> ReadSchemaVersion(QString* error);
    bool Migrate(const std::vector<ArchiveSchemaStep>& schema, QString* error);
    // Inside the migration's transaction: the steps after version from.
    bool ApplySchemaSteps(const std::vector<ArchiveSchemaStep>& schema, int from, QString* error);

    ArchiveLocation location_;
    QString connectionName_;
    QSqlDatabase database_;
    int schemaVersion_ = 0;
};

// A write transaction on the archive: begun on construction, rolled back
// when it goes without a commit, so a failure anywhere leaves nothing of it.
class ArchiveTransaction {
public:
    explicit ArchiveTransaction(Archive& archive);
    ~ArchiveTransaction();
    ArchiveTransaction(const ArchiveTransaction&) = delete;
    ArchiveTransaction& operator=(const ArchiveTransaction&) = delete;

    // False, with the reason, when the transaction could not begin.
    bool Begun(QString* error) const;
    bool Commit(QString* error);

private:
    Archive& archive_;
    bool open_ = false;
    QString beginError_;
};
