#include "app/MainFlowDisplay.h"

#include "app/FlowModePanel.h"
#include "app/MainWindow.h"
#include "app/MeterFrame.h"
#include "app/Session.h"
#include "flow/FlowDisplay.h"
#include "flow/FlowSource.h"

#include <QStringList>

namespace {

void ShowColumnScale(MeterFrame& meter, const FlowDisplay::Column& column)
{
    meter.setEnabled(column.Active);
    meter.ShowScaleLabels(column.Active);
    if (column.Active) {
        meter.ShowScale(column.MaxText, column.MinText, column.UnitsText);
    }
}

void ShowColumnReadings(MeterFrame& meter, const std::array<QString, 5>& texts)
{
    meter.ShowReadings(texts[0], QStringList{texts[1], texts[2], texts[3], texts[4]}.join(QStringLiteral("\r\n")));
}

} // namespace

MainFlowDisplay::MainFlowDisplay(Session& session, MainWindow& window) : session_(session), window_(window) {}

void MainFlowDisplay::Refresh()
{
    const FlowDisplay display =
        UpdateFlowDisplay(session_.Logger, session_.Rating, session_.Connection.Connected, session_.FlowDisplay);
    window_.Meter(0).SetUnitsToolTip(display.UnitsToolTip);
    window_.FlowPanel().Show(display);
    ShowColumnScale(window_.Meter(VelocityColumn), display.Velocity);
    ShowColumnScale(window_.Meter(FlowColumn), display.Flow);
    ApplyFlowDisplayToColumns(display, session_.Meters[FlowColumn], session_.Meters[VelocityColumn]);
}

void MainFlowDisplay::SelectProgrammedFlowSource()
{
    const std::optional<FlowMessage> message = CheckProgrammedFlowSource(
        session_.Logger, session_.Rating, session_.Catalogues, session_.AppFolder, session_.Options.ErrorTrapping);
    if (message) {
        ShowFlowMessage(session_.Services.Messages, *message);
    }
}

void MainFlowDisplay::ShowReadings(const std::array<double, 5>& levels)
{
    MeterColumn& flowColumn = session_.Meters[FlowColumn];
    MeterColumn& velocityColumn = session_.Meters[VelocityColumn];
    if (!flowColumn.Shown) {
        return; // velocity is computed with the flow only
    }
    const DerivedReadings readings =
        ComputeDerivedReadings(session_.Logger, session_.Rating, session_.FlowDisplay, levels);
    ShowColumnReadings(window_.Meter(FlowColumn), readings.FlowTexts);
    flowColumn.Value = readings.FlowValue;
    if (velocityColumn.Shown) {
        ShowColumnReadings(window_.Meter(VelocityColumn), readings.VelocityTexts);
        velocityColumn.Value = readings.VelocityValue;
    }
}

void MainFlowDisplay::ShowUnitsWarning()
{
    window_.Meter(0).MarkUnitsInvalid(session_.FlowDisplay.FlowUnitsInvalid);
}

HistoryFlowDescription MainFlowDisplay::Description() const
{
    const FlowModePanel& panel = window_.FlowPanel();
    return {panel.OffsetText(), panel.RoughnessText(), panel.SlopeText(), panel.DiameterText(),
            session_.Rating.RatingName};
}
