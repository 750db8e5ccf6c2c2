#pragma once

#include <QString>
#include <functional>

class QIODevice;

// Saves a file in one piece: write fills the new file (false gives up), and
// only when every byte was written does it take the path's place; on any
// failure the file that was there stays as it was. A path that exists but is
// not a regular file (a device, a pipe, a folder) is refused, because the
// new file would take the place of that device instead of writing to it.
bool SaveWholeFile(const QString& path, const std::function<bool(QIODevice& file)>& write);
