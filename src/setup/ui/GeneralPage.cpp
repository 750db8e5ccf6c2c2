#include "setup/ui/GeneralPage.h"

#include "config/LoggerSettings.h"
#include "core/NumberText.h"
#include "setup/ChoiceLists.h"
#include "setup/EditorTexts.h"
#include "setup/FieldChecks.h"
#include "setup/ui/FieldGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// LoggingStyle: the timing in bits 0 and 1, exception logging in bit 7.
enum class Timing : uint8_t { Periodic = 0, Logarithmic = 1, FastMode = 2 };
constexpr uint8_t TimingBits = 3;
constexpr uint8_t ExceptionLoggingBit = 128;

} // namespace

GeneralPage::GeneralPage(bool sampleOnDemandSupported, FieldGuard& guard, bool errorTrapping)
    : SettingsPage(guard, errorTrapping)
{
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(3, 1);

    name_ = Named(new QLineEdit, QStringLiteral("txtName"));
    name_->setMaximumWidth(320);
    grid->addWidget(new QLabel(QStringLiteral("Name")), 0, 0);
    grid->addWidget(name_, 0, 1, 1, 3);

    warmup_ = EditableList(QStringLiteral("cmbWarmup"), ChoiceLists::Numbers(0, 60));
    grid->addWidget(new QLabel(QStringLiteral("Sensor Warmup Time")), 1, 0);
    grid->addWidget(warmup_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("seconds")), 1, 2);

    baudRate_ = EditableList(QStringLiteral("cmbBaud"), ChoiceLists::BaudRates());
    grid->addWidget(new QLabel(QStringLiteral("Baud Rate")), 2, 0);
    grid->addWidget(baudRate_, 2, 1, 1, 2);

    auto* style = Named(new QGroupBox(QStringLiteral("Logging Style")), QStringLiteral("fraLoggingStyle"));
    auto* styleGrid = new QGridLayout(style);
    periodic_ = Named(new QRadioButton(QStringLiteral("Sample periodically every")), QStringLiteral("optPeriodic"));
    intervalCount_ = Named(new QLineEdit(QStringLiteral("1")), QStringLiteral("txtSampleInterval"));
    intervalCount_->setMaximumWidth(70);
    intervalUnit_ = PickList(QStringLiteral("cmbSampleInterval"), ChoiceLists::IntervalUnits());
    fastMode_ = Named(new QRadioButton(QStringLiteral("Fast sampling mode (10 times per second)")),
                      QStringLiteral("optFastMode"));
    logarithmic_ = Named(new QRadioButton(QStringLiteral("Logarithmic timing")), QStringLiteral("optLogarithmic"));
    exceptionLogging_ = Named(new QCheckBox(QStringLiteral("Log only if channel 1 change exceeds +/-")),
                              QStringLiteral("chkException"));
    exceptionLevel_ = Named(new QLineEdit, QStringLiteral("txtException"));
    exceptionLevel_->setMaximumWidth(70);
    styleGrid->addWidget(periodic_, 0, 0);
    styleGrid->addWidget(intervalCount_, 0, 1);
    styleGrid->addWidget(intervalUnit_, 0, 2);
    styleGrid->addWidget(fastMode_, 1, 0, 1, 3);
    styleGrid->addWidget(logarithmic_, 2, 0, 1, 3);
    styleGrid->addWidget(exceptionLogging_, 3, 0);
    styleGrid->addWidget(exceptionLevel_, 3, 1);
    styleGrid->addWidget(Named(new QLabel(QStringLiteral("raw units")), QStringLiteral("lblExceptionUnits")), 3, 2);
    styleGrid->setColumnStretch(3, 1);
    grid->addWidget(style, 3, 0, 1, 4);

    sampleOnDemand_ = Named(new QCheckBox(QStringLiteral("Enable Sample-On-Demand")), QStringLiteral("chkSOD"));
    sampleOnDemand_->setEnabled(sampleOnDemandSupported);
    grid->addWidget(sampleOnDemand_, 4, 0, 1, 4);

    const char* alarmUses[] = {"Use Alarm 1 To Specify Sampling Start Time", "Use Alarm 2 To Specify Sampling Stop Time"};
    for (int a = 0; a < 2; ++a) {
        Alarm& alarm = alarms_[a];
        alarm.Use = Named(new QCheckBox(QLatin1String(alarmUses[a])), Indexed("chkAlarm", a));
        alarm.Caption =
            Named(new QLabel(QStringLiteral("Alarm %1 Time (hh:mm:ss)").arg(a + 1)), Indexed("lblAlarm", a));
        alarm.Time = Named(new QLineEdit, Indexed("txtAlarm", a));
        alarm.Time->setMaximumWidth(90);
        alarm.Half = PickList(Indexed("cmbAlarm", a), ChoiceLists::AlarmHalves());
        alarm.Half->setMinimumWidth(72);
        const int top = 5 + 2 * a;
        grid->addWidget(alarm.Use, top, 0, 1, 4);
        auto* time = new QHBoxLayout;
        time->setContentsMargins(20, 0, 0, 0);
        time->addWidget(alarm.Caption);
        time->addWidget(alarm.Time);
        time->addWidget(alarm.Half);
        time->addStretch();
        grid->addLayout(time, top + 1, 0, 1, 4);
    }

    wrapAround_ = Named(new QCheckBox(QStringLiteral("Wrap records at end of storage")), QStringLiteral("chkWrap"));
    grid->addWidget(wrapAround_, 9, 0, 1, 4);
    grid->setRowStretch(10, 1);
    InstallFieldChecks();
}

void GeneralPage::InstallFieldChecks()
{
    guard_.Guard(name_, QStringLiteral("Name"), CheckLoggerName);
    for (int a = 0; a < 2; ++a) {
        guard_.Guard(alarms_[a].Time, QStringLiteral("Alarm %1 Time").arg(a + 1), CheckAlarmTime, true);
    }
    guard_.Guard(warmup_, QStringLiteral("Sensor Warmup Time"), CheckWarmup);
    guard_.Guard(baudRate_, QStringLiteral("Baud Rate"), CheckBaudRate);
    guard_.Guard(intervalCount_, QStringLiteral("Sample interval"), CheckSampleInterval, true);
    guard_.Guard(exceptionLevel_, QStringLiteral("Exception level"), CheckExceptionLevel, true);
}

void GeneralPage::Load(const LoggerSettings& s)
{
    name_->setText(s.LoggerName);
    Select(warmup_, s.SensorWarmupTime);
    for (int a = 0; a < 2; ++a) {
        SetTicked(alarms_[a].Use, s.AlarmEnable[a]);
        const AlarmDisplay shown = ShowAlarmTime({s.AlarmHour[a], s.AlarmMin[a], s.AlarmSec[a]});
        alarms_[a].Half->setCurrentIndex(shown.Half);
        alarms_[a].Time->setText(shown.Text);
    }
    exceptionLogging_->setChecked((s.LoggingStyle & ExceptionLoggingBit) != 0);
    switch (Timing(s.LoggingStyle & TimingBits)) {
    case Timing::Periodic:
        periodic_->setChecked(true);
        break;
    case Timing::FastMode:
        fastMode_->setChecked(true);
        break;
    default:
        logarithmic_->setChecked(true);
        break;
    }
    intervalCount_->setText(IntervalCountText(s.SampleInterval));
    intervalUnit_->setCurrentIndex(IntervalUnitIndex(s.SampleInterval));
    exceptionLevel_->setText(QString::number(s.Deadband));
    SetTicked(wrapAround_, s.DataWrapAroundFlag);
    Select(baudRate_, s.FixedBaudRate);
    SetTicked(sampleOnDemand_, s.EnableSOD);
}

void GeneralPage::Store(LoggerSettings& s) const
{
    s.LoggerName = name_->text();
    s.SensorWarmupTime = Position(warmup_);
    for (int a = 0; a < 2; ++a) {
        s.AlarmEnable[a] = Ticked(alarms_[a].Use);
        const AlarmTime time = ReadAlarmTime(alarms_[a].Time->text(), alarms_[a].Half->currentIndex());
        s.AlarmMin[a] = time.Min;
        s.AlarmSec[a] = time.Sec;
        s.AlarmHour[a] = time.Hour;
    }
    const Timing timing = fastMode_->isChecked()      ? Timing::FastMode
                          : logarithmic_->isChecked() ? Timing::Logarithmic
                                                      : Timing::Periodic;
    s.LoggingStyle = uint8_t(timing) | (exceptionLogging_->isChecked() ? ExceptionLoggingBit : 0);
    s.SampleInterval = ComposeInterval(intervalCount_->text(), intervalUnit_->currentText());
    s.Deadband = WholeLeadingNumber(exceptionLevel_);
    s.DataWrapAroundFlag = Ticked(wrapAround_);
    s.FixedBaudRate = Position(baudRate_);
    s.EnableSOD = Ticked(sampleOnDemand_);
}

void GeneralPage::EnableAlarmTimes()
{
    for (Alarm& alarm : alarms_) {
        const bool inUse = alarm.Use->isChecked();
        if (alarm.Time->isEnabled() != inUse) {
            alarm.Time->setEnabled(inUse);
            alarm.Caption->setEnabled(inUse);
            alarm.Half->setEnabled(inUse);
        }
    }
}
