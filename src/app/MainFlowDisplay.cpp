// The main window's flow display: the flow-mode frame, the Flow and Velocity
// columns and the programmed flow source.
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowSource.h"

#include <QGroupBox>
#include <QLabel>

namespace {

constexpr size_t FlowColumn = 3;
constexpr size_t VelocityColumn = 4;

// A caption label and its value label, shown or hidden together; the value
// text is written only while the row shows.
void ShowRow(QLabel* caption, QLabel* value, bool visible, const QString& text)
{
    caption->setVisible(visible);
    value->setVisible(visible);
    if (visible) {
        value->setText(text);
    }
}

void ShowColumn(const MeterWidgets& meter, const FlowDisplay::Column& column)
{
    meter.fraMeter->setEnabled(column.Active);
    for (QLabel* label : {meter.lblMax, meter.lblMin, meter.lblUnits}) {
        label->setVisible(column.Active);
    }
    if (column.Active) {
        meter.lblMax->setText(column.MaxText);
        meter.lblMin->setText(column.MinText);
        meter.lblUnits->setText(column.UnitsText);
    }
}

void ShowReadings(const MeterWidgets& meter, const std::array<QString, 5>& texts)
{
    meter.lblValue->setText(texts[0]);
    meter.lblHistory->setText(QStringList{texts[1], texts[2], texts[3], texts[4]}.join(QStringLiteral("\r\n")));
}

} // namespace

void MainController::RefreshFlowDisplay()
{
    const FlowDisplay display =
        UpdateFlowDisplay(session_.Logger, session_.Rating, session_.Connection.Connected, session_.FlowDisplay);
    const MainWidgets& ui = window_.ui();
    ui.meters[0].lblUnits->setToolTip(display.UnitsToolTip);
    ui.lblFlowMode2->setVisible(display.ModeLabelsVisible);
    ui.lblFlowMode->setVisible(display.ModeLabelsVisible);
    if (display.FrameRows) {
        const FlowDisplay::Rows& rows = *display.FrameRows;
        if (display.ModeLabelsVisible) {
            ui.lblFlowMode->setText(rows.ModeText);
        }
        ShowRow(ui.lblFWT, ui.lblFWT2, rows.RatingVisible, rows.RatingText);
        if (rows.RatingVisible) {
            ui.lblFWT->setText(rows.RatingCaption);
        }
        ShowRow(ui.lblOffset, ui.lblOffset2, rows.OffsetVisible, rows.OffsetText);
        ShowRow(ui.lblPipeDiameter, ui.lblPipeDiameter2, rows.PipeVisible, rows.DiameterText);
        ShowRow(ui.lblSlope, ui.lblSlope2, rows.PipeVisible, rows.SlopeText);
        ShowRow(ui.lblRoughness, ui.lblRoughness2, rows.PipeVisible, rows.RoughnessText);
    }
    ShowColumn(ui.meters[VelocityColumn], display.Velocity);
    ShowColumn(ui.meters[FlowColumn], display.Flow);
    ApplyFlowDisplayToColumns(display, session_.Meters[FlowColumn], session_.Meters[VelocityColumn]);
}

void MainController::SelectProgrammedFlowSource()
{
    const std::optional<FlowMessage> message = CheckProgrammedFlowSource(
        session_.Logger, session_.Rating, session_.Catalogues, session_.AppFolder, session_.Options.ErrorTrapping);
    if (message) {
        ShowFlowMessage(session_.platform.prompter, *message);
    }
}

void MainController::ShowFlowReadings(const std::array<double, 5>& levels)
{
    MeterColumn& flowColumn = session_.Meters[FlowColumn];
    MeterColumn& velocityColumn = session_.Meters[VelocityColumn];
    if (!flowColumn.Shown) {
        return; // velocity is computed with the flow only
    }
    const DerivedReadings readings =
        ComputeDerivedReadings(session_.Logger, session_.Rating, session_.FlowDisplay, levels);
    const MainWidgets& ui = window_.ui();
    ShowReadings(ui.meters[FlowColumn], readings.FlowTexts);
    flowColumn.Value = readings.FlowValue;
    if (velocityColumn.Shown) {
        ShowReadings(ui.meters[VelocityColumn], readings.VelocityTexts);
        velocityColumn.Value = readings.VelocityValue;
    }
}

void MainController::ShowUnitsWarning()
{
    const MainWidgets& ui = window_.ui();
    const QColor colour = session_.FlowDisplay.FlowUnitsInvalid
                              ? QColor(255, 0, 0)
                              : ui.meters[0].lblMin->palette().color(QPalette::WindowText);
    if (ui.meters[0].lblUnits->palette().color(QPalette::WindowText) != colour) {
        QPalette palette = ui.meters[0].lblUnits->palette();
        palette.setColor(QPalette::WindowText, colour);
        ui.meters[0].lblUnits->setPalette(palette);
    }
}
