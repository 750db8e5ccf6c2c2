#include "PrivatePostgres.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString User = QStringLiteral("brevel");
// Not the default port, so that a location that lost its port cannot reach it.
constexpr int Port = 5499;

} // namespace

PrivatePostgres::~PrivatePostgres()
{
    QString error;
    if (running_) {
        run("pg_ctl", {"-D", folder_.filePath("data"), "-m", "fast", "-w", "stop"}, &error);
    }
}

QString PrivatePostgres::serverPrograms()
{
    QStringList versions = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(), [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
    for (const QString& version : versions) {
        const QString bin = QString("/usr/lib/postgresql/%1/bin").arg(version);
        if (QFile::exists(bin + "/initdb") && QFile::exists(bin + "/pg_ctl")) {
            return bin;
        }
    }
    return {};
}

bool PrivatePostgres::run(const QString& program, const QStringList& arguments, QString* error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = programs_ + u'/' + program;
    if (geteuid() == 0) {
        process.start("runuser", QStringList{"-u", "nobody", "--", path} + arguments);
    } else {
        process.start(path, arguments);
    }
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = program + " failed: " + QString::fromLocal8Bit(process.readAll()).simplified() + process.errorString();
        return false;
    }
    return true;
}

bool PrivatePostgres::start(QString* error)
{
    programs_ = serverPrograms();
    if (programs_.isEmpty() || !folder_.isValid()) {
        *error = "no PostgreSQL server programs or no temporary folder";
        return false;
    }
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || chown(QFile::encodeName(folder_.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            *error = QString("cannot hand the folder %1 to the user nobody").arg(folder_.path());
            return false;
        }
    }
    const QString data = folder_.filePath("data");
    // No TCP: the socket in the folder is the only way in. No fsync: the
    // server's files go with the folder.
    const QString options = QString("-k %1 -h '' -F -p %2").arg(folder_.path()).arg(Port);
    running_ = run("initdb", {"-D", data, "-U", User, "--auth=trust", "-E", "UTF8", "--no-locale", "-N"}, error)
               && run("pg_ctl", {"-D", data, "-o", options, "-l", folder_.filePath("server.log"), "-w", "start"}, error);
    return running_;
}

std::optional<ArchiveLocation> PrivatePostgres::createDatabase(const QString& name, QString* error)
{
    ArchiveLocation location;
    location.Type = ArchiveLocation::Engine::Postgres;
    location.Host = folder_.path();
    location.Port = Port;
    location.User = User;
    location.Database = name;
    const QString connection = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connection);
        db.setHostName(location.Host);
        db.setPort(Port);
        db.setUserName(User);
        db.setDatabaseName("postgres");
        const bool open = db.open();
        QSqlQuery query(db);
        ok = open && query.exec(QString("CREATE DATABASE \"%1\"").arg(name));
        if (!ok) {
            *error = open ? query.lastError().text() : db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok ? std::optional(location) : std::nullopt;
}
