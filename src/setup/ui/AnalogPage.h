#pragma once

#include "setup/ui/SettingsPage.h"

#include <array>
#include <optional>

struct CalibrationPoints;
class Prompter;
class QGroupBox;
class QPushButton;

// The Analog Channels page: one frame per channel with its units, its two
// calibration points, its display range, its decimal places and Calibrate.
class AnalogPage : public SettingsPage {
    Q_OBJECT
public:
    AnalogPage(int channelCount, Prompter& prompter, FieldGuard& guard, bool errorTrapping);

    // Also warns, every time, when channel 1's unit allows no flow computation.
    void Load(const LoggerSettings& settings) override;
    void Store(LoggerSettings& settings) const override;

    // The points a calibration of the channel starts from, and its unit's name.
    CalibrationPoints StartingPoints(int channel) const;
    QString UnitName(int channel) const;
    void TakePoints(int channel, const CalibrationPoints& points);

    // A channel in use whose two raw counts are equal has no scale.
    struct Unscaled {
        int Channel = 0;
        QString Raw;
    };
    std::optional<Unscaled> ChannelWithoutScale() const;
    void ShowLowRaw(int channel);

signals:
    void CalibrateRequested(int channel);

private:
    struct Channel {
        QGroupBox* Frame = nullptr;
        QCheckBox* Enable = nullptr;
        QComboBox* Units = nullptr;
        QLineEdit* HighEu = nullptr;
        QLineEdit* LowEu = nullptr;
        QLineEdit* HighRaw = nullptr;
        QLineEdit* LowRaw = nullptr;
        QLineEdit* DisplayTop = nullptr;
        QLineEdit* DisplayBottom = nullptr;
        QComboBox* Precision = nullptr;
        QPushButton* Calibrate = nullptr;
    };

    Channel BuildChannel(int c);
    void FillLists();
    void InstallFieldChecks();
    void CheckFirstChannelUnits();

    const int channelCount_; // the logger's; the others stay disabled and empty
    Prompter& prompter_;
    std::array<Channel, 8> channels_{};
};
