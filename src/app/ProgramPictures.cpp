#include "app/ProgramPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr QColor kWater(40, 110, 200);
constexpr QColor kBar(128, 128, 255);

// The icon's drawing on a square of the given side.
void DrawEmblem(QPainter& painter, const QRectF& square)
{
    const double s = square.width();
    painter.save();
    painter.translate(square.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 30, 60), s / 32));
    painter.setBrush(QColor(235, 240, 250));
    painter.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.12, s * 0.12);
    // Three meter bars at different levels.
    painter.setPen(Qt::NoPen);
    const double heights[] = {0.45, 0.65, 0.3};
    for (int i = 0; i < 3; ++i) {
        const double h = s * heights[i];
        painter.setBrush(i == 1 ? kWater : kBar);
        painter.drawRect(QRectF(s * (0.18 + 0.23 * i), s * 0.84 - h, s * 0.16, h));
    }
    // The flow arrow over them.
    QPainterPath wave;
    wave.moveTo(s * 0.14, s * 0.26);
    wave.cubicTo(s * 0.35, s * 0.12, s * 0.5, s * 0.36, s * 0.78, s * 0.22);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kWater.darker(130), s / 14, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(wave);
    QPolygonF head;
    head << QPointF(s * 0.86, s * 0.18) << QPointF(s * 0.72, s * 0.14) << QPointF(s * 0.78, s * 0.3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWater.darker(130));
    painter.drawPolygon(head);
    painter.restore();
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        DrawEmblem(painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap ProgramBanner(const QString& caption)
{
    QPixmap pixmap(420, 240);
    QPainter painter(&pixmap);
    QLinearGradient sky(0, 0, 0, pixmap.height());
    sky.setColorAt(0, QColor(250, 252, 255));
    sky.setColorAt(1, QColor(200, 220, 245));
    painter.fillRect(pixmap.rect(), sky);
    DrawEmblem(painter, QRectF(24, 24, 96, 96));
    painter.setPen(QColor(20, 40, 90));
    QFont title = painter.font();
    title.setPointSize(18);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(136, 36, 270, 80), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     QStringLiteral("Brevel Flow Monitor"));
    QFont small = painter.font();
    small.setPointSize(9);
    small.setBold(false);
    painter.setFont(small);
    painter.drawText(QRectF(24, 136, 372, 24), Qt::AlignLeft, caption);
    return pixmap;
}
