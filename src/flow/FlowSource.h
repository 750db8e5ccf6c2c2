#pragma once

#include "platform/Prompter.h"

#include <QString>
#include <optional>

struct LoggerSettings;
struct RatingState;
struct RatingCatalogues;
class FileDialogs;

// A message for the window that started the operation to show.
struct FlowMessage {
    QString Title;
    QString Text;
    PromptIcon Icon = PromptIcon::None;
};

void ShowFlowMessage(Prompter& prompter, const FlowMessage& message);

// Makes the rating the settings name current (the flume or weir of the tag,
// or the flow table file) after settings were read from a logger. A tag that
// is not in its catalogue, or a table that is missing or empty, gives the
// message to show; flow is then 0 until valid settings are read.
std::optional<FlowMessage> CheckProgrammedFlowSource(const LoggerSettings& settings, RatingState& rating,
                                                     const RatingCatalogues& catalogues, const QString& appFolder,
                                                     bool errorTrapping);

// The setup window's Browse button for the flow table file: asks for a
// ".tbl" file, stores a file in or below the program's folder relative to
// it, loads the table (replacing the one in use) and reports what it held.
// Returns the path for the table file box, nothing when it stays unchanged.
std::optional<QString> BrowseForFlowTable(FileDialogs& dialogs, Prompter& prompter, RatingState& rating,
                                          const QString& appFolder, bool errorTrapping);
