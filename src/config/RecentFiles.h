#pragma once

#include <QString>
#include <array>

// The four most recent setup files, most recent first: full paths with the
// platform's folder separator, "" where there is none. Kept in the per-user
// settings ("LastFile0" to "LastFile3").
using RecentFileList = std::array<QString, 4>;

// Puts the path first. A path found among the first three entries moves to
// the front; any other path (the fourth entry included) pushes the last out.
void AddRecentFile(RecentFileList& recent, const QString& path);

// The name shown for a file: the part after the last folder separator, or the
// whole path for a file in a drive's root folder (C:\a.set) or without folder.
QString FileTitle(const QString& path);

// The caption of recent-file menu item index (0 to 3): "&1 a.set", or "&1"
// alone for an empty entry.
QString RecentFileCaption(int index, const QString& path);

// Splits a path at its last folder separator into folder and file name, when
// the separator is neither the first character nor the last; false otherwise
// (and both are left as they were).
bool SplitSetupPath(const QString& path, QString& folder, QString& fileName);
