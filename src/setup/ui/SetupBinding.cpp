// The setup window's two copies between the settings record and its controls.
#include "setup/ui/SetupWindow.h"

#include "config/LoggerSettings.h"
#include "core/ProgramOptions.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"
#include "core/ErrorTrap.h"
#include "core/NumberText.h"
#include "platform/Prompter.h"
#include "setup/ChoiceLists.h"
#include "setup/EditorTexts.h"
#include "setup/FieldChecks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <stdexcept>

namespace {

void Tick(QCheckBox* box, uint8_t value)
{
    box->setChecked(value != 0);
}

uint8_t Ticked(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

// A position the list cannot take is skipped: the list keeps its item.
void Select(QComboBox* combo, int position)
{
    if (position >= 0 && position < combo->count()) {
        combo->setCurrentIndex(position);
    } else if (position >= 0) {
        throw std::out_of_range("list position");
    }
}

uint8_t Position(const QComboBox* combo)
{
    if (combo->currentIndex() < 0) {
        throw std::runtime_error("no list item selected");
    }
    return static_cast<uint8_t>(combo->currentIndex());
}

void ShowText(QComboBox* combo, const QString& text)
{
    combo->setEditText(text);
}

// The last entry with the tag wins; "- None -" when no entry has it.
int SelectedCatalogueEntry(const RatingCatalogue& catalogue, const QString& tag)
{
    int position = 0;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].Tag == tag) {
            position = int(i) + 1;
        }
    }
    return position;
}

QString CatalogueTag(const RatingCatalogue& catalogue, const QComboBox* combo)
{
    const int position = Position(combo);
    return position == 0 ? QString() : catalogue.at(size_t(position) - 1).Tag;
}

int32_t WholeLeadingNumber(const QLineEdit* edit)
{
    return RoundToWhole(LeadingNumber(edit->text()));
}

} // namespace

void SetupWindow::ShowSettingsInEditor()
{
    const LoggerSettings& s = ctx_.Settings;
    const bool trapping = ctx_.Options.ErrorTrapping;
    // A list position a list cannot take leaves that list as it was.
    auto tolerant = [trapping](auto&& step) { RunTrapped(trapping, step, [] {}); };

    txtName->setText(s.LoggerName);
    tolerant([&] { Select(cmbWarmup, s.SensorWarmupTime); });
    for (int a = 0; a < 2; ++a) {
        Tick(chkAlarm[a], s.AlarmEnable[a]);
        const AlarmDisplay shown = ShowAlarmTime({s.AlarmHour[a], s.AlarmMin[a], s.AlarmSec[a]});
        cmbAlarm[a]->setCurrentIndex(shown.Half);
        txtAlarm[a]->setText(shown.Text);
    }
    chkException->setChecked(s.LoggingStyle > 127);
    switch (s.LoggingStyle & 3) {
    case 0:
        optPeriodic->setChecked(true);
        break;
    case 2:
        optFastMode->setChecked(true);
        break;
    default:
        optLogarithmic->setChecked(true);
        break;
    }
    txtSampleInterval->setText(IntervalCountText(s.SampleInterval));
    cmbSampleInterval->setCurrentIndex(IntervalUnitIndex(s.SampleInterval));
    txtException->setText(QString::number(s.Deadband));
    Tick(chkWrap, s.DataWrapAroundFlag);
    tolerant([&] { Select(cmbBaud, s.FixedBaudRate); });
    Tick(chkSOD, s.EnableSOD);

    for (int c = 0; c < std::min<int>(s.NumAnalogChannels, 8); ++c) {
        Tick(chkEnable[c], s.AnalogEnable[c]);
        ShowText(cmbEU[c], s.EngUnits[c]);
        txtHighEU[c]->setText(NumberText(s.UpperLimit[c]));
        txtLowEU[c]->setText(NumberText(s.LowerLimit[c]));
        txtTop[c]->setText(NumberText(s.DisplayTop[c]));
        txtBottom[c]->setText(NumberText(s.DisplayBottom[c]));
        txtHighRaw[c]->setText(QString::number(s.RawScaleUpper[c]));
        txtLowRaw[c]->setText(QString::number(s.RawScaleLower[c]));
        tolerant([&] { Select(cmbPrecision[c], std::min<int>(s.DecPlaces[c], 6)); });
    }
    for (int k = 0; k < std::min<int>(s.NumDigitalChannels, 2); ++k) {
        Tick(chkPulseEnable[k], s.DigitalEnable[k]);
        ShowText(cmbPulseEU[k], s.EngUnits[8 + k]);
        txtPulseUnit[k]->setText(NumberText(s.PulseUnit[k]));
        tolerant([&] { Select(cmbPulsePrecision[k], std::min<int>(s.DecPlaces[8 + k], 6)); });
    }
    CheckFirstChannelUnits();

    QRadioButton* modes[] = {optNoFlow, optMannings, optFlume, optWeir, optTable};
    modes[s.FlowMode <= 4 ? s.FlowMode : 0]->setChecked(true);
    cmbFlume->setCurrentIndex(SelectedCatalogueEntry(ctx_.Catalogues.FlumeCatalogue, s.FlumeTag));
    cmbWeir->setCurrentIndex(SelectedCatalogueEntry(ctx_.Catalogues.WeirCatalogue, s.WeirTag));
    txtTableFile->setText(s.TablePath);
    tolerant([&] { Select(cmbFlowUnits, s.FlowUnits); });
    txtFlowTop->setText(NumberText(s.FlowTop));
    txtOffset->setText(NumberText(s.LevelOffset));
    tolerant([&] { Select(cmbOffsetUnits, s.LevelOffsetType); });
    txtDiameter->setText(NumberText(s.ManningsD));
    tolerant([&] { Select(cmbDiameterUnits, s.ManningsDType); });
    txtSlope->setText(NumberText(s.ManningsS));
    tolerant([&] { Select(cmbSlopeUnits, s.ManningsSType); });
    ShowText(cmbRoughness, NumberText(s.ManningsN));
    tolerant([&] { Select(cmbVelUnits, s.VelUnits); });
    txtVelTop->setText(NumberText(s.VelTop));
    EnableFlowFields();
}

void SetupWindow::CheckFirstChannelUnits()
{
    const int unit = FirstChannelUnitIndex(cmbEU[0]->currentText());
    if (unit >= 0) {
        cmbEU[0]->setCurrentIndex(unit);
        cmbEU[0]->setEditText(cmbEU[0]->itemText(unit));
        return;
    }
    const QString lineBreak = QStringLiteral("\r\n");
    ctx_.Prompts.tell(
        QStringLiteral("Bad Units"),
        QStringLiteral("Warning: For the flow monitor calculations to be done correctly the channel 1") + lineBreak +
            QStringLiteral("unit's name must be one of Feet, Inches, Meters or cm (centimeters).") + lineBreak +
            lineBreak + QStringLiteral("The current unit's name (") + cmbEU[0]->currentText() +
            QStringLiteral(") is not supported.") + lineBreak + lineBreak +
            QStringLiteral("Use the Analog Channels Panel to set the units for channel 1 to one of the legal values."),
        PromptIcon::Information);
}

void SetupWindow::ReadSettingsFromEditor()
{
    LoggerSettings& s = ctx_.Settings;
    RunTrapped(
        ctx_.Options.ErrorTrapping,
        [&] {
            s.LoggerName = txtName->text();
            s.SensorWarmupTime = Position(cmbWarmup);
            for (int a = 0; a < 2; ++a) {
                s.AlarmEnable[a] = Ticked(chkAlarm[a]);
                const AlarmTime time = ReadAlarmTime(txtAlarm[a]->text(), cmbAlarm[a]->currentIndex());
                s.AlarmMin[a] = time.Min;
                s.AlarmSec[a] = time.Sec;
                s.AlarmHour[a] = time.Hour;
            }
            s.LoggingStyle = optFastMode->isChecked() ? 2 : optLogarithmic->isChecked() ? 1 : 0;
            if (chkException->isChecked()) {
                s.LoggingStyle += 128;
            }
            s.SampleInterval = ComposeInterval(txtSampleInterval->text(), cmbSampleInterval->currentText());
            s.Deadband = WholeLeadingNumber(txtException);
            s.DataWrapAroundFlag = Ticked(chkWrap);
            s.FixedBaudRate = Position(cmbBaud);
            s.EnableSOD = Ticked(chkSOD);

            for (int c = 0; c < std::min<int>(s.NumAnalogChannels, 8); ++c) {
                s.AnalogEnable[c] = Ticked(chkEnable[c]);
                s.EngUnits[c] = cmbEU[c]->currentText();
                s.UpperLimit[c] = LeadingNumber(txtHighEU[c]->text());
                s.LowerLimit[c] = LeadingNumber(txtLowEU[c]->text());
                s.DisplayTop[c] = LeadingNumber(txtTop[c]->text());
                s.DisplayBottom[c] = LeadingNumber(txtBottom[c]->text());
                s.RawScaleUpper[c] = WholeLeadingNumber(txtHighRaw[c]);
                s.RawScaleLower[c] = WholeLeadingNumber(txtLowRaw[c]);
                s.DecPlaces[c] = Position(cmbPrecision[c]);
            }
            for (int k = 0; k < std::min<int>(s.NumDigitalChannels, 2); ++k) {
                s.DigitalEnable[k] = Ticked(chkPulseEnable[k]);
                s.EngUnits[8 + k] = cmbPulseEU[k]->currentText();
                s.PulseUnit[k] = LeadingNumber(txtPulseUnit[k]->text());
                s.DecPlaces[8 + k] = Position(cmbPulsePrecision[k]);
            }

            s.FlowMode = optMannings->isChecked() ? 1
                         : optFlume->isChecked()  ? 2
                         : optWeir->isChecked()   ? 3
                         : optTable->isChecked()  ? 4
                                                  : 0;
            s.FlumeTag = CatalogueTag(ctx_.Catalogues.FlumeCatalogue, cmbFlume);
            s.WeirTag = CatalogueTag(ctx_.Catalogues.WeirCatalogue, cmbWeir);
            s.TablePath = txtTableFile->text();
            s.FlowUnits = Position(cmbFlowUnits);
            s.FlowTop = NumberValue(txtFlowTop->text());
            s.LevelOffset = NumberValue(txtOffset->text());
            s.LevelOffsetType = Position(cmbOffsetUnits);
            s.ManningsD = NumberValue(txtDiameter->text());
            s.ManningsDType = Position(cmbDiameterUnits);
            s.ManningsS = NumberValue(txtSlope->text());
            s.ManningsSType = Position(cmbSlopeUnits);
            s.ManningsN = NumberValue(cmbRoughness->currentText());
            s.VelUnits = Position(cmbVelUnits);
            s.VelTop = NumberValue(txtVelTop->text());
        },
        [] {});
}
