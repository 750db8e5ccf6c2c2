#pragma once

#include "graph/LiveGraphSeries.h"

#include <QWidget>

class GraphWidget;
class QCheckBox;
class QComboBox;
class QLabel;

// The live readings plotted as they arrive, over the last minutes (10 by
// default, 1 minute to 24 hours), scrolling with the newest reading unless
// paused. Pausing holds the picture still (zoom and pan then work as on the
// history graph); readings keep arriving meanwhile and show on resuming.
class LiveGraphWindow : public QWidget {
    Q_OBJECT
public:
    explicit LiveGraphWindow(QWidget* parent = nullptr);
    ~LiveGraphWindow() override;

    // The meter columns being read; other columns than before start anew.
    void SetStrips(const std::vector<LiveStrip>& strips);
    // One reading at time t (seconds, see GraphTime.h), NaN where missing.
    void AddReading(double t, const std::vector<double>& values);

    const GraphSeries& Series() const { return live_.Series(); }
    GraphWidget* Graph() const { return graph_; }
    double SpanSeconds() const;
    bool Paused() const;

private:
    void Follow();
    void ShowReadout();
    void StripsChanged();

    LiveGraphSeries live_;
    GraphWidget* graph_;
    QComboBox* span_;
    QCheckBox* pause_;
    QLabel* readout_;
    QWidget* stripBoxes_;
};
