#pragma once
// Stand-ins until the setup-file helpers land on main. Signatures follow theirs.
#include "config/LoggerSettings.h"

#include <QString>
#include <array>

struct RatingState;

QString FileTitle(const QString& path);
void AddRecentFile(std::array<QString, 4>& recent, const QString& path);
bool SaveSetupFile(const QString& path, const LoggerSettings& settings, bool errorTrapping);
bool LoadSetupFile(const QString& path, LoggerSettings& settings, RatingState& rating, bool errorTrapping);
