#pragma once

#include "setup/ui/SettingsPage.h"

#include <array>

class QLabel;
class QRadioButton;

// The General page: the logger's name, warm-up, baud rate, logging style and
// interval, sample-on-demand, the two alarms and wrap-around.
class GeneralPage : public SettingsPage {
    Q_OBJECT
public:
    GeneralPage(bool sampleOnDemandSupported, FieldGuard& guard, bool errorTrapping);

    void Load(const LoggerSettings& settings) override;
    void Store(LoggerSettings& settings) const override;

    // An alarm's time can be edited only while the alarm is in use.
    void EnableAlarmTimes();

private:
    struct Alarm {
        QCheckBox* Use = nullptr;
        QLabel* Caption = nullptr;
        QLineEdit* Time = nullptr;
        QComboBox* Half = nullptr; // A.M. or P.M.
    };

    void InstallFieldChecks();

    QLineEdit* name_ = nullptr;
    QComboBox* warmup_ = nullptr;
    QComboBox* baudRate_ = nullptr;
    QRadioButton* periodic_ = nullptr;
    QLineEdit* intervalCount_ = nullptr;
    QComboBox* intervalUnit_ = nullptr;
    QRadioButton* fastMode_ = nullptr;
    QRadioButton* logarithmic_ = nullptr;
    QCheckBox* exceptionLogging_ = nullptr;
    QLineEdit* exceptionLevel_ = nullptr;
    QCheckBox* sampleOnDemand_ = nullptr;
    std::array<Alarm, 2> alarms_{};
    QCheckBox* wrapAround_ = nullptr;
};
