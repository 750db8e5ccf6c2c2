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
    ResetRecord();
}

void GraphWidget::ResetRecord()
{
    const bool empty = series_.Count() == 0;
    view_.SetRecord(empty ? 0.0 : series_.Times.front(), empty ? 0.0 : series_.Times.back(),
                    int(series_.Strips.size()));
    shown_.resize(series_.Strips.size(), true);
    Changed();
}

void GraphWidget::ShowAll()
{
    view_.ShowAll();
    Changed();
}

void GraphWidget::SetStripShown(int strip, bool shown)
{
    if (strip >= 0 && size_t(strip) < shown_.size() && shown_[size_t(strip)] != shown) {
        shown_[size_t(strip)] = shown;
        Changed();
    }
}

void GraphWidget::Refresh()
{
    Changed();
}

std::vector<int> GraphWidget::ShownStrips() const
{
    std::vector<int> strips;
    for (size_t k = 0; k < shown_.size() && k < series_.Strips.size(); ++k) {
        if (shown_[k]) {
            strips.push_back(int(k));
        }
    }
    return strips;
}

int GraphWidget::CrosshairSample() const
{
    return std::isnan(crosshairTime_) ? -1 : NearestSample(series_, crosshairTime_);
}

GraphReadout GraphWidget::Readout() const
{
    return ReadAt(series_, CrosshairSample(), ShownStrips(), dateFormat_);
}

void GraphWidget::SetCrosshairTime(double t)
{
    crosshairTime_ = t;
    update();
    emit CrosshairMoved();
}

GraphPlot GraphWidget::PlotIn(const QRectF& area, const QFontMetricsF& metrics, double devicePixels) const
{
    return GraphPlot(series_, view_, ShownStrips(), area, font(), metrics, devicePixels);
}

const GraphPlot& GraphWidget::Plot() const
{
    if (!plot_) {
        plot_.emplace(series_, view_, ShownStrips(), QRectF(rect()), font(), QFontMetricsF(font(), this),
                      devicePixelRatioF());
    }
    return *plot_;
}

void GraphWidget::render(QPainter& painter, const QRectF& area, double devicePixels) const
{
    PlotIn(area, QFontMetricsF(font(), painter.device()), devicePixels).Paint(painter, dateFormat_);
}

void GraphWidget::Changed()
{
    plot_.reset();
    update();
    emit ViewChanged();
    emit CrosshairMoved();
}

void GraphWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Plot().Paint(painter, dateFormat_);
    Plot().PaintCrosshair(painter, CrosshairSample());
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

void GraphWidget::MoveCrosshair(const QPointF& point)
{
    // A few pixels of slack at the ends, so that the first and last samples
    // are easy to point at.
    constexpr double Slack = 3.0;
    const GraphPlot& plot = this->Plot();
    const QRectF plots = plot.PlotsRect();
    const bool over = point.x() >= plots.left() - Slack && point.x() <= plots.right() + Slack;
    SetCrosshairTime(over ? plot.TimeAt(std::clamp(point.x(), plots.left(), plots.right())) : NoTime);
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
        const GraphPlot& plot = this->Plot();
        view_.PanTime(plot.TimeAt(dragNow_.x()) - plot.TimeAt(point.x()));
        dragNow_ = point;
        Changed();
    } else if (drag_ == Drag::Box) {
        dragNow_ = point;
        update();
    }
    MoveCrosshair(point);
}

void GraphWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::Box) {
        dragNow_ = event->position();
        const QRectF box = QRectF(dragStart_, dragNow_).normalized();
        const GraphPlot& plot = this->Plot();
        if (box.width() >= MinimumBox) {
            view_.SetTimeRange(plot.TimeAt(box.left()), plot.TimeAt(box.right()));
        }
        const int strip = plot.StripAt(dragStart_);
        if (box.height() >= MinimumBox && strip >= 0 && plot.StripAt(dragNow_) == strip) {
            view_.SetValueRange(strip, plot.ValueAt(strip, box.bottom()), plot.ValueAt(strip, box.top()));
        }
    }
    drag_ = Drag::None;
    unsetCursor();
    Changed();
}

void GraphWidget::mouseDoubleClickEvent(QMouseEvent*)
{
    drag_ = Drag::None;
    ShowAll();
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
    const GraphPlot& plot = this->Plot();
    const QPointF point = event->position();
    if (event->modifiers() & Qt::ShiftModifier) {
        const int strip = plot.StripAt(point);
        if (strip >= 0) {
            const auto [low, high] = plot.ValueRange(strip);
            view_.ZoomValue(strip, factor, plot.ValueAt(strip, point.y()), low, high);
        }
    } else {
        view_.ZoomTime(factor, plot.TimeAt(point.x()));
    }
    event->accept();
    Changed();
}

void GraphWidget::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const double middle = (view_.Start() + view_.End()) / 2;
    switch (event->key()) {
    case Qt::Key_Home:
        ShowAll();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int direction = event->key() == Qt::Key_Left ? -1 : 1;
        if (shift) {
            int sample = CrosshairSample();
            if (sample < 0) {
                sample = NearestSample(series_, middle);
            } else {
                sample = std::clamp(sample + direction, 0, series_.Count() - 1);
            }
            if (sample >= 0) {
                const double t = series_.Times[size_t(sample)];
                if (t < view_.Start() || t > view_.End()) {
                    view_.PanTime(t - middle);
                    Changed();
                }
                SetCrosshairTime(t);
            }
        } else {
            view_.PanTime(direction * KeyPan * view_.Span());
            Changed();
        }
        return;
    }
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        view_.ZoomTime(0.5, std::isnan(crosshairTime_) ? middle : crosshairTime_);
        Changed();
        return;
    case Qt::Key_Minus:
        view_.ZoomTime(2.0, middle);
        Changed();
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
        SetCrosshairTime(NoTime);
    }
}
