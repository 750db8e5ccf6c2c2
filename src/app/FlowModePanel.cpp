#include "app/FlowModePanel.h"

#include "app/MeterLayout.h"

#include <QLabel>

namespace {

constexpr int kCaptionWidth = 1380;

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& twips, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return label;
}

} // namespace

FlowModePanel::FlowModePanel(QWidget* parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("fraFlowMode"));
    mode_ = AddRow(QStringLiteral("lblFlowMode2"), QStringLiteral("Flow Mode:"), QStringLiteral("lblFlowMode"));
    rating_ = AddRow(QStringLiteral("lblFWT"), QString(), QStringLiteral("lblFWT2"));
    diameter_ = AddRow(QStringLiteral("lblPipeDiameter"), QStringLiteral("Pipe Diameter:"),
                       QStringLiteral("lblPipeDiameter2"));
    slope_ = AddRow(QStringLiteral("lblSlope"), QStringLiteral("Slope:"), QStringLiteral("lblSlope2"));
    roughness_ = AddRow(QStringLiteral("lblRoughness"), QStringLiteral("Roughness:"), QStringLiteral("lblRoughness2"));
    offset_ = AddRow(QStringLiteral("lblOffset"), QStringLiteral("Level Offset:"), QStringLiteral("lblOffset2"));
}

FlowModePanel::Row FlowModePanel::AddRow(const QString& captionName, const QString& captionText,
                                         const QString& valueName)
{
    Row row;
    row.Caption = MakeLabel(this, captionName, QRect(120, nextTop_, kCaptionWidth, 270), captionText);
    row.Value = MakeLabel(this, valueName, QRect(120 + kCaptionWidth, nextTop_, 2500, 270), QString());
    nextTop_ += 360;
    // Without a connected logger the panel shows only its frame.
    row.Show(false, QString());
    return row;
}

void FlowModePanel::Row::Show(bool visible, const QString& text) const
{
    Caption->setVisible(visible);
    Value->setVisible(visible);
    if (visible) {
        Value->setText(text);
    }
}

void FlowModePanel::Show(const FlowDisplay& display)
{
    mode_.Caption->setVisible(display.ModeLabelsVisible);
    mode_.Value->setVisible(display.ModeLabelsVisible);
    if (!display.FrameRows) {
        return;
    }
    const FlowDisplay::Rows& rows = *display.FrameRows;
    if (display.ModeLabelsVisible) {
        mode_.Value->setText(rows.ModeText);
    }
    rating_.Show(rows.RatingVisible, rows.RatingText);
    if (rows.RatingVisible) {
        rating_.Caption->setText(rows.RatingCaption);
    }
    offset_.Show(rows.OffsetVisible, rows.OffsetText);
    diameter_.Show(rows.PipeVisible, rows.DiameterText);
    slope_.Show(rows.PipeVisible, rows.SlopeText);
    roughness_.Show(rows.PipeVisible, rows.RoughnessText);
}

QString FlowModePanel::OffsetText() const
{
    return offset_.Value->text();
}

QString FlowModePanel::RoughnessText() const
{
    return roughness_.Value->text();
}

QString FlowModePanel::SlopeText() const
{
    return slope_.Value->text();
}

QString FlowModePanel::DiameterText() const
{
    return diameter_.Value->text();
}
