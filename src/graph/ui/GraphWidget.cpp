#include "graph/ui/GraphWidget.h"

#include "graph/GraphSeries.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <limits>

namespace {

constexpr double WheelStep = 0.8;  // a wheel notch zooms to 80 %
constexpr double KeyPan = 0.1;     // an arrow key pans a tenth of the span
constexpr double MinimumBox = 4.0; // pixels

const double NoTime = std::numeric_limits<double>::quiet_NaN();

} // namespace

GraphWidget::GraphWidget(const GraphSeries& series, QWidget* parent)
    : QWidget(parent), series_(series), crosshairTime_(NoTime)
{
    setObjectName(QStringLiteral("graph"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Graph"));
    resetRecord();
}

void GraphWidget::resetRecord()
{
    const bool empty = series_.count() == 0;
    view_.setRecord(empty ? 0.0 : series_.times.front(), empty ? 0.0 : series_.times.back(),
                    int(series_.strips.size()));
    shown_.resize(series_.strips.size(), true);
    changed();
}

void GraphWidget::showAll()
{
    view_.showAll();
    changed();
}

void GraphWidget::setStripShown(int strip, bool shown)
{
    if (strip >= 0 && size_t(strip) < shown_.size() && shown_[size_t(strip)] != shown) {
        shown_[size_t(strip)] = shown;
        changed();
    }
}

void GraphWidget::refresh()
{
    changed();
}

std::vector<int> GraphWidget::shownStrips() const
{
    std::vector<int> strips;
    for (size_t k = 0; k < shown_.size() && k < series_.strips.size(); ++k) {
        if (shown_[k]) {
            strips.push_back(int(k));
        }
    }
    return strips;
}

int GraphWidget::crosshairSample() const
{
    return std::isnan(crosshairTime_) ? -1 : NearestSample(series_, crosshairTime_);
}

GraphReadout GraphWidget::readout() const
{
    return ReadAt(series_, crosshairSample(), shownStrips(), dateFormat_);
}

void GraphWidget::setCrosshairTime(double t)
{
    crosshairTime_ = t;
    update();
    emit crosshairMoved();
}

GraphPlot GraphWidget::plotIn(const QRectF& area, const QFontMetricsF& metrics, double devicePixels) const
{
    return GraphPlot(series_, view_, shownStrips(), area, font(), metrics, devicePixels);
}

const GraphPlot& GraphWidget::plot() const
{
    if (!plot_) {
        plot_.emplace(series_, view_, shownStrips(), QRectF(rect()), font(), QFontMetricsF(font(), this),
                      devicePixelRatioF());
    }
    return *plot_;
}

void GraphWidget::render(QPainter& painter, const QRectF& area, double devicePixels) const
{
    plotIn(area, QFontMetricsF(font(), painter.device()), devicePixels).paint(painter, dateFormat_);
}

void GraphWidget::changed()
{
    plot_.reset();
    update();
    emit viewChanged();
    emit crosshairMoved();
}

void GraphWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    plot().paint(painter, dateFormat_);
    plot().paintCrosshair(painter, crosshairSample());
    if (drag_ == Drag::Box) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(QColor(0, 114, 178, 40));
        painter.drawRect(QRectF(dragStart_, dragNow_).normalized());
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void GraphWidget::moveCrosshair(const QPointF& point)
{
    // A few pixels of slack at the ends, so that the first and last samples
    // are easy to point at.
    constexpr double Slack = 3.0;
    const GraphPlot& plot = this->plot();
    const QRectF plots = plot.plotsRect();
    const bool over = point.x() >= plots.left() - Slack && point.x() <= plots.right() + Slack;
    setCrosshairTime(over ? plot.timeAt(std::clamp(point.x(), plots.left(), plots.right())) : NoTime);
}

void GraphWidget::mousePressEvent(QMouseEvent* event)
{
    dragStart_ = dragNow_ = event->position();
    const bool pan = event->button() == Qt::RightButton || event->button() == Qt::MiddleButton
                     || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier));
    drag_ = pan ? Drag::Pan : event->button() == Qt::LeftButton ? Drag::Box : Drag::None;
    if (drag_ == Drag::Pan) {
        setCursor(Qt::ClosedHandCursor);
    }
}

void GraphWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = event->position();
    if (drag_ == Drag::Pan) {
        const GraphPlot& plot = this->plot();
        view_.panTime(plot.timeAt(dragNow_.x()) - plot.timeAt(point.x()));
        dragNow_ = point;
        changed();
    } else if (drag_ == Drag::Box) {
        dragNow_ = point;
        update();
    }
    moveCrosshair(point);
}

void GraphWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::Box) {
        dragNow_ = event->position();
        const QRectF box = QRectF(dragStart_, dragNow_).normalized();
        const GraphPlot& plot = this->plot();
        if (box.width() >= MinimumBox) {
            view_.setTimeRange(plot.timeAt(box.left()), plot.timeAt(box.right()));
        }
        const int strip = plot.stripAt(dragStart_);
        if (box.height() >= MinimumBox && strip >= 0 && plot.stripAt(dragNow_) == strip) {
            view_.setValueRange(strip, plot.valueAt(strip, box.bottom()), plot.valueAt(strip, box.top()));
        }
    }
    drag_ = Drag::None;
    unsetCursor();
    changed();
}

void GraphWidget::mouseDoubleClickEvent(QMouseEvent*)
{
    drag_ = Drag::None;
    showAll();
}

void GraphWidget::wheelEvent(QWheelEvent* event)
{
    // Shift turns a vertical wheel into a horizontal one on some systems.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    if (delta == 0) {
        return;
    }
    const double factor = std::pow(WheelStep, delta / 120.0);
    const GraphPlot& plot = this->plot();
    const QPointF point = event->position();
    if (event->modifiers() & Qt::ShiftModifier) {
        const int strip = plot.stripAt(point);
        if (strip >= 0) {
            const auto [low, high] = plot.valueRange(strip);
            view_.zoomValue(strip, factor, plot.valueAt(strip, point.y()), low, high);
        }
    } else {
        view_.zoomTime(factor, plot.timeAt(point.x()));
    }
    event->accept();
    changed();
}

void GraphWidget::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const double middle = (view_.start() + view_.end()) / 2;
    switch (event->key()) {
    case Qt::Key_Home:
        showAll();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int direction = event->key() == Qt::Key_Left ? -1 : 1;
        if (shift) {
            int sample = crosshairSample();
            if (sample < 0) {
                sample = NearestSample(series_, middle);
            } else {
                sample = std::clamp(sample + direction, 0, series_.count() - 1);
            }
            if (sample >= 0) {
                const double t = series_.times[size_t(sample)];
                if (t < view_.start() || t > view_.end()) {
                    view_.panTime(t - middle);
                    changed();
                }
                setCrosshairTime(t);
            }
        } else {
            view_.panTime(direction * KeyPan * view_.span());
            changed();
        }
        return;
    }
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        view_.zoomTime(0.5, std::isnan(crosshairTime_) ? middle : crosshairTime_);
        changed();
        return;
    case Qt::Key_Minus:
        view_.zoomTime(2.0, middle);
        changed();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void GraphWidget::resizeEvent(QResizeEvent*)
{
    plot_.reset();
}

void GraphWidget::leaveEvent(QEvent*)
{
    if (drag_ == Drag::None) {
        setCrosshairTime(NoTime);
    }
}
