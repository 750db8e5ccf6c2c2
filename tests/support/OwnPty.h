#pragma once

#include "link/PortDirectory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A raw pseudo-terminal of the test's own, announced as a virtual logger announces itself, so it gets a COM number.
struct OwnPty {
    OwnPty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            return;
        }
        device = QString::fromLocal8Bit(name);
        ::fcntl(master, F_SETFL, O_NONBLOCK); // readMaster waits for what is missing, never blocks
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        QFile::link(device, folder.filePath(QStringLiteral("own")));
        directory.Rescan();
        for (const NumberedPort& port : directory.Ports()) {
            if (port.Device.Name.endsWith(QStringLiteral(" own"))) {
                number = port.Number;
            }
        }
    }
    ~OwnPty()
    {
        ::close(master);
        ::close(slave);
    }

    termios line() const
    {
        termios t{};
        tcgetattr(slave, &t);
        return t;
    }
    QByteArray readMaster(int count) const
    {
        QByteArray bytes(count, '\0');
        int got = 0;
        for (int tries = 0; got < count && tries < 200; ++tries) {
            const ssize_t n = ::read(master, bytes.data() + got, size_t(count - got));
            if (n > 0) {
                got += int(n);
            } else {
                QTest::qWait(5);
            }
        }
        return bytes.left(got);
    }

    int master = -1;
    int slave = -1;
    QString device; // /dev/pts/N
    QTemporaryDir folder;
    PortDirectory directory{folder.path()};
    int number = 0; // its COM number; 0 when it has none
};
