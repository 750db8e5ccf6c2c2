#include "graph/ui/LiveGraphWindow.h"

#include "core/DateText.h"
#include "graph/GraphReadout.h"
#include "graph/ui/GraphWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct SpanChoice {
    const char* text;
    double seconds;
};
constexpr SpanChoice Spans[] = {{"1 minute", 60},     {"5 minutes", 300}, {"10 minutes", 600},
                                {"30 minutes", 1800}, {"1 hour", 3600},   {"6 hours", 21600},
                                {"24 hours", 86400}};
constexpr int DefaultSpan = 2;

} // namespace

LiveGraphWindow::LiveGraphWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      graph_(new GraphWidget(live_.series())),
      span_(new QComboBox),
      pause_(new QCheckBox(QStringLiteral("&Pause"))),
      readout_(new QLabel),
      stripBoxes_(new QWidget)
{
    setObjectName(QStringLiteral("frmLiveGraph"));
    setWindowTitle(QStringLiteral("Live Graph"));
    graph_->view().setClamped(false);
    span_->setObjectName(QStringLiteral("cmbSpan"));
    for (const SpanChoice& choice : Spans) {
        span_->addItem(QString::fromLatin1(choice.text), choice.seconds);
    }
    span_->setCurrentIndex(DefaultSpan);
    pause_->setObjectName(QStringLiteral("chkPause"));
    readout_->setObjectName(QStringLiteral("lblReadout"));
    readout_->setWordWrap(true);
    readout_->setMinimumHeight(readout_->fontMetrics().height() * 2);

    auto* spanLabel = new QLabel(QStringLiteral("&Span:"));
    spanLabel->setBuddy(span_);
    auto* top = new QHBoxLayout;
    top->addWidget(spanLabel);
    top->addWidget(span_);
    top->addWidget(pause_);
    top->addSpacing(16);
    top->addWidget(stripBoxes_, 1);
    new QHBoxLayout(stripBoxes_);
    stripBoxes_->layout()->setContentsMargins(0, 0, 0, 0);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(graph_, 1);
    layout->addWidget(readout_);

    connect(span_, &QComboBox::currentIndexChanged, this, &LiveGraphWindow::follow);
    connect(pause_, &QCheckBox::toggled, this, &LiveGraphWindow::follow);
    connect(graph_, &GraphWidget::crosshairMoved, this, &LiveGraphWindow::showReadout);
    resize(900, 600);
    follow();
}

LiveGraphWindow::~LiveGraphWindow() = default;

double LiveGraphWindow::spanSeconds() const
{
    return span_->currentData().toDouble();
}

bool LiveGraphWindow::paused() const
{
    return pause_->isChecked();
}

void LiveGraphWindow::setStrips(const std::vector<LiveStrip>& strips)
{
    if (strips == live_.strips()) {
        return;
    }
    live_.setStrips(strips);
    stripsChanged();
}

void LiveGraphWindow::stripsChanged()
{
    qDeleteAll(stripBoxes_->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly));
    const std::vector<GraphStrip>& strips = live_.series().strips;
    for (size_t k = 0; k < strips.size(); ++k) {
        auto* box = new QCheckBox(strips[k].title, stripBoxes_);
        box->setObjectName(QStringLiteral("chkStrip%1").arg(k));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, k](bool on) { graph_->setStripShown(int(k), on); });
        stripBoxes_->layout()->addWidget(box);
    }
    graph_->resetRecord();
    follow();
}

void LiveGraphWindow::addReading(double t, const std::vector<double>& values)
{
    live_.add(t, values);
    if (paused()) {
        graph_->refresh();
    } else {
        follow();
    }
}

// The view ends at the newest reading and reaches back over the chosen span;
// while paused it stays where it is.
void LiveGraphWindow::follow()
{
    const GraphSeries& series = live_.series();
    if (paused()) {
        return;
    }
    const double newest = series.count() > 0 ? series.times.back() : 0.0;
    GraphView& view = graph_->view();
    view.setRecord(newest - spanSeconds(), newest, int(series.strips.size()));
    graph_->refresh();
}

void LiveGraphWindow::showReadout()
{
    const GraphSeries& series = live_.series();
    int sample = graph_->crosshairSample();
    QString prefix;
    if (sample < 0) {
        // Without the mouse on the graph, the newest reading.
        sample = series.count() - 1;
        prefix = QStringLiteral("Newest: ");
    }
    readout_->setText(sample < 0 ? QStringLiteral("Waiting for readings (Action > Sample Continuously).")
                                 : prefix + ReadoutLine(series, sample, graph_->shownStrips(), ShortDateFormat()));
}
