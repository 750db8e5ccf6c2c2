#pragma once

#include <QStringList>
#include <vector>

// One step of the archive's schema: the statements that bring an archive
// from the version before to this one. A released step never changes; a
// new version adds a step.
struct ArchiveSchemaStep {
    int Version = 0;
    // One text for both engines; "{id}" stands for an auto-numbered key,
    // the one thing SQLite and PostgreSQL spell differently.
    QStringList Statements;
};

// Every step, oldest first; the last one's version is the current schema.
const std::vector<ArchiveSchemaStep>& ArchiveSchema();

// The value columns a record row has room for: the raw counts of up to 8
// analog and 2 pulse channels, and the engineering values of the history
// table's columns (up to 8 analog, 2 pulse, flow and velocity).
inline constexpr int ArchiveRawColumns = 10;
inline constexpr int ArchiveValueColumns = 12;
