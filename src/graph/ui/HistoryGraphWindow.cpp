#include "graph/ui/HistoryGraphWindow.h"

#include "core/DateText.h"
#include "graph/GraphReadout.h"
#include "graph/HistoryGraphSeries.h"
#include "graph/ui/GraphExport.h"
#include "graph/ui/GraphWidget.h"
#include "history/RecordTable.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString ExportTitle = QStringLiteral("Export Graph");
const QString Hint = QStringLiteral(
    "Point at the graph to read its values. Drag a box to zoom, wheel to zoom time, Shift+wheel to zoom values, "
    "right-drag or Ctrl+drag to pan, Home or double click for the whole record.");

QPushButton* Button(const QString& name, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QSpinBox* SizeBox(const QString& name, int value)
{
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(100, 10000);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

} // namespace

// The graph widget keeps a reference to the series, a member built before it.
HistoryGraphWindow::HistoryGraphWindow(HistoryGraphContext context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      series_(BuildHistoryGraphSeries(context_.Table)),
      graph_(new GraphWidget(series_)),
      readout_(new QLabel),
      exportWidth_(SizeBox(QStringLiteral("exportWidth"), 1920)),
      exportHeight_(SizeBox(QStringLiteral("exportHeight"), 1080))
{
    setObjectName(QStringLiteral("frmHistoryGraph"));
    setWindowTitle(context_.LoggerName.isEmpty() ? QStringLiteral("History Graph")
                                                 : QStringLiteral("History Graph - ") + context_.LoggerName);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    graph_->setAccessibleDescription(Hint);

    auto* strips = new QHBoxLayout;
    strips->addWidget(new QLabel(QStringLiteral("Show:")));
    for (size_t k = 0; k < series_.Strips.size(); ++k) {
        auto* box = new QCheckBox(series_.Strips[k].Title);
        box->setObjectName(QStringLiteral("chkStrip%1").arg(k));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, k](bool on) { graph_->SetStripShown(int(k), on); });
        strips->addWidget(box);
    }
    strips->addStretch();

    readout_->setObjectName(QStringLiteral("lblReadout"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setMinimumHeight(readout_->fontMetrics().height() * 2);
    readout_->setWordWrap(true);

    QPushButton* whole = Button(QStringLiteral("cmdWholeRecord"), QStringLiteral("&Whole Record"));
    QPushButton* png = Button(QStringLiteral("cmdExportPng"), QStringLiteral("Export P&NG..."));
    QPushButton* svg = Button(QStringLiteral("cmdExportSvg"), QStringLiteral("Export S&VG..."));
    QPushButton* print = Button(QStringLiteral("cmdPrint"), QStringLiteral("&Print..."));
    QPushButton* close = Button(QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    auto* sizeLabel = new QLabel(QStringLiteral("Image &size:"));
    sizeLabel->setBuddy(exportWidth_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(whole);
    buttons->addSpacing(16);
    buttons->addWidget(sizeLabel);
    buttons->addWidget(exportWidth_);
    buttons->addWidget(new QLabel(QStringLiteral("x")));
    buttons->addWidget(exportHeight_);
    buttons->addWidget(png);
    buttons->addWidget(svg);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(strips);
    layout->addWidget(graph_, 1);
    layout->addWidget(readout_);
    layout->addLayout(buttons);

    connect(whole, &QPushButton::clicked, graph_, &GraphWidget::ShowAll);
    connect(png, &QPushButton::clicked, this, &HistoryGraphWindow::ExportPng);
    connect(svg, &QPushButton::clicked, this, &HistoryGraphWindow::ExportSvg);
    connect(print, &QPushButton::clicked, this, &HistoryGraphWindow::PrintGraph);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(graph_, &GraphWidget::CrosshairMoved, this, &HistoryGraphWindow::ShowReadout);
    ShowReadout();
    resize(1100, 720);
    graph_->setFocus();
}

HistoryGraphWindow::~HistoryGraphWindow() = default;

void HistoryGraphWindow::ShowReadout()
{
    const int sample = graph_->CrosshairSample();
    readout_->setText(sample < 0 ? Hint
                                 : ReadoutLine(series_, sample, graph_->ShownStrips(), ShortDateFormat()));
}

QSize HistoryGraphWindow::ExportSize() const
{
    return QSize(exportWidth_->value(), exportHeight_->value());
}

void HistoryGraphWindow::ExportTo(const QString& filter, const QString& extension,
                                  const std::function<bool(const QString& path)>& write)
{
    FileDialogRequest request;
    request.Title = ExportTitle;
    request.Filter = filter;
    request.DefaultExtension = extension;
    request.InitialFileName = context_.AppFolder + QStringLiteral("/graph") + extension;
    request.ConfirmOverwrite = true;
    const std::optional<QString> path = context_.Dialogs.SaveFile(request);
    if (path && !write(*path)) {
        context_.Messages.Tell(ExportTitle, QStringLiteral("Error: the graph could not be written to ") + *path,
                               PromptIcon::Error);
    }
}

void HistoryGraphWindow::ExportPng()
{
    ExportTo(QStringLiteral("PNG Images (*.png)|*.png"), QStringLiteral(".png"),
             [this](const QString& path) { return SaveGraphPng(*graph_, ExportSize(), path); });
}

void HistoryGraphWindow::ExportSvg()
{
    ExportTo(QStringLiteral("SVG Drawings (*.svg)|*.svg"), QStringLiteral(".svg"), [this](const QString& path) {
        return SaveGraphSvg(*graph_, ExportSize(), path, windowTitle());
    });
}

void HistoryGraphWindow::PrintGraph()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    const bool chosen = context_.ChoosePrinter ? context_.ChoosePrinter(printer, this)
                                               : QPrintDialog(&printer, this).exec() == QDialog::Accepted;
    if (chosen) {
        ::PrintGraph(*graph_, printer);
    }
}
