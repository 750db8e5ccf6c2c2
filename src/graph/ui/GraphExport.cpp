#include "graph/ui/GraphExport.h"

#include "graph/ui/GraphWidget.h"

#include <QBuffer>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

// Writes whole or not at all: a failed export leaves any old file alone.
template <typename Write>
bool SaveWhole(const QString& path, Write write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    return write(file) && file.commit();
}

} // namespace

QImage GraphImage(const GraphWidget& graph, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    graph.render(painter, QRectF(QPointF(0, 0), QSizeF(size)), 1.0);
    return image;
}

bool SaveGraphPng(const GraphWidget& graph, QSize size, const QString& path)
{
    const QImage image = GraphImage(graph, size);
    return SaveWhole(path, [&image](QIODevice& file) { return image.save(&file, "PNG"); });
}

bool SaveGraphSvg(const GraphWidget& graph, QSize size, const QString& path, const QString& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    {
        QPainter painter(&svg);
        graph.render(painter, QRectF(QPointF(0, 0), QSizeF(size)), 1.0);
    }
    return SaveWhole(path, [&buffer](QIODevice& file) { return file.write(buffer.data()) == buffer.size(); });
}

void PrintGraph(const GraphWidget& graph, QPrinter& printer)
{
    // Laid out as on a screen of 96 dots per inch, drawn at the printer's resolution.
    QPainter painter(&printer);
    const double scale = printer.resolution() / 96.0;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.scale(scale, scale);
    graph.render(painter, QRectF(QPointF(0, 0), page.size() / scale), scale);
}
