#include "app/MeterLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kLogicalDotsPerInch = 96;

} // namespace

int TwipsToPixels(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * kLogicalDotsPerInch / kTwipsPerInch));
}

QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

MeterLayout MeterLayout::FromColumnFrame(int meterLeft, const QRect& column)
{
    MeterLayout layout;
    layout.BarTop = column.top() + 120;
    layout.BarHeight = column.height() - 160;
    layout.BarLeft = meterLeft + column.left() + 40;
    layout.BarWidth = column.width() - 100;
    return layout;
}

BarDrawing PlaceBar(const MeterLayout& layout, int meterTop, int column, MeterColumn& record)
{
    BarDrawing drawing;
    drawing.Left = layout.BarLeft + MeterLayout::ColumnPitch * column;
    drawing.Top = meterTop + layout.BarTop;
    const double span = record.Maximum - record.Minimum;
    double fraction = std::fabs(span) < 0.00001 ? 0.0 : (record.Value - record.Minimum) / span;
    fraction = std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
    drawing.FillTop = drawing.Top + layout.BarHeight - static_cast<int>(std::lround(fraction * layout.BarHeight));
    drawing.Changed = drawing.FillTop != record.BarPosition || record.Shown != record.LastShown;
    record.BarPosition = drawing.FillTop;
    return drawing;
}
