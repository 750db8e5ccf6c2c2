#include "core/WholeFileSave.h"

#include <QFileInfo>
#include <QSaveFile>

bool SaveWholeFile(const QString& path, const std::function<bool(QIODevice& file)>& write)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // Qt 6.4's commit() replaces the old file even when the final flush of
    // its buffer failed (a full disk), so flush and check first. Uncommitted,
    // the new text is thrown away and the old file stays.
    if (!write(file) || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
