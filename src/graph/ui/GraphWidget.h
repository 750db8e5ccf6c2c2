#pragma once

#include "core/DateText.h"
#include "graph/GraphReadout.h"
#include "graph/GraphView.h"
#include "graph/ui/GraphPlot.h"

#include <QWidget>
#include <optional>

class QPainter;
struct GraphSeries;

// A graph on screen, zoomed and panned by the user:
// - drag a box with the left button to zoom into it (its height zooms the
//   values of the strip it was drawn in), the wheel to zoom the time axis,
//   Shift and the wheel to zoom the values of the strip under the mouse;
// - drag with the right or middle button, or Ctrl and the left, to pan;
// - Home, a double click or ShowAll() for the whole record again;
// - keys: Left and Right pan, + and - zoom, Shift+Left and Shift+Right step
//   the crosshair from sample to sample.
// The crosshair follows the mouse and reads every shown strip.
class GraphWidget : public QWidget {
    Q_OBJECT
public:
    explicit GraphWidget(const GraphSeries& series, QWidget* parent = nullptr);

    GraphView& View() { return view_; }
    const GraphView& View() const { return view_; }
    // Takes the series' first and last time as the whole record.
    void ResetRecord();
    void ShowAll();

    void SetStripShown(int strip, bool shown);
    std::vector<int> ShownStrips() const;

    // The crosshair's sample (-1 when it is off the plot) and what it reads.
    int CrosshairSample() const;
    GraphReadout Readout() const;
    // Puts the crosshair at a time, as a mouse over that time would.
    void SetCrosshairTime(double t);

    // After a change of the series or of the view made through View():
    // repaints and tells the readout.
    void Refresh();

    // Draws the graph as it shows now into any area of any device.
    void render(QPainter& painter, const QRectF& area, double devicePixels) const;
    // The plot as it shows now (for finding strips and times under a point).
    GraphPlot CurrentPlot() const { return Plot(); }

signals:
    void ViewChanged();
    void CrosshairMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    GraphPlot PlotIn(const QRectF& area, const QFontMetricsF& metrics, double devicePixels) const;
    // Made when first needed after a change: a crosshair moving over an
    // unchanged view finds its way without summing the strips again.
    const GraphPlot& Plot() const;
    void Changed();
    void MoveCrosshair(const QPointF& point);

    const GraphSeries& series_;
    GraphView view_;
    std::vector<bool> shown_;
    ShortDateFormat dateFormat_;
    mutable std::optional<GraphPlot> plot_;
    double crosshairTime_;
    enum class Drag { None, Box, Pan } drag_ = Drag::None;
    QPointF dragStart_;
    QPointF dragNow_;
};
