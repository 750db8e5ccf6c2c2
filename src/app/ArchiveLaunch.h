#pragma once

#include "history/ui/OpenHistoryGraph.h"

#include <QString>

class MainController;
class MainWindow;
struct Session;

// Gives the program its archive at archiveLocation (the forms the brevel
// tool takes with --archive; empty for the default file in the user's data
// folder): the history table's Save to Archive button, where the records of
// a download go under the logger's name, and File > Open Archive..., which
// shows a site's records in the history table, graph and all.
void InstallArchive(Session& session, MainController& controller, MainWindow& window,
                    const QString& archiveLocation, OpenHistoryGraph openGraph);
