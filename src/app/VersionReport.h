#pragma once

#include <QString>

class QTextStream;

// "--version" among the arguments: the program prints its caption and where
// it found the files that came with it, and ends without a window. The
// option holds none of the texts the command line is searched for ("-d",
// "-i", "-w").
bool AsksForVersionReport(int argc, const char* const* argv);

// The caption, the program and data folders, the two catalogues with their
// device counts and the manual, each "not found" when missing.
void WriteVersionReport(QTextStream& out, const QString& appFolder);
