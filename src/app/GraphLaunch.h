#pragma once

#include "history/ui/OpenHistoryGraph.h"

class MainController;
class MainWindow;
struct Session;

// Gives the main window its graphs: the history graph behind the history
// table's Graph button, and the live graph of Action > Live Graph, which
// plots every live sample the meter columns show from the moment it is first
// opened (closing only hides it, so reopening keeps the readings).
void InstallGraphs(Session& session, MainController& controller, MainWindow& window);

// Opens the history graph of a table, over a window, until it is closed.
OpenHistoryGraph HistoryGraphOpener(Session& session);
