#pragma once

#include <QElapsedTimer>
#include <QString>

// Progress of a long job on standard error, on one line rewritten in place:
// percent, records per second and the time left. Only when standard error
// is a terminal; a script's log gets nothing.
class Progress {
public:
    Progress();
    ~Progress();

    // done of total records; total 0 when unknown.
    void Update(qint64 done, qint64 total, const QString& note = {});
    // Ends the line (before anything else is written to standard error).
    void Finish();

private:
    bool enabled_;
    bool shown_ = false;
    QElapsedTimer started_;
    qint64 lastShownMs_ = -1000;
};
