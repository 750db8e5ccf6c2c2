// TEMPORARY: removed once the setup-file functions are on main.
#include "setup/Interim.h"
QString FileTitle(const QString& path) { return path.mid(path.lastIndexOf('/') + 1); }
void AddRecentFile(std::array<QString, 4>& recent, const QString& path)
{
    int i = 3;
    for (int j = 0; j < 3; ++j) if (recent[j] == path) { i = j; break; }
    if (i == 0) return;
    for (int j = i - 1; j >= 0; --j) recent[j + 1] = recent[j];
    recent[0] = path;
}
bool SaveSetupFile(const QString&, const LoggerSettings&, bool) { return true; }
bool LoadSetupFile(const QString&, LoggerSettings&, RatingState&, bool) { return true; }
