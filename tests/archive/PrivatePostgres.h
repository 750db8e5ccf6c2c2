#pragma once

#include "archive/ArchiveLocation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <pwd.h>
#include <unistd.h>

// A PostgreSQL server of its own in a temporary folder, reached only over a Unix socket there: made with initdb,
// started and stopped with pg_ctl. As root (which initdb refuses) the server programs run as "nobody".
class PrivatePostgres {
public:
    // Not the default port, so that a location that lost its port cannot reach it.
    static constexpr int Port = 5499;

    ~PrivatePostgres()
    {
        QString error;
        if (running_) {
            run("pg_ctl", {"-D", folder_.filePath("data"), "-m", "fast", "-w", "stop"}, &error);
        }
    }

    // A /usr/lib/postgresql/<version>/bin holding initdb and pg_ctl; empty when they are not installed.
    static QString serverPrograms()
    {
        for (const QString& version : QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString bin = QString("/usr/lib/postgresql/%1/bin").arg(version);
            if (QFile::exists(bin + "/initdb") && QFile::exists(bin + "/pg_ctl")) {
                return bin;
            }
        }
        return {};
    }

    bool start(QString* error)
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
        // No TCP: the socket in the folder is the only way in. No fsync: the server's files go with the folder.
        const QString options = QString("-k %1 -h '' -F -p %2").arg(folder_.path()).arg(Port);
        running_ = run("initdb", {"-D", data, "-U", User, "--auth=trust", "-E", "UTF8", "--no-locale", "-N"}, error)
                   && run("pg_ctl", {"-D", data, "-o", options, "-l", folder_.filePath("server.log"), "-w", "start"}, error);
        return running_;
    }

    std::optional<ArchiveLocation> createDatabase(const QString& name, QString* error)
    {
        if (!run("createdb", {"-h", folder_.path(), "-p", QString::number(Port), "-U", User, name}, error)) {
            return std::nullopt;
        }
        return ArchiveLocation{ArchiveLocation::Engine::Postgres, {}, folder_.path(), Port, User, {}, name};
    }

private:
    bool run(const QString& program, const QStringList& arguments, QString* error)
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

    const QString User = QStringLiteral("brevel");
    QString programs_;
    QTemporaryDir folder_;
    bool running_ = false;
};
