#include "cli/StopSignal.h"

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

StopSignal::StopSignal()
{
    const sigset_t stopSignals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    fd_ = ::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignal::ReadSignal);
    }
}

StopSignal::~StopSignal()
{
    notifier_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void StopSignal::ReadSignal()
{
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == ssize_t(sizeof info)) {
    }
    // A second Ctrl-C while the first is being honoured changes nothing.
    if (!requested_) {
        requested_ = true;
        emit StopRequested();
    }
}
