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
    const char* Text;
    double Seconds;
};
constexpr SpanChoice Spans[] = {{"1 minute", 60},     {"5 minutes", 300}, {"10 minutes", 600},
                                {"30 minutes", 1800}, {"1 hour", 3600},   {"6 hours", 21600},
                                {"24 hours", 86400}};
constexpr int DefaultSpan = 2;

} // namespace

LiveGraphWindow::LiveGraphWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      graph_(new GraphWidget(live_.Series())),
      span_(new QComboBox),
      pause_(new QCheckBox(QStringLiteral("&Pause"))),
      readout_(new QLabel),
      stripBoxes_(new QWidget)
{
    setObjectName(QStringLiteral("frmLiveGraph"));
    setWindowTitle(QStringLiteral("Live Graph"));
    graph_->View().SetClamped(false);
    span_->setObjectName(QStringLiteral("cmbSpan"));
    for (const SpanChoice& choice : Spans) {
        span_->addItem(QString::fromLatin1(choice.Text), choice.Seconds);
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

    connect(span_, &QComboBox::currentIndexChanged, this, &LiveGraphWindow::Follow);
    connect(pause_, &QCheckBox::toggled, this, &LiveGraphWindow::Follow);
    connect(graph_, &GraphWidget::CrosshairMoved, this, &LiveGraphWindow::ShowReadout);
    resize(900, 600);
    Follow();
}

LiveGraphWindow::~LiveGraphWindow() = default;

double LiveGraphWindow::SpanSeconds() const
{
    return span_->currentData().toDouble();
}

bool LiveGraphWindow::Paused() const
{
    return pause_->isChecked();
}

void LiveGraphWindow::SetStrips(const std::vector<LiveStrip>& strips)
{
    if (strips == live_.Strips()) {
        return;
    }
    live_.SetStrips(strips);
    StripsChanged();
}

void LiveGraphWindow::StripsChanged()
{
    qDeleteAll(stripBoxes_->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly));
    const std::vector<GraphStrip>& strips = live_.Series().Strips;
    for (size_t k = 0; k < strips.size(); ++k) {
        auto* box = new QCheckBox(strips[k].Title, stripBoxes_);
        box->setObjectName(QStringLiteral("chkStrip%1").arg(k));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, k](bool on) { graph_->SetStripShown(int(k), on); });
        stripBoxes_->layout()->addWidget(box);
    }
    graph_->ResetRecord();
    Follow();
}

void LiveGraphWindow::AddReading(double t, const std::vector<double>& values)
{
    live_.Add(t, values);
    if (Paused()) {
        graph_->Refresh();
    } else {
        Follow();
    }
}

// The view ends at the newest reading and reaches back over the chosen span;
// while paused it stays where it is.
void LiveGraphWindow::Follow()
{
    const GraphSeries& series = live_.Series();
    if (Paused()) {
        return;
    }
    const double newest = series.Count() > 0 ? series.Times.back() : 0.0;
    GraphView& view = graph_->View();
    view.SetRecord(newest - SpanSeconds(), newest, int(series.Strips.size()));
    graph_->Refresh();
}

void LiveGraphWindow::ShowReadout()
{
    const GraphSeries& series = live_.Series();
    int sample = graph_->CrosshairSample();
    QString prefix;
    if (sample < 0) {
        // Without the mouse on the graph, the newest reading.
        sample = series.Count() - 1;
        prefix = QStringLiteral("Newest: ");
    }
    readout_->setText(sample < 0 ? QStringLiteral("Waiting for readings (Action > Sample Continuously).")
                                 : prefix + ReadoutLine(series, sample, graph_->ShownStrips(), ShortDateFormat()));
}
