#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs the application's event loop as main() does: start runs in it, the window is closed once busy() holds, and
// the loop must then end by itself. Gives the ms from the close to the end, or -1 when the loop had not ended 10 s
// after the close (or busy() never held).
inline qint64 CloseWhile(QWidget& window, const std::function<void()>& start, const std::function<bool()>& busy)
{
    QElapsedTimer sinceClose;
    QTimer watchdog; // the program itself only ever exits with 0
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (busy()) {
            poll.stop();
            sinceClose.start();
            watchdog.start(10000);
            window.close();
        }
    });
    QTimer::singleShot(0, start);
    poll.start(10);
    watchdog.start(30000);
    return QApplication::exec() == 0 ? sinceClose.elapsed() : -1;
}
