#pragma once

#include <QString>

// "Setup Files (*.set)|*.set|All Files|*.*" in the form Qt's file dialogs
// take: "Setup Files (*.set);;All Files (*.*)".
QString QtFileFilter(const QString& pairs);

// The path with the default extension (".set") appended when its file name
// has no extension of its own.
QString WithDefaultExtension(const QString& path, const QString& defaultExtension);
