#include "archive/ArchiveLocation.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString SqlitePrefix = QStringLiteral("sqlite:");

QString Quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// The location as written, with any password replaced by "***".
QString Shown(QString text)
{
    static const QRegularExpression userPassword(QStringLiteral("(://[^/@:]*:)[^/@]*@"));
    static const QRegularExpression passwordParameter(QStringLiteral("([?&]password=)[^&]*"));
    return text.replace(userPassword, QStringLiteral("\\1***@")).replace(passwordParameter, QStringLiteral("\\1***"));
}

QString Decoded(QStringView text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

bool ReadPort(const QString& text, int& port)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 65535) {
        return false;
    }
    port = value;
    return true;
}

std::optional<ArchiveLocation> ParsePostgres(const QString& text, qsizetype schemeEnd, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error) {
            *error = QStringLiteral("archive location %1: %2").arg(Quoted(Shown(text)), reason);
        }
        return std::nullopt;
    };
    ArchiveLocation location;
    location.Type = ArchiveLocation::Engine::Postgres;
    QString rest = text.mid(schemeEnd);
    QString query;
    if (const qsizetype q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    const qsizetype slash = rest.indexOf(u'/');
    if (slash < 0 || slash == rest.size() - 1) {
        return fail(QStringLiteral("no database named (postgresql://user@host:port/database)"));
    }
    location.Database = Decoded(QStringView(rest).mid(slash + 1));
    QString authority = rest.left(slash);
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        location.User = Decoded(QStringView(userInfo).left(colon));
        if (colon >= 0) {
            location.Password = Decoded(QStringView(userInfo).mid(colon + 1));
        }
    }
    // An IPv6 address stands in brackets: [::1]:5432.
    const qsizetype bracket = authority.lastIndexOf(u']');
    const qsizetype colon = authority.lastIndexOf(u':');
    if (colon >= 0 && colon > bracket) {
        if (!ReadPort(authority.mid(colon + 1), location.Port)) {
            return fail(QStringLiteral("the port must be a number from 1 to 65535"));
        }
        authority.truncate(colon);
    }
    if (authority.startsWith(u'[') && authority.endsWith(u']')) {
        authority = authority.mid(1, authority.size() - 2);
    }
    location.Host = Decoded(authority);
    for (const auto& [key, value] : QUrlQuery(query).queryItems(QUrl::FullyDecoded)) {
        if (key == u"host") {
            location.Host = value;
        } else if (key == u"port") {
            if (!ReadPort(value, location.Port)) {
                return fail(QStringLiteral("the port must be a number from 1 to 65535"));
            }
        } else if (key == u"user") {
            location.User = value;
        } else if (key == u"password") {
            location.Password = value;
        } else {
            return fail(QStringLiteral("unknown parameter %1 (host, port, user and password are known)").arg(Quoted(key)));
        }
    }
    return location;
}

} // namespace

QString ArchiveLocation::Text() const
{
    if (Type == Engine::Sqlite) {
        return SqlitePrefix + Path;
    }
    QString out = QStringLiteral("postgresql://");
    if (!User.isEmpty()) {
        out += User + u'@';
    }
    const bool socket = Host.startsWith(u'/');
    if (!socket) {
        out += Host.contains(u':') ? u'[' + Host + u']' : Host;
        if (Port != 0) {
            out += u':' + QString::number(Port);
        }
    }
    out += u'/' + Database;
    if (socket) {
        out += QStringLiteral("?host=") + Host;
        if (Port != 0) {
            out += QStringLiteral("&port=") + QString::number(Port);
        }
    }
    return out;
}

QString DefaultArchivePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Brevel/archive.sqlite");
}

std::optional<ArchiveLocation> ParseArchiveLocation(const QString& text, QString* error)
{
    if (text.isEmpty()) {
        return ArchiveLocation{ArchiveLocation::Engine::Sqlite, DefaultArchivePath(), {}, 0, {}, {}, {}};
    }
    if (text.startsWith(SqlitePrefix)) {
        QString path = text.mid(SqlitePrefix.size());
        if (path.isEmpty()) {
            if (error) {
                *error = QStringLiteral("archive location %1: no file named (sqlite:PATH)").arg(Quoted(text));
            }
            return std::nullopt;
        }
        if (path.startsWith(QStringLiteral("~/"))) {
            path = QDir::homePath() + path.mid(1);
        }
        return ArchiveLocation{ArchiveLocation::Engine::Sqlite, path, {}, 0, {}, {}, {}};
    }
    for (const QString& scheme : {QStringLiteral("postgresql://"), QStringLiteral("postgres://")}) {
        if (text.startsWith(scheme)) {
            return ParsePostgres(text, scheme.size(), error);
        }
    }
    if (error) {
        *error = QStringLiteral("archive location %1 is neither sqlite:PATH nor postgresql://user@host:port/database")
                     .arg(Quoted(Shown(text)));
    }
    return std::nullopt;
}
