#pragma once

#include <QString>

class MainController;
struct Session;

// Gives the history table its Save to Archive button: the records of the
// download go to the archive at archiveLocation (the forms the brevel tool
// takes with --archive; empty for the default file in the user's data
// folder), the site named after the logger.
void InstallArchive(Session& session, MainController& controller, const QString& archiveLocation);
