#include "setup/ui/AnalogPage.h"

#include "config/LoggerSettings.h"
#include "core/NumberText.h"
#include "platform/Prompter.h"
#include "setup/ChoiceLists.h"
#include "setup/FieldChecks.h"
#include "setup/ui/CalibrationWizard.h"
#include "setup/ui/FieldGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int RowHeight = 24;
// Channel frames stand 1040 twips apart, or wider when the system font
// needs it for "Enable", "Calibrate" and the unit names.
constexpr int ChannelWidth = std::max(Px(1040), 90);

// A column of fixed-height rows, so the captions beside the first channel
// line up with every channel's controls.
QVBoxLayout* RowColumn(QWidget* parent)
{
    auto* column = new QVBoxLayout(parent);
    column->setSpacing(4);
    column->setContentsMargins(4, 4, 4, 4);
    return column;
}

void AddRow(QVBoxLayout* column, QWidget* widget)
{
    widget->setFixedHeight(RowHeight);
    column->addWidget(widget);
}

} // namespace

AnalogPage::AnalogPage(int channelCount, Prompter& prompter, FieldGuard& guard, bool errorTrapping)
    : SettingsPage(guard, errorTrapping), channelCount_(std::min(channelCount, 8)), prompter_(prompter)
{
    auto* row = new QHBoxLayout(this);
    row->setSpacing(0);

    auto* captions = new QGroupBox(QStringLiteral("Channel"));
    auto* captionColumn = RowColumn(captions);
    AddRow(captionColumn, new QLabel);
    for (const char* caption :
         {"Units", "High EU", "Low EU", "High Raw", "Low Raw", "Disp High", "Disp Low", "Decimal Places"}) {
        AddRow(captionColumn, new QLabel(QLatin1String(caption)));
    }
    AddRow(captionColumn, new QLabel);
    captionColumn->addStretch();
    row->addWidget(captions);

    for (int c = 0; c < 8; ++c) {
        channels_[c] = BuildChannel(c);
        row->addWidget(channels_[c].Frame);
    }
    row->addStretch();
    FillLists();
    InstallFieldChecks();
}

AnalogPage::Channel AnalogPage::BuildChannel(int c)
{
    Channel ch;
    ch.Frame = Named(new QGroupBox(QString::number(c + 1)), Indexed("fraSetup", c));
    ch.Frame->setFixedWidth(ChannelWidth);
    auto* column = RowColumn(ch.Frame);
    ch.Enable = Named(new QCheckBox(QStringLiteral("Enable")), Indexed("chkEnable", c),
                      QStringLiteral("Selects if channel is included in display and history "));
    ch.Units = EditableList(Indexed("cmbEU", c));
    ch.Units->setToolTip(QStringLiteral("Name of measurement engineering units (9 characters max)"));
    auto edit = [c](const char* name, const char* tip) {
        return Named(new QLineEdit, Indexed(name, c), QLatin1String(tip));
    };
    ch.HighEu = edit("txtHighEU", "Floating point value of upper calibration point expressed in engineering units");
    ch.LowEu = edit("txtLowEU", "Floating point value of lower calibration point expressed in engineering units");
    ch.HighRaw = edit("txtHighRaw", "Integer value of upper calibration point ( 0-65535)");
    ch.LowRaw = edit("txtLowRaw", "Integer value of lower calibration point (0-65535)");
    ch.DisplayTop = edit("txtTop", "Floating point value of top of display meter");
    ch.DisplayBottom = edit("txtBottom", "Floating point value of bottom of display meter");
    ch.Precision = EditableList(Indexed("cmbPrecision", c), ChoiceLists::Numbers(0, 6));
    ch.Precision->setToolTip(QStringLiteral("Number of digits to display after decimal point "));
    ch.Calibrate = Named(new QPushButton(QStringLiteral("Calibrate")), Indexed("cmdCalibrate", c),
                         QStringLiteral("Run dialog that assists setting calibration points"));
    ch.Calibrate->setAutoDefault(false);
    ch.Calibrate->setFocusPolicy(Qt::TabFocus);
    for (QWidget* control : std::initializer_list<QWidget*>{ch.Enable, ch.Units, ch.HighEu, ch.LowEu, ch.HighRaw,
                                                            ch.LowRaw, ch.DisplayTop, ch.DisplayBottom,
                                                            ch.Precision, ch.Calibrate}) {
        AddRow(column, control);
    }
    column->addStretch();
    connect(ch.Calibrate, &QPushButton::clicked, this, [this, c] { emit CalibrateRequested(c); });
    return ch;
}

void AnalogPage::FillLists()
{
    channels_[0].Units->addItems(ChoiceLists::FirstChannelUnits());
    for (int c = 0; c < 8; ++c) {
        const bool present = c < channelCount_;
        channels_[c].Frame->setEnabled(present);
        for (QObject* child : channels_[c].Frame->children()) {
            if (auto* control = qobject_cast<QWidget*>(child)) {
                control->setVisible(present);
            }
        }
        if (c > 0 && present) {
            // The logger's last channel measures its battery.
            channels_[c].Units->addItems(c == channelCount_ - 1 ? QStringList{QStringLiteral("Volts")}
                                                                : ChoiceLists::AnalogUnits());
        }
    }
}

void AnalogPage::InstallFieldChecks()
{
    guard_.Guard(channels_[0].Units, QStringLiteral("Units of channel 1"), [](const QString& text) {
        FieldCheck check = CheckFirstChannelUnit(text);
        if (check.Accepted) {
            check.NewText = CheckUnitName(*check.NewText).NewText;
        }
        return check;
    });
    for (int c = 0; c < 8; ++c) {
        const Channel& ch = channels_[c];
        const QString channel = QStringLiteral(" of channel %1").arg(c + 1);
        if (c > 0) {
            guard_.Guard(ch.Units, QStringLiteral("Units") + channel, CheckUnitName);
        }
        guard_.Guard(ch.HighEu, QStringLiteral("High EU") + channel, CheckStoredNumber);
        guard_.Guard(ch.LowEu, QStringLiteral("Low EU") + channel, CheckStoredNumber);
        guard_.Guard(ch.DisplayTop, QStringLiteral("Disp High") + channel, CheckStoredNumber);
        guard_.Guard(ch.DisplayBottom, QStringLiteral("Disp Low") + channel, CheckStoredNumber);
        guard_.Guard(ch.HighRaw, QStringLiteral("High Raw") + channel, CheckRawCount);
        guard_.Guard(ch.LowRaw, QStringLiteral("Low Raw") + channel, CheckRawCount);
        guard_.Guard(ch.Precision, QStringLiteral("Decimal Places") + channel, CheckPrecision);
    }
}

void AnalogPage::Load(const LoggerSettings& s)
{
    for (int c = 0; c < std::min<int>(s.NumAnalogChannels, 8); ++c) {
        const Channel& ch = channels_[c];
        SetTicked(ch.Enable, s.AnalogEnable[c]);
        ch.Units->setEditText(s.EngUnits[c]);
        ch.HighEu->setText(NumberText(s.UpperLimit[c]));
        ch.LowEu->setText(NumberText(s.LowerLimit[c]));
        ch.DisplayTop->setText(NumberText(s.DisplayTop[c]));
        ch.DisplayBottom->setText(NumberText(s.DisplayBottom[c]));
        ch.HighRaw->setText(QString::number(s.RawScaleUpper[c]));
        ch.LowRaw->setText(QString::number(s.RawScaleLower[c]));
        Select(ch.Precision, std::min<int>(s.DecPlaces[c], 6));
    }
    CheckFirstChannelUnits();
}

void AnalogPage::CheckFirstChannelUnits()
{
    QComboBox* units = channels_[0].Units;
    const int unit = FirstChannelUnitIndex(units->currentText());
    if (unit >= 0) {
        units->setCurrentIndex(unit);
        units->setEditText(units->itemText(unit));
        return;
    }
    const QString lineBreak = QStringLiteral("\r\n");
    prompter_.Tell(
        QStringLiteral("Bad Units"),
        QStringLiteral("Warning: For the flow monitor calculations to be done correctly the channel 1") + lineBreak +
            QStringLiteral("unit's name must be one of Feet, Inches, Meters or cm (centimeters).") + lineBreak +
            lineBreak + QStringLiteral("The current unit's name (") + units->currentText() +
            QStringLiteral(") is not supported.") + lineBreak + lineBreak +
            QStringLiteral("Use the Analog Channels Panel to set the units for channel 1 to one of the legal values."),
        PromptIcon::Information);
}

void AnalogPage::Store(LoggerSettings& s) const
{
    for (int c = 0; c < std::min<int>(s.NumAnalogChannels, 8); ++c) {
        const Channel& ch = channels_[c];
        s.AnalogEnable[c] = Ticked(ch.Enable);
        s.EngUnits[c] = ch.Units->currentText();
        s.UpperLimit[c] = LeadingNumber(ch.HighEu->text());
        s.LowerLimit[c] = LeadingNumber(ch.LowEu->text());
        s.DisplayTop[c] = LeadingNumber(ch.DisplayTop->text());
        s.DisplayBottom[c] = LeadingNumber(ch.DisplayBottom->text());
        s.RawScaleUpper[c] = WholeLeadingNumber(ch.HighRaw);
        s.RawScaleLower[c] = WholeLeadingNumber(ch.LowRaw);
        s.DecPlaces[c] = Position(ch.Precision);
    }
}

CalibrationPoints AnalogPage::StartingPoints(int channel) const
{
    return {channels_[channel].HighEu->text(), QStringLiteral("65535"), channels_[channel].LowEu->text(),
            QStringLiteral("0")};
}

QString AnalogPage::UnitName(int channel) const
{
    return channels_[channel].Units->currentText().trimmed();
}

void AnalogPage::TakePoints(int channel, const CalibrationPoints& points)
{
    const Channel& ch = channels_[channel];
    ch.HighEu->setText(points.UpperValue);
    ch.LowEu->setText(points.LowerValue);
    ch.HighRaw->setText(points.UpperRaw);
    ch.LowRaw->setText(points.LowerRaw);
}

std::optional<AnalogPage::Unscaled> AnalogPage::ChannelWithoutScale() const
{
    for (int c = 0; c < channelCount_; ++c) {
        const Channel& ch = channels_[c];
        const QString raw = ch.HighRaw->text().trimmed();
        if (ch.Enable->isChecked() && LeadingNumber(raw) == LeadingNumber(ch.LowRaw->text())) {
            return Unscaled{c, raw};
        }
    }
    return std::nullopt;
}

void AnalogPage::ShowLowRaw(int channel)
{
    ShowFieldToUser(channels_[channel].LowRaw);
}
