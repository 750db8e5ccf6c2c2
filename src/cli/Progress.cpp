#include "cli/Progress.h"

#include <cstdio>
#include <unistd.h>

Progress::Progress() : enabled_(::isatty(STDERR_FILENO) == 1)
{
    started_.start();
}

Progress::~Progress()
{
    Finish();
}

void Progress::Update(qint64 done, qint64 total, const QString& note)
{
    const qint64 elapsedMs = started_.elapsed();
    // Ten times a second is as fast as anyone reads.
    if (!enabled_ || (elapsedMs - lastShownMs_ < 100 && done < total)) {
        return;
    }
    lastShownMs_ = elapsedMs;
    const double perSecond = elapsedMs > 0 ? done * 1000.0 / double(elapsedMs) : 0.0;
    QString line = QStringLiteral("%1 records").arg(done);
    if (total > 0) {
        line = QStringLiteral("%1% %2 of %3 records").arg(std::min<qint64>(100, done * 100 / total)).arg(done).arg(total);
    }
    line += QStringLiteral(", %1 records/s").arg(qRound(perSecond));
    if (total > done && perSecond > 0) {
        const qint64 left = qint64((total - done) / perSecond);
        line += QStringLiteral(", %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    }
    if (!note.isEmpty()) {
        line += QStringLiteral(", ") + note;
    }
    std::fprintf(stderr, "\r%-78s", qPrintable(line));
    std::fflush(stderr);
    shown_ = true;
}

void Progress::Finish()
{
    if (shown_) {
        std::fputc('\n', stderr);
        shown_ = false;
    }
}
