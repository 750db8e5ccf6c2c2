#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

// The virtual logger program, started with its link in a folder of the test's own.
class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../brevel-logger-sim"), arguments);
        process.waitForStarted(5000);
        // The program prints the device path and the link path, one a line.
        for (QString* line : {&devicePath, &linkPath}) {
            while (!process.canReadLine() && process.waitForReadyRead(5000)) {
            }
            *line = QString::fromLocal8Bit(process.readLine()).trimmed();
        }
    }
    ~SimProcess()
    {
        process.terminate();
        process.waitForFinished(5000);
    }

    QTemporaryDir folder;
    QProcess process;
    QString devicePath;
    QString linkPath;
};
