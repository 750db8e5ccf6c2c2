#pragma once

#include "app/LiveSampler.h"
#include "app/MeterLayout.h"

#include <QObject>

class MainFlowDisplay;
class MainWindow;
struct SettingsSummary;
struct Session;

// The main window's live readings: the meter columns (values, histories,
// scales, bars), the pulse labels and the sampler that fetches the samples.
class LiveReadingsView : public QObject {
    Q_OBJECT
public:
    LiveReadingsView(Session& session, MainWindow& window, MainFlowDisplay& flow, QObject* parent = nullptr);

    // The columns as at start-up: every record cleared, columns 1 to 3 and
    // Flow and Velocity in place, the rest hidden.
    void ResetColumns();
    // The sample tick: the one sample Get Sample waits for, or continuous sampling.
    void SampleTick() { sampler_.Tick(); }
    // Fills the meter columns, pulse labels and logger time from the sample history.
    void ShowLiveSamples();
    // The analog channels' scales and the pulse channels of a settings summary.
    void ShowChannels(const SettingsSummary& summary);
    // Continuous sampling follows its check box while a logger is connected
    // and the line is free.
    void FollowSamplingSwitch();
    // The bars and the column labels of the columns in use.
    void DrawColumns();

signals:
    // A live sample was shown: the meter columns hold its values.
    void LiveSamplesShown();

private:
    size_t ColumnsInUse() const;

    Session& session_;
    MainWindow& window_;
    MainFlowDisplay& flow_;
    MeterLayout layout_;
    LiveSampler sampler_;
};
