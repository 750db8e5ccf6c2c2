#pragma once

#include <QString>
#include <array>
#include <cstdint>

class SettingsStore;

// The per-user settings: read once at start-up, kept in memory, written once
// when the main window closes normally.
struct UserSettings {
    QString DirectPort = QStringLiteral("Com1");
    QString DirectBaud = QStringLiteral("38400");
    QString ModemPort = QStringLiteral("Com1");
    QString ModemBaud = QStringLiteral("38400");
    std::array<QString, 4> ModemNumber;
    QString ModemInit;       // path of the modem command file
    int16_t UseModemInit = 0; // 0 off, 1 on
    QString LastFilePath;    // folder last used for setup files
    std::array<QString, 4> LastFile;

    // Not stored: the number the modem window dials, "ModemNumber0" at start-up.
    QString CurrentModemNumber;
};

// Reads every key, each with its default when absent, in the stored order.
UserSettings ReadUserSettings(const SettingsStore& store);
// Writes every key in the same order.
void WriteUserSettings(const UserSettings& settings, SettingsStore& store);
