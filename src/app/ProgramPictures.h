#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn rather than shipped: the icon (a water level
// gauge under a flow arrow), and the splash and About pictures that carry it
// with the program's name.
QIcon ProgramIcon();
QPixmap ProgramBanner(const QString& caption);
