#pragma once

#include <QString>
#include <optional>

// Where the archive lives: an SQLite file (the embedded default) or a
// PostgreSQL database (a team's server).
struct ArchiveLocation {
    enum class Engine { Sqlite, Postgres };
    Engine Type = Engine::Sqlite;
    QString Path; // SQLite: the file
    // PostgreSQL: a host name or address, or a socket folder (starting with
    // "/"); empty for the client library's default (its socket or PGHOST).
    QString Host;
    int Port = 0; // 0: the client library's default (5432 or PGPORT)
    QString User; // empty: the client library's default (PGUSER, the login name)
    QString Password; // empty: ~/.pgpass or PGPASSWORD, as the client library finds it
    QString Database;

    // The location as a user wrote it, without the password: for messages.
    QString Text() const;
};

// The file the archive is kept in when no location is given:
// Brevel/archive.sqlite in the user's data folder
// (~/.local/share/Brevel/archive.sqlite on Linux).
QString DefaultArchivePath();

// Reads a location:
//   (empty)                     the default SQLite file
//   sqlite:PATH                 another SQLite file ("~/" is the home folder)
//   postgresql://[USER[:PASSWORD]@][HOST][:PORT]/DATABASE[?host=DIR&port=N&user=U&password=P]
// "postgres://" does as well. A server reached over its Unix socket names
// the socket folder as the host parameter, as the PostgreSQL client does:
//   postgresql://brevel@/flows?host=/run/postgresql&port=5433
// Nothing, with a one-line reason naming the location, when it cannot be read.
std::optional<ArchiveLocation> ParseArchiveLocation(const QString& text, QString* error);
