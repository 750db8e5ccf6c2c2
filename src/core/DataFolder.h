#pragma once

#include <QString>
#include <QStringList>

// The files that come with the program (the flume and weir catalogues, the
// sample flow tables they name, the manual) live in one data folder: beside
// the program when it runs from its build folder, in
// <prefix>/share/brevel-flow-monitor when it is installed. AppFolder keeps
// its own meaning, the program's folder, where relative flow table paths of
// the logger's settings and several file dialogs start.

// The folders looked in, in order: the program's folder, the installed
// prefix's share folder relative to it, then the system's data folders.
QStringList DataFolderCandidates(const QString& appFolder);

// The first candidate that holds a catalogue or the manual; the program's
// folder when none does (then nothing is found, as with missing files).
QString FindDataFolder(const QString& appFolder);

// Where the manual's page is in a data folder.
QString ManualPath(const QString& dataFolder);
