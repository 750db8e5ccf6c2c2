#pragma once

#include "graph/GraphSeries.h"

#include <QDialog>
#include <functional>

class FileDialogs;
class GraphWidget;
class RecordTable;
class Prompter;
class QLabel;
class QPrinter;
class QSpinBox;

// What the history graph works with: the table it plots (all rows or the
// packed ones), and where exports go.
struct HistoryGraphContext {
    const RecordTable& Table;
    QString LoggerName;
    QString AppFolder;
    Prompter& Messages;
    FileDialogs& Dialogs;
    // Asks the user for a printer; false for Cancel. Empty: Qt's print dialog.
    std::function<bool(QPrinter&, QWidget* parent)> ChoosePrinter = {};
};

// The history as a graph: one strip per table column over one time axis,
// strips that can be hidden, a readout of the crosshair, and the view
// exported as PNG or SVG at a chosen size or printed.
class HistoryGraphWindow : public QDialog {
    Q_OBJECT
public:
    explicit HistoryGraphWindow(HistoryGraphContext context, QWidget* parent = nullptr);
    ~HistoryGraphWindow() override;

    GraphWidget* Graph() const { return graph_; }
    const GraphSeries& Series() const { return series_; }

public slots:
    void ExportPng();
    void ExportSvg();
    void PrintGraph();

private:
    void ShowReadout();
    QSize ExportSize() const;
    void ExportTo(const QString& filter, const QString& extension,
                  const std::function<bool(const QString& path)>& write);

    HistoryGraphContext context_;
    GraphSeries series_;
    GraphWidget* graph_;
    QLabel* readout_;
    QSpinBox* exportWidth_;
    QSpinBox* exportHeight_;
};
