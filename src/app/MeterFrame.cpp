#include "app/MeterFrame.h"

#include "app/MeterBar.h"
#include "app/MeterLayout.h"

#include <QLabel>

namespace {

// The column's fixed layout, in twips.
constexpr int kMeterWidth = 1100;

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& twips)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return label;
}

void SetText(QLabel* label, const QString& text)
{
    if (label->text() != text) {
        label->setText(text);
    }
}

} // namespace

MeterFrame::MeterFrame(int column, QWidget* parent) : QGroupBox(QString::number(column + 1), parent), column_(column)
{
    const QString n = QString::number(column);
    setObjectName(QStringLiteral("fraMeter") + n);
    const QRect bar = ColumnFrameTwips();
    const int scaleLeft = bar.right() + 1 + 30;
    const int scaleWidth = kMeterWidth - scaleLeft - 30;
    bar_ = new MeterBar(this);
    bar_->setObjectName(QStringLiteral("fraColumn") + n);
    bar_->setGeometry(TwipsRect(bar.x(), bar.y(), bar.width(), bar.height()));
    max_ = MakeLabel(this, QStringLiteral("lblMax") + n, QRect(scaleLeft, bar.y(), scaleWidth, 240));
    units_ = MakeLabel(this, QStringLiteral("lblUnits") + n,
                       QRect(scaleLeft, bar.y() + bar.height() / 2 - 240, scaleWidth, 480));
    units_->setWordWrap(true);
    min_ = MakeLabel(this, QStringLiteral("lblMin") + n, QRect(scaleLeft, bar.y() + bar.height() - 240, scaleWidth, 240));
    value_ = MakeLabel(this, QStringLiteral("lblValue") + n,
                       QRect(60, bar.y() + bar.height() + 60, kMeterWidth - 120, 270));
    value_->setAlignment(Qt::AlignCenter);
    QFont bold = value_->font();
    bold.setBold(true);
    value_->setFont(bold);
    history_ = MakeLabel(this, QStringLiteral("lblHistory") + n,
                         QRect(60, bar.y() + bar.height() + 360, kMeterWidth - 120, 1140));
    history_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

QRect MeterFrame::ColumnFrameTwips()
{
    return QRect(120, 300, 360, 2640);
}

void MeterFrame::Reset()
{
    setTitle(QString::number(column_ + 1));
    show();
    bar_->show();
    ShowScale(QStringLiteral("0.000"), QStringLiteral("0.000"), QString());
    ClearReadings();
    ShowLabels(column_ == 0);
}

void MeterFrame::ShowScale(const QString& maxText, const QString& minText, const QString& unitsText)
{
    SetText(max_, maxText);
    SetText(min_, minText);
    SetText(units_, unitsText);
}

void MeterFrame::ShowScaleLabels(bool shown)
{
    for (QLabel* label : {max_, min_, units_}) {
        label->setVisible(shown);
    }
}

void MeterFrame::ShowLabels(bool shown)
{
    ShowScaleLabels(shown);
    value_->setVisible(shown);
    history_->setVisible(shown);
}

void MeterFrame::ShowReadings(const QString& valueText, const QString& historyText)
{
    SetText(value_, valueText);
    SetText(history_, historyText);
}

void MeterFrame::ClearReadings()
{
    ShowReadings(QString(), QString());
}

void MeterFrame::SetUnitsToolTip(const QString& text)
{
    units_->setToolTip(text);
}

void MeterFrame::MarkUnitsInvalid(bool invalid)
{
    const QColor colour = invalid ? QColor(255, 0, 0) : min_->palette().color(QPalette::WindowText);
    if (units_->palette().color(QPalette::WindowText) != colour) {
        QPalette palette = units_->palette();
        palette.setColor(QPalette::WindowText, colour);
        units_->setPalette(palette);
    }
}
