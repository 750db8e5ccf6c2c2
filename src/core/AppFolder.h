#pragma once

#include <QString>

// The folder that holds the program, without a trailing separator. The
// manual, the catalogues, relative flow table paths and several file dialogs
// start from it. Needs a QCoreApplication.
QString AppFolder();

// The path without one trailing "/" or "\" (a root such as "/" stays).
QString WithoutTrailingSeparator(const QString& path);
