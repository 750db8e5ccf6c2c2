#pragma once

#include "core/LiveSample.h"

#include <QRect>

// Geometry of the main window is kept in twips (1440 to the inch) and turned
// into pixels here only: at 96 logical dots per inch a pixel is 15 twips.
int TwipsToPixels(int twips);
QRect TwipsRect(int left, int top, int width, int height);

// The bar geometry of the meter columns, in twips, from column 1's bar frame
// inside its column frame.
struct MeterLayout {
    int BarTop = 0;    // from the top of the column frame
    int BarHeight = 0;
    int BarLeft = 0;   // from the window's left edge
    int BarWidth = 0;
    static constexpr int ColumnPitch = 1180;

    // meterLeft: left of column 1's frame; column: the bar frame's rectangle
    // inside that frame.
    static MeterLayout FromColumnFrame(int meterLeft, const QRect& column);
};

// The window-relative rectangles of one column's bar: the top edge of the
// filled part in twips, and whether anything changed since the column's
// last drawing (which is then remembered in the record).
struct BarDrawing {
    bool Changed = false;
    int Top = 0;      // top of the bar area
    int FillTop = 0;  // top edge of the filled part; Top + BarHeight when empty
    int Left = 0;
};

// Computes where column i's bar stands for its value; meterTop is the top of
// column 1's frame. Updates the column's remembered bar position.
BarDrawing PlaceBar(const MeterLayout& layout, int meterTop, int column, MeterColumn& record);
