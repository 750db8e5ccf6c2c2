#include "setup/ui/DigitalPage.h"

#include "config/LoggerSettings.h"
#include "core/NumberText.h"
#include "setup/ChoiceLists.h"
#include "setup/FieldChecks.h"
#include "setup/ui/FieldGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace {

// The first value in the pulse channels' slots of EngUnits and DecPlaces.
constexpr int FirstPulseSlot = 8;

} // namespace

DigitalPage::DigitalPage(int channelCount, FieldGuard& guard, bool errorTrapping) : SettingsPage(guard, errorTrapping)
{
    for (int k = 0; k < 2; ++k) {
        Channel& ch = channels_[k];
        ch.frame = Named(new QGroupBox(QStringLiteral("Pulse Channel %1").arg(k + 1), this), Indexed("fraPulse", k));
        ch.frame->setGeometry(Px(k == 0 ? 500 : 5000), Px(500), Px(4000), Px(2300));
        ch.frame->setEnabled(k < channelCount);
        auto* form = new QGridLayout(ch.frame);
        ch.enable = Named(new QCheckBox(QStringLiteral("Enable")), Indexed("chkPulseEnable", k),
                          QStringLiteral("Selects if pulse channel is included in display and history data"));
        ch.units = EditableList(Indexed("cmbPulseEU", k), ChoiceLists::PulseUnits());
        ch.units->setToolTip(QStringLiteral("Name of measurement units (9 characters max)"));
        ch.units->setEditText(QString());
        ch.pulseValue = Named(new QLineEdit, Indexed("txtPulseUnit", k),
                              QStringLiteral("Floating point value for each pulse expressed in engineering units"));
        ch.precision = EditableList(Indexed("cmbPulsePrecision", k), ChoiceLists::Numbers(0, 6));
        ch.precision->setToolTip(QStringLiteral("Number of digits to display after decimal point "));
        ch.precision->setEditText(QString());
        form->addWidget(ch.enable, 0, 0, 1, 2);
        form->addWidget(Named(new QLabel(QStringLiteral("Sensor Name or Units")), Indexed("lblPulse1", k)), 1, 0);
        form->addWidget(ch.units, 1, 1);
        form->addWidget(Named(new QLabel(QStringLiteral("Value for Single Pulse")), Indexed("lblPulse2", k)), 2, 0);
        form->addWidget(ch.pulseValue, 2, 1);
        form->addWidget(Named(new QLabel(QStringLiteral("Decimal Places")), Indexed("lblPulse3", k)), 3, 0);
        form->addWidget(ch.precision, 3, 1);
        form->setRowStretch(4, 1);

        const QString channel = QStringLiteral(" of pulse channel %1").arg(k + 1);
        guard_.Guard(ch.units, QStringLiteral("Sensor Name or Units") + channel, CheckUnitName);
        guard_.Guard(ch.pulseValue, QStringLiteral("Value for Single Pulse") + channel, CheckStoredNumber);
        guard_.Guard(ch.precision, QStringLiteral("Decimal Places") + channel, CheckPrecision);
    }
}

void DigitalPage::Load(const LoggerSettings& s)
{
    for (int k = 0; k < std::min<int>(s.NumDigitalChannels, 2); ++k) {
        const Channel& ch = channels_[k];
        SetTicked(ch.enable, s.DigitalEnable[k]);
        ch.units->setEditText(s.EngUnits[FirstPulseSlot + k]);
        ch.pulseValue->setText(NumberText(s.PulseUnit[k]));
        Select(ch.precision, std::min<int>(s.DecPlaces[FirstPulseSlot + k], 6));
    }
}

void DigitalPage::Store(LoggerSettings& s) const
{
    for (int k = 0; k < std::min<int>(s.NumDigitalChannels, 2); ++k) {
        const Channel& ch = channels_[k];
        s.DigitalEnable[k] = Ticked(ch.enable);
        s.EngUnits[FirstPulseSlot + k] = ch.units->currentText();
        s.PulseUnit[k] = LeadingNumber(ch.pulseValue->text());
        s.DecPlaces[FirstPulseSlot + k] = Position(ch.precision);
    }
}
