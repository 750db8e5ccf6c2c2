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
        ch.Frame = Named(new QGroupBox(QStringLiteral("Pulse Channel %1").arg(k + 1), this), Indexed("fraPulse", k));
        ch.Frame->setGeometry(Px(k == 0 ? 500 : 5000), Px(500), Px(4000), Px(2300));
        ch.Frame->setEnabled(k < channelCount);
        auto* form = new QGridLayout(ch.Frame);
        ch.Enable = Named(new QCheckBox(QStringLiteral("Enable")), Indexed("chkPulseEnable", k),
                          QStringLiteral("Selects if pulse channel is included in display and history data"));
        ch.Units = EditableList(Indexed("cmbPulseEU", k), ChoiceLists::PulseUnits());
        ch.Units->setToolTip(QStringLiteral("Name of measurement units (9 characters max)"));
        ch.Units->setEditText(QString());
        ch.PulseValue = Named(new QLineEdit, Indexed("txtPulseUnit", k),
                              QStringLiteral("Floating point value for each pulse expressed in engineering units"));
        ch.Precision = EditableList(Indexed("cmbPulsePrecision", k), ChoiceLists::Numbers(0, 6));
        ch.Precision->setToolTip(QStringLiteral("Number of digits to display after decimal point "));
        ch.Precision->setEditText(QString());
        form->addWidget(ch.Enable, 0, 0, 1, 2);
        form->addWidget(Named(new QLabel(QStringLiteral("Sensor Name or Units")), Indexed("lblPulse1", k)), 1, 0);
        form->addWidget(ch.Units, 1, 1);
        form->addWidget(Named(new QLabel(QStringLiteral("Value for Single Pulse")), Indexed("lblPulse2", k)), 2, 0);
        form->addWidget(ch.PulseValue, 2, 1);
        form->addWidget(Named(new QLabel(QStringLiteral("Decimal Places")), Indexed("lblPulse3", k)), 3, 0);
        form->addWidget(ch.Precision, 3, 1);
        form->setRowStretch(4, 1);

        const QString channel = QStringLiteral(" of pulse channel %1").arg(k + 1);
        guard_.Guard(ch.Units, QStringLiteral("Sensor Name or Units") + channel, CheckUnitName);
        guard_.Guard(ch.PulseValue, QStringLiteral("Value for Single Pulse") + channel, CheckStoredNumber);
        guard_.Guard(ch.Precision, QStringLiteral("Decimal Places") + channel, CheckPrecision);
    }
}

void DigitalPage::Load(const LoggerSettings& s)
{
    for (int k = 0; k < std::min<int>(s.NumDigitalChannels, 2); ++k) {
        const Channel& ch = channels_[k];
        SetTicked(ch.Enable, s.DigitalEnable[k]);
        ch.Units->setEditText(s.EngUnits[FirstPulseSlot + k]);
        ch.PulseValue->setText(NumberText(s.PulseUnit[k]));
        Select(ch.Precision, std::min<int>(s.DecPlaces[FirstPulseSlot + k], 6));
    }
}

void DigitalPage::Store(LoggerSettings& s) const
{
    for (int k = 0; k < std::min<int>(s.NumDigitalChannels, 2); ++k) {
        const Channel& ch = channels_[k];
        s.DigitalEnable[k] = Ticked(ch.Enable);
        s.EngUnits[FirstPulseSlot + k] = ch.Units->currentText();
        s.PulseUnit[k] = LeadingNumber(ch.PulseValue->text());
        s.DecPlaces[FirstPulseSlot + k] = Position(ch.Precision);
    }
}
