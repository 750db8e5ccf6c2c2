#include "app/LiveReadingsView.h"

#include "app/LiveReadings.h"
#include "app/MainFlowDisplay.h"
#include "app/MainWindow.h"
#include "app/MeterBar.h"
#include "app/MeterFrame.h"
#include "app/Session.h"
#include "config/SettingsSummary.h"

namespace {

const QColor kAnalogBar(128, 128, 255);
const QColor kDerivedBar(0, 150, 110);

} // namespace

LiveReadingsView::LiveReadingsView(Session& session, MainWindow& window, MainFlowDisplay& flow, QObject* parent)
    : QObject(parent), session_(session), window_(window), flow_(flow),
      layout_(MeterLayout::FromColumnFrame(MainWindow::MeterFrameTwips(0).left(), MeterFrame::ColumnFrameTwips())),
      sampler_(session, [this] { ShowLiveSamples(); })
{
}

void LiveReadingsView::ResetColumns()
{
    for (size_t i = 0; i < MainWindow::MeterCount; ++i) {
        session_.Meters[i] = MeterColumn{};
        window_.Meter(i).Reset();
    }
    window_.Meter(MainFlowDisplay::FlowColumn).setTitle(QStringLiteral("Flow"));
    window_.Meter(MainFlowDisplay::VelocityColumn).setTitle(QStringLiteral("Velocity"));
    window_.Meter(MainFlowDisplay::FlowColumn).setEnabled(false);
    window_.Meter(MainFlowDisplay::VelocityColumn).setEnabled(false);
    for (size_t i = MainFlowDisplay::VelocityColumn + 1; i < MainWindow::MeterCount; ++i) {
        window_.Meter(i).hide();
    }
}

void LiveReadingsView::ShowLiveSamples()
{
    const LiveReadingTexts texts = BuildLiveReadings(session_);
    for (size_t c = 0; c < texts.Columns.size(); ++c) {
        if (texts.Columns[c].Filled) {
            window_.Meter(c).ShowReadings(texts.Columns[c].ValueText, texts.Columns[c].HistoryText);
        }
    }
    flow_.ShowReadings(texts.Levels);
    window_.ShowStatus(StatusLabel::Pulse1, texts.Pulse1Text);
    window_.ShowStatus(StatusLabel::Pulse2, texts.Pulse2Text);
    emit LiveSamplesShown();
}

void LiveReadingsView::ShowChannels(const SettingsSummary& summary)
{
    for (size_t c = 0; c < summary.Channels.size() && c < MainWindow::MeterCount; ++c) {
        const SettingsSummary::Channel& channel = summary.Channels[c];
        MeterFrame& meter = window_.Meter(c);
        meter.ShowScale(channel.MaxText, channel.MinText, channel.UnitsText);
        if (!channel.Shown) {
            meter.ClearReadings();
        }
    }
    ApplySummaryToColumns(summary, session_.Meters);
    window_.EnableStatus(StatusLabel::Pulse1, summary.Pulse1Enabled);
    if (summary.Pulse2Enabled) {
        window_.EnableStatus(StatusLabel::Pulse2, *summary.Pulse2Enabled);
    }
}

void LiveReadingsView::FollowSamplingSwitch()
{
    MainWindowState& state = session_.Window;
    const LinkState& line = session_.Connection;
    if (!window_.SampleContinuouslyTicked()) {
        state.SamplingContinuously = false;
    } else if (!line.Connected) {
        window_.TickSampleContinuously(false);
    } else if (!line.Busy) {
        if (!state.SamplingContinuously) {
            state.SamplingContinuously = true;
            state.SamplePhase = SamplePhases::StartSample;
            session_.Status.LoggerTimeText.clear();
            window_.ShowStatus(StatusLabel::LoggerTime, QString());
        }
        state.ShownConnected = false;
    }
}

size_t LiveReadingsView::ColumnsInUse() const
{
    return std::min<size_t>(MainWindow::MeterCount, static_cast<size_t>(session_.Logger.NumAnalogChannels
                                                                        + session_.Window.DerivedColumnCount));
}

void LiveReadingsView::DrawColumns()
{
    const int meterTop = MainWindow::MeterFrameTwips(0).top();
    for (size_t i = 0; i < ColumnsInUse(); ++i) {
        MeterColumn& record = session_.Meters[i];
        MeterFrame& meter = window_.Meter(i);
        const BarDrawing bar = PlaceBar(layout_, meterTop, static_cast<int>(i), record);
        if (bar.Changed) {
            QRect fill;
            if (record.Shown) {
                // Window twips to pixels, then into the bar frame's own coordinates.
                const QPoint origin = meter.Bar().mapTo(window_.centralWidget(), QPoint(0, 0));
                fill = TwipsRect(bar.Left, bar.FillTop, layout_.BarWidth, bar.Top + layout_.BarHeight - bar.FillTop)
                           .translated(-origin);
            }
            const bool derived = i >= session_.Logger.NumAnalogChannels;
            meter.Bar().SetFill(fill, derived ? kDerivedBar : kAnalogBar);
        }
    }
    // The labels follow in a pass of their own, as the bars above compare
    // the shown state with the one last applied.
    for (size_t i = 0; i < ColumnsInUse(); ++i) {
        MeterColumn& record = session_.Meters[i];
        if (record.Shown != record.LastShown) {
            record.LastShown = record.Shown;
            window_.Meter(i).ShowLabels(record.Shown);
        }
    }
}
