#pragma once

#include "setup/ui/SettingsPage.h"

#include <array>

class QGroupBox;

// The Digital Channels page: the two pulse counters, each with its units,
// the value of one pulse and its decimal places.
class DigitalPage : public SettingsPage {
    Q_OBJECT
public:
    DigitalPage(int channelCount, FieldGuard& guard, bool errorTrapping);

    void Load(const LoggerSettings& settings) override;
    void Store(LoggerSettings& settings) const override;

private:
    struct Channel {
        QGroupBox* Frame = nullptr;
        QCheckBox* Enable = nullptr;
        QComboBox* Units = nullptr;
        QLineEdit* PulseValue = nullptr;
        QComboBox* Precision = nullptr;
    };

    std::array<Channel, 2> channels_{};
};
