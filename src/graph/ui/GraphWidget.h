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
// - Home, a double click or showAll() for the whole record again;
// - keys: Left and Right pan, + and - zoom, Shift+Left and Shift+Right step
//   the crosshair from sample to sample.
// The crosshair follows the mouse and reads every shown strip.
class GraphWidget : public QWidget {
    Q_OBJECT
public:
    explicit GraphWidget(const GraphSeries& series, QWidget* parent = nullptr);

    GraphView& view() { return view_; }
    const GraphView& view() const { return view_; }
    // Takes the series' first and last time as the whole record.
    void resetRecord();
    void showAll();

    void setStripShown(int strip, bool shown);
    std::vector<int> shownStrips() const;

    // The crosshair's sample (-1 when it is off the plot) and what it reads.
    int crosshairSample() const;
    GraphReadout readout() const;
    // Puts the crosshair at a time, as a mouse over that time would.
    void setCrosshairTime(double t);

    // After a change of the series or of the view made through view():
    // repaints and tells the readout.
    void refresh();

    // Draws the graph as it shows now into any area of any device.
    void render(QPainter& painter, const QRectF& area, double devicePixels) const;
    // The plot as it shows now (for finding strips and times under a point).
    GraphPlot currentPlot() const { return plot(); }

signals:
    void viewChanged();
    void crosshairMoved();

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
    GraphPlot plotIn(const QRectF& area, const QFontMetricsF& metrics, double devicePixels) const;
    // Made when first needed after a change: a crosshair moving over an
    // unchanged view finds its way without summing the strips again.
    const GraphPlot& plot() const;
    void changed();
    void moveCrosshair(const QPointF& point);

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
