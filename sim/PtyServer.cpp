#include "PtyServer.h"

#include "SimDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString SystemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void Trace(const char* direction, const QByteArray& bytes)
{
    std::fprintf(stderr, "%s %s\n", direction, bytes.toHex(' ').constData());
}

} // namespace

PtyServer::PtyServer(SimDevice& device, int latencyMs, int baud, QObject* parent)
    : QObject(parent)
    , device_(device)
    , scheduler_(latencyMs, baud)
{
    clock_.start();
    deliveryTimer_.setSingleShot(true);
    deliveryTimer_.setTimerType(Qt::PreciseTimer);
    connect(&deliveryTimer_, &QTimer::timeout, this, &PtyServer::DeliverDue);
}

PtyServer::~PtyServer()
{
    if (!linkPath_.isEmpty() && QFile::symLinkTarget(linkPath_) == devicePath_) {
        QFile::remove(linkPath_);
    }
    for (int fd : {watch_, slave_, master_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void PtyServer::MakeRaw() const
{
    termios settings{};
    if (::tcgetattr(slave_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(slave_, TCSANOW, &settings);
    }
}

bool PtyServer::Start(QString* error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error = SystemError("cannot create a pseudo-terminal");
        return false;
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    devicePath_ = QString::fromLocal8Bit(::ptsname(master_));
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        *error = SystemError("cannot open the pseudo-terminal");
        return false;
    }
    MakeRaw();

    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtyServer::ReadRequests);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PtyServer::FlushOutput);

    // Without the watch the server still serves; it only cannot tell when a
    // client leaves.
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ >= 0 && ::inotify_add_watch(watch_, ::ptsname(master_), IN_OPEN | IN_CLOSE) >= 0) {
        watchNotifier_ = new QSocketNotifier(watch_, QSocketNotifier::Read, this);
        connect(watchNotifier_, &QSocketNotifier::activated, this, &PtyServer::WatchEvents);
    }
    return true;
}

bool PtyServer::Announce(const QString& linkPath, QString* error)
{
    const QFileInfo link(linkPath);
    if (!QDir().mkpath(link.absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(link.absolutePath());
        return false;
    }
    const QString temporary = linkPath + QStringLiteral(".%1").arg(::getpid());
    QFile::remove(temporary);
    if (::symlink(QFile::encodeName(devicePath_).constData(), QFile::encodeName(temporary).constData()) != 0
        || ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(linkPath).constData()) != 0) {
        *error = SystemError("cannot create the link");
        QFile::remove(temporary);
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void PtyServer::ReadRequests()
{
    char buffer[4096];
    const ssize_t count = ::read(master_, buffer, sizeof buffer);
    if (count <= 0) {
        return;
    }
    const QByteArray request(buffer, static_cast<qsizetype>(count));
    if (trace_) {
        Trace("<-", request);
    }
    scheduler_.Schedule(device_.Receive(request), NowUs());
    ArmTimer();
}

void PtyServer::DeliverDue()
{
    const QByteArray due = scheduler_.TakeDue(NowUs());
    if (!due.isEmpty()) {
        if (trace_) {
            Trace("->", due);
        }
        output_ += due;
        FlushOutput();
    }
    ArmTimer();
}

void PtyServer::FlushOutput()
{
    while (!output_.isEmpty()) {
        const ssize_t written = ::write(master_, output_.constData(), static_cast<size_t>(output_.size()));
        if (written <= 0) {
            break; // the client is not reading: go on when the line has room
        }
        output_.remove(0, written);
    }
    writeNotifier_->setEnabled(!output_.isEmpty());
}

void PtyServer::ArmTimer()
{
    if (const std::optional<int64_t> next = scheduler_.NextDueUs()) {
        const int64_t waitUs = std::max<int64_t>(*next - NowUs(), 0);
        deliveryTimer_.start(static_cast<int>((waitUs + 999) / 1000));
    }
}

void PtyServer::WatchEvents()
{
    alignas(inotify_event) char buffer[4096];
    ssize_t count = 0;
    while ((count = ::read(watch_, buffer, sizeof buffer)) > 0) {
        for (char* at = buffer; at < buffer + count;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->mask & IN_OPEN) {
                ++clients_;
            } else if ((event->mask & IN_CLOSE) && clients_ > 0 && --clients_ == 0) {
                LastClientGone();
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
}

void PtyServer::LastClientGone()
{
    if (trace_) {
        std::fprintf(stderr, "-- port closed\n");
    }
    device_.LineDropped();
    scheduler_.Clear();
    deliveryTimer_.stop();
    output_.clear();
    writeNotifier_->setEnabled(false);
    ::tcflush(slave_, TCIOFLUSH);
    ::ioctl(slave_, TIOCNXCL); // a client that died keeps the port locked otherwise
    MakeRaw();
}
