#pragma once

#include "graph/StripSummary.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <utility>
#include <vector>

class GraphView;
class QPainter;
class ShortDateFormat;
struct GraphSeries;

// One picture of a graph: the shown strips stacked over one time axis, in an
// area of a widget, an image, an SVG file or a printed page. Works out the
// layout, each strip's summary over the visible span and its value range
// when made; Paint() draws it. Made anew for each picture.
class GraphPlot {
public:
    // devicePixels: device pixels per unit of the area (the screen's ratio,
    // 1 for an image), so that lines are thinned to real pixel columns.
    GraphPlot(const GraphSeries& series, const GraphView& view, std::vector<int> shownStrips, const QRectF& area,
              const QFont& font, const QFontMetricsF& metrics, double devicePixels);

    void Paint(QPainter& painter, const ShortDateFormat& dateFormat) const;
    // The crosshair at a sample: a line across the strips and a mark on each.
    void PaintCrosshair(QPainter& painter, int sample) const;

    const std::vector<int>& ShownStrips() const { return shown_; }
    // The shown strip whose plot holds the point; -1 for none.
    int StripAt(const QPointF& point) const;
    QRectF PlotRect(int strip) const;
    // The rectangle of all plots (left, top of the first, right, bottom of the last).
    QRectF PlotsRect() const;
    double TimeAt(double x) const;
    double XAt(double t) const;
    double ValueAt(int strip, double y) const;
    double YAt(int strip, double value) const;
    std::pair<double, double> ValueRange(int strip) const;
    const StripSummary& Summary(int strip) const;
    // "min 1.20 ft  max 4.75 ft  mean 2.31 ft  volume 1234 ft³"
    QString SummaryText(int strip) const;

private:
    struct Lane {
        int Strip = 0;
        QRectF Header;
        QRectF Plot;
        StripSummary Summary;
        std::pair<double, double> Range;
    };
    const Lane* LaneOf(int strip) const;
    void PaintLane(QPainter& painter, const Lane& lane, int colourIndex) const;
    void PaintTimeAxis(QPainter& painter, const ShortDateFormat& dateFormat) const;

    const GraphSeries& series_;
    const GraphView& view_;
    std::vector<int> shown_;
    QRectF area_;
    QFont font_;
    QFontMetricsF metrics_;
    double devicePixels_;
    std::vector<Lane> lanes_;
};

// Colours told apart with any colour vision (Okabe and Ito), by strip.
QColor StripColour(int index);
