#include "graph/ui/GraphPlot.h"

#include "core/DateText.h"
#include "core/NumberText.h"
#include "graph/AxisTicks.h"
#include "graph/GraphDecimation.h"
#include "graph/GraphReadout.h"
#include "graph/GraphSeries.h"
#include "graph/GraphView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QColor Background(Qt::white);
const QColor Frame(120, 120, 120);
const QColor Grid(225, 225, 225);
const QColor GapShade(238, 238, 238);
const QColor Text(Qt::black);

constexpr double LaneSpacing = 8.0;

// Volumes are shown with at least three significant digits.
QString VolumeText(double volume)
{
    const double magnitude = std::fabs(volume);
    const int decimals = magnitude > 0 ? std::clamp(2 - int(std::floor(std::log10(magnitude))), 0, 3) : 0;
    return FormatDecimals(volume, int16_t(decimals));
}

QString WithUnit(const QString& text, const QString& unit)
{
    return unit.isEmpty() ? text : text + u' ' + unit;
}

} // namespace

QColor StripColour(int index)
{
    static const std::array<QColor, 7> colours{QColor(0, 114, 178), QColor(213, 94, 0),   QColor(0, 158, 115),
                                               QColor(204, 121, 167), QColor(230, 159, 0), QColor(86, 180, 233),
                                               QColor(0, 0, 0)};
    return colours[size_t(index) % colours.size()];
}

GraphPlot::GraphPlot(const GraphSeries& series, const GraphView& view, std::vector<int> shownStrips,
                     const QRectF& area, const QFont& font, const QFontMetricsF& metrics, double devicePixels)
    : series_(series), view_(view), shown_(std::move(shownStrips)), area_(area), font_(font), metrics_(metrics),
      devicePixels_(devicePixels > 0 ? devicePixels : 1.0)
{
    const double line = metrics_.height();
    const double left = area_.left() + metrics_.horizontalAdvance(QStringLiteral("-000000.00")) + 10;
    const double right = area_.right() - 12;
    const double top = area_.top() + 4;
    const double bottom = area_.bottom() - 2 * line - 10;
    const int lanes = int(shown_.size());
    const double laneHeight = lanes > 0 ? (bottom - top - LaneSpacing * (lanes - 1)) / lanes : 0;
    const double headerHeight = line + 4;
    for (int i = 0; i < lanes; ++i) {
        Lane lane;
        lane.Strip = shown_[size_t(i)];
        const double laneTop = top + i * (laneHeight + LaneSpacing);
        lane.Header = QRectF(left, laneTop, right - left, headerHeight);
        lane.Plot = QRectF(left, laneTop + headerHeight, right - left, std::max(1.0, laneHeight - headerHeight));
        lane.Summary = SummariseStrip(series_, lane.Strip, view_.Start(), view_.End());
        if (const auto chosen = view_.ValueRange(lane.Strip)) {
            lane.Range = *chosen;
        } else if (lane.Summary.Samples > 0) {
            const auto& values = series_.Strips[size_t(lane.Strip)].Values;
            lane.Range = PaddedRange(values[size_t(lane.Summary.Lowest)], values[size_t(lane.Summary.Highest)]);
        } else {
            lane.Range = {0.0, 1.0};
        }
        lanes_.push_back(lane);
    }
}

const GraphPlot::Lane* GraphPlot::LaneOf(int strip) const
{
    for (const Lane& l : lanes_) {
        if (l.Strip == strip) {
            return &l;
        }
    }
    return nullptr;
}

int GraphPlot::StripAt(const QPointF& point) const
{
    for (const Lane& l : lanes_) {
        if (l.Plot.contains(point)) {
            return l.Strip;
        }
    }
    return -1;
}

QRectF GraphPlot::PlotRect(int strip) const
{
    const Lane* l = LaneOf(strip);
    return l ? l->Plot : QRectF();
}

QRectF GraphPlot::PlotsRect() const
{
    if (lanes_.empty()) {
        return {};
    }
    return QRectF(lanes_.front().Plot.topLeft(), lanes_.back().Plot.bottomRight());
}

double GraphPlot::TimeAt(double x) const
{
    const QRectF plots = PlotsRect();
    return plots.width() > 0 ? view_.Start() + (x - plots.left()) / plots.width() * view_.Span() : view_.Start();
}

double GraphPlot::XAt(double t) const
{
    const QRectF plots = PlotsRect();
    return plots.left() + (t - view_.Start()) / view_.Span() * plots.width();
}

double GraphPlot::ValueAt(int strip, double y) const
{
    const Lane* l = LaneOf(strip);
    if (!l) {
        return 0.0;
    }
    return l->Range.first + (l->Plot.bottom() - y) / l->Plot.height() * (l->Range.second - l->Range.first);
}

double GraphPlot::YAt(int strip, double value) const
{
    const Lane* l = LaneOf(strip);
    if (!l) {
        return 0.0;
    }
    return l->Plot.bottom() - (value - l->Range.first) / (l->Range.second - l->Range.first) * l->Plot.height();
}

std::pair<double, double> GraphPlot::ValueRange(int strip) const
{
    const Lane* l = LaneOf(strip);
    return l ? l->Range : std::pair{0.0, 1.0};
}

const StripSummary& GraphPlot::Summary(int strip) const
{
    static const StripSummary none;
    const Lane* l = LaneOf(strip);
    return l ? l->Summary : none;
}

QString GraphPlot::SummaryText(int strip) const
{
    const Lane* l = LaneOf(strip);
    if (!l || l->Summary.Samples == 0) {
        return QStringLiteral("no readings in view");
    }
    const GraphStrip& s = series_.Strips[size_t(strip)];
    QString text = QStringLiteral("min %1   max %2   mean %3")
                       .arg(WithUnit(StripValueText(series_, l->Summary.Lowest, strip), s.Unit),
                            WithUnit(StripValueText(series_, l->Summary.Highest, strip), s.Unit),
                            WithUnit(FormatDecimals(l->Summary.Mean, s.Decimals), s.Unit));
    if (l->Summary.Volume) {
        text += QStringLiteral("   volume ") + WithUnit(VolumeText(*l->Summary.Volume), VolumeUnitName(s.FlowUnits));
    }
    return text;
}

void GraphPlot::Paint(QPainter& painter, const ShortDateFormat& dateFormat) const
{
    painter.save();
    painter.setFont(font_);
    painter.fillRect(area_, Background);
    for (const Lane& l : lanes_) {
        PaintLane(painter, l, l.Strip);
    }
    if (!lanes_.empty()) {
        PaintTimeAxis(painter, dateFormat);
    }
    painter.restore();
}

void GraphPlot::PaintLane(QPainter& painter, const Lane& l, int colourIndex) const
{
    const QRectF& plot = l.Plot;
    const QColor colour = StripColour(colourIndex);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));

    // Gaps in the record, shaded where they are wide enough to see.
    const int first = std::max(1, series_.FirstAtOrAfter(view_.Start()));
    for (auto gap = std::lower_bound(series_.GapsBefore.begin(), series_.GapsBefore.end(), first);
         gap != series_.GapsBefore.end() && series_.Times[size_t(*gap - 1)] <= view_.End(); ++gap) {
        const double x0 = XAt(series_.Times[size_t(*gap - 1)]);
        const double x1 = XAt(series_.Times[size_t(*gap)]);
        if (x1 - x0 >= 2.0) {
            painter.fillRect(QRectF(QPointF(x0, plot.top()), QPointF(x1, plot.bottom())), GapShade);
        }
    }

    painter.setPen(QPen(Grid, 0));
    const std::vector<ValueTick> ticks =
        ValueTicks(l.Range.first, l.Range.second, plot.height(), metrics_.height() * 1.3);
    for (const ValueTick& tick : ticks) {
        const double y = YAt(l.Strip, tick.Value);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }

    const int columns = std::max(1, int(std::lround(plot.width() * devicePixels_)));
    const std::vector<PlotRun> runs = DecimateStrip(series_, l.Strip, view_.Start(), view_.End(), columns);
    size_t points = 0;
    for (const PlotRun& run : runs) {
        points += run.size();
    }
    const bool sparse = double(points) < plot.width() * devicePixels_;
    painter.setRenderHint(QPainter::Antialiasing, sparse);
    painter.setPen(QPen(colour, sparse ? 1.5 : 1.0 / devicePixels_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double yScale = plot.height() / (l.Range.second - l.Range.first);
    std::vector<QPointF> mapped;
    for (const PlotRun& run : runs) {
        mapped.resize(run.size());
        for (size_t i = 0; i < run.size(); ++i) {
            mapped[i] = QPointF(plot.left() + run[i].x() / devicePixels_,
                                plot.bottom() - (run[i].y() - l.Range.first) * yScale);
        }
        if (mapped.size() == 1) {
            painter.drawPoint(mapped.front());
        } else {
            painter.drawPolyline(mapped.data(), int(mapped.size()));
        }
    }
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QPen(Frame, 0));
    painter.drawRect(plot);
    painter.setPen(Text);
    for (const ValueTick& tick : ticks) {
        const double y = YAt(l.Strip, tick.Value);
        const QRectF label(area_.left(), y - metrics_.height() / 2, plot.left() - area_.left() - 6, metrics_.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, tick.Label);
    }
    QFont bold = font_;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(colour.darker(115));
    const QString title = series_.Strips[size_t(l.Strip)].Title;
    painter.drawText(l.Header, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setFont(font_);
    painter.setPen(Text);
    painter.drawText(l.Header, Qt::AlignRight | Qt::AlignVCenter, SummaryText(l.Strip));
}

void GraphPlot::PaintTimeAxis(QPainter& painter, const ShortDateFormat& dateFormat) const
{
    const QRectF plots = PlotsRect();
    const double minPixels = metrics_.horizontalAdvance(QStringLiteral("00/00/0000")) + 16;
    const std::vector<TimeTick> ticks = TimeTicks(view_.Start(), view_.End(), plots.width(), minPixels, dateFormat);
    const double line = metrics_.height();
    for (const TimeTick& tick : ticks) {
        const double x = XAt(tick.T);
        painter.setPen(QPen(Grid, 0));
        for (const Lane& l : lanes_) {
            painter.drawLine(QPointF(x, l.Plot.top() + 1), QPointF(x, l.Plot.bottom() - 1));
        }
        painter.setPen(QPen(Frame, 0));
        painter.drawLine(QPointF(x, plots.bottom()), QPointF(x, plots.bottom() + 4));
        painter.setPen(Text);
        // Centred under the tick, but inside the picture at its ends.
        const auto label = [&](const QString& text, double top) {
            const double width = metrics_.horizontalAdvance(text) + 2;
            const double left = std::clamp(x - width / 2, area_.left(), std::max(area_.left(), area_.right() - width));
            painter.drawText(QRectF(left, top, width, line), Qt::AlignLeft | Qt::AlignTop, text);
        };
        label(tick.Label, plots.bottom() + 5);
        if (!tick.DateLabel.isEmpty()) {
            label(tick.DateLabel, plots.bottom() + 5 + line);
        }
    }
}

void GraphPlot::PaintCrosshair(QPainter& painter, int sample) const
{
    if (sample < 0 || sample >= series_.Count() || lanes_.empty()) {
        return;
    }
    const double x = XAt(series_.Times[size_t(sample)]);
    const QRectF plots = PlotsRect();
    if (x < plots.left() || x > plots.right()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
    painter.drawLine(QPointF(x, plots.top()), QPointF(x, plots.bottom()));
    for (const Lane& l : lanes_) {
        const float v = series_.Strips[size_t(l.Strip)].Values[size_t(sample)];
        if (std::isnan(v)) {
            continue;
        }
        const double y = YAt(l.Strip, v);
        if (y < l.Plot.top() || y > l.Plot.bottom()) {
            continue;
        }
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(StripColour(l.Strip));
        painter.drawEllipse(QPointF(x, y), 4, 4);
    }
    painter.restore();
}
