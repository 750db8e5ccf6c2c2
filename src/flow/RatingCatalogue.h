#pragma once

#include <QChar>
#include <QDir>
#include <QString>
#include <cstdint>
#include <vector>

struct RatingState;

// One flume or weir of a catalogue: a power law (Kind 0) flow = Multiplier x
// (level + Offset) ^ Exponent, level in feet and flow in cfs, or a flow table
// file (Kind 1).
struct RatingEntry {
    QString Tag;  // at most 8 characters, upper case
    QString Name; // shown in the setup window's lists and on the main window
    int16_t Kind = 0;
    QString TableFile; // as written in the catalogue
    double Offset = 0.0;
    double Exponent = 0.0;
    double Multiplier = 0.0;
};

inline constexpr int16_t EquationRating = 0;
inline constexpr int16_t TableRating = 1;

// The entries of a catalogue file in file order (the first at index 0).
using RatingCatalogue = std::vector<RatingEntry>;

// The two catalogues of the program's data folder, read once at start-up.
struct RatingCatalogues {
    RatingCatalogue FlumeCatalogue;
    RatingCatalogue WeirCatalogue;
    // The folder they were read from: the table files they name are there.
    QString Folder = {};
};

// The text with every comma and tab replaced by a blank.
QString ReplaceSeparators(QString text);

// Where a flow table path leads: a path with a drive letter or a network or
// absolute path is used as it is; any other path is taken relative to the
// program's folder. On a system whose separator is "/" a backslash counts as
// a separator too, so paths written on Windows still resolve.
QString ResolveTablePath(const QString& appFolder, const QString& path, QChar separator = QDir::separator());

// Replaces the flow table with the points of the file (at most 1001). True
// when the file was found and read to its end, even without a valid point;
// on false the table is empty.
bool LoadFlowTable(RatingState& rating, const QString& path, const QString& appFolder, bool errorTrapping);

// Reads a catalogue file; a missing file gives an empty catalogue and
// malformed lines are skipped. A table entry is kept only when its table file
// loads.
void LoadRatingCatalogue(RatingCatalogue& catalogue, const QString& path, const QString& appFolder,
                         bool errorTrapping);

// Both catalogues, "flumes.lst" and "weirs.lst" in the folder; the table
// files of their entries are taken relative to it.
void LoadRatingCatalogues(RatingCatalogues& catalogues, const QString& folder, bool errorTrapping);

// Makes the entry with the tag the current rating; false when the tag is
// empty or unknown, or its table file does not load. A later equation entry
// with the same tag replaces an earlier one. A table file is taken relative
// to the catalogue's folder.
bool SelectRating(RatingState& rating, const QString& tag, const RatingCatalogue& catalogue,
                  const QString& catalogueFolder, bool errorTrapping);
