#pragma once

#include "archive/ArchiveRecords.h"
#include "archive/ArchiveTime.h"

#include <QString>

class Archive;

// Writes the records of a site in the range as the history window's Save to
// File does: line 1 names the site, the time of writing and the flow
// computation of the newest download among them; line 2 the columns; then
// one line per record, its values as the table showed them at download.
// A column that a record's download did not have is left empty. The time
// is written in the format asked for, its date and time in the file's Date
// and Time fields. The file is replaced only when it was written whole.
// False, with a one-line reason, on failure.
bool ExportSiteCsv(Archive& archive, const QString& site, ArchiveRange range, ArchiveTimeFormat timeFormat,
                   const QString& path, QString* error);
