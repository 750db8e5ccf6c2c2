#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class GraphWidget;
class QPrinter;

// The graph as it shows now, drawn at a size of its own.
QImage GraphImage(const GraphWidget& graph, QSize size);
// False when the file cannot be written.
bool SaveGraphPng(const GraphWidget& graph, QSize size, const QString& path);
bool SaveGraphSvg(const GraphWidget& graph, QSize size, const QString& path, const QString& title);
// Fills the printer's page with the graph.
void PrintGraph(const GraphWidget& graph, QPrinter& printer);
