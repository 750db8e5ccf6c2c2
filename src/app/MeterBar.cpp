#include "app/MeterBar.h"

#include <QPainter>

MeterBar::MeterBar(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
}

void MeterBar::SetFill(const QRect& fill, const QColor& colour)
{
    if (fill == fill_ && colour == colour_) {
        return;
    }
    fill_ = fill;
    colour_ = colour;
    update();
}

void MeterBar::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (!fill_.isEmpty()) {
        QPainter painter(this);
        painter.fillRect(fill_, colour_);
    }
}
