#include "history/ui/HistoryWindow.h"

#include "core/ErrorTrap.h"
#include "history/HistoryTableModel.h"
#include "history/ui/ProgressWindow.h"
#include "platform/BusyCursor.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString PackTitle = QStringLiteral("Pack History Data");
const QString PackQuestion = QStringLiteral(
    "This operation will remove each record from the displayed data that has identical\r\n"
    "measurements compared with the previous record. \r\n\r\n"
    "Note that this will not change the history data in the logger.\r\n\r\n"
    "Select YES to proceed.");

// Column widths are kept in twips; a pixel is 15 twips at 96 dots per inch.
int TwipsToPixels(int twips)
{
    return twips / 15;
}

QGroupBox* FramedLabel(const QString& title, QLabel* label)
{
    auto* frame = new QGroupBox(title);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(label);
    return frame;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryWindowContext context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      table_(context_.Table.get()),
      model_(new HistoryTableModel(*table_, this)),
      tableView_(new QTableView),
      loggerName_(new QLabel),
      rowCount_(new QLabel),
      progressBar_(new QProgressBar),
      okButton_(new QPushButton(QStringLiteral("OK"))),
      saveButton_(new QPushButton(QStringLiteral("&Save to File"))),
      packButton_(new QPushButton(QStringLiteral("&Pack"))),
      graphButton_(new QPushButton(QStringLiteral("&Graph"))),
      archiveButton_(new QPushButton(QStringLiteral("Save to &Archive")))
{
    setWindowTitle(QStringLiteral("Historical Data Viewer"));
    setObjectName(QStringLiteral("frmHistory"));
    tableView_->setObjectName(QStringLiteral("lvwHistory"));
    loggerName_->setObjectName(QStringLiteral("lblLoggerName"));
    rowCount_->setObjectName(QStringLiteral("lblNumRecords"));
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    saveButton_->setObjectName(QStringLiteral("cmdSave"));
    packButton_->setObjectName(QStringLiteral("cmdPack"));
    graphButton_->setObjectName(QStringLiteral("cmdGraph"));
    graphButton_->setVisible(bool(context_.OpenGraph));
    archiveButton_->setObjectName(QStringLiteral("cmdArchive"));
    archiveButton_->setVisible(bool(context_.SaveToArchive));

    tableView_->setModel(model_);
    tableView_->setWordWrap(false);
    tableView_->setShowGrid(true);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->verticalHeader()->setVisible(false);
    // A fixed row height: measuring 200 000 rows would take seconds.
    tableView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tableView_->verticalHeader()->setDefaultSectionSize(tableView_->fontMetrics().height() + 6);
    tableView_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    progressBar_->setVisible(false);

    auto* labels = new QHBoxLayout;
    labels->addWidget(FramedLabel(QStringLiteral("Logger Name"), loggerName_), 2);
    labels->addWidget(FramedLabel(QStringLiteral("Records Retrieved"), rowCount_), 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progressBar_, 1);
    buttons->addStretch();
    buttons->addWidget(graphButton_);
    buttons->addWidget(packButton_);
    buttons->addWidget(saveButton_);
    buttons->addWidget(archiveButton_);
    buttons->addWidget(okButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(tableView_, 1);
    layout->addLayout(buttons);

    connect(okButton_, &QPushButton::clicked, this, &HistoryWindow::CloseTable);
    connect(saveButton_, &QPushButton::clicked, this, &HistoryWindow::SaveToFile);
    connect(packButton_, &QPushButton::clicked, this, &HistoryWindow::PackRows);
    connect(graphButton_, &QPushButton::clicked, this, &HistoryWindow::OpenGraph);
    connect(archiveButton_, &QPushButton::clicked, this, &HistoryWindow::SaveToArchive);
    okButton_->setDefault(true);
    resize(760, 520);

    FillTable(false);
}

HistoryWindow::~HistoryWindow()
{
    // A window deleted while it shows (the program ending with the table open)
    // hides its view on the way, and the view asks the model for headers: the
    // view goes first, while the table the model reads is still here.
    delete tableView_;
}

void HistoryWindow::FillTable(bool pack)
{
    BusyScope busy(context_.Hourglass);
    const int maximum = std::max(1, table_->RecordCount() - 1);
    const auto rebuild = [this, pack](const RecordTable::ProgressFunction& progress) {
        model_->BeginRebuild();
        table_->Fill(pack, progress);
        model_->EndRebuild();
    };
    if (pack) {
        ProgressSteps steps(*progressBar_, 0, maximum);
        progressBar_->setVisible(true);
        rebuild([&steps](int value) { steps.SetValue(value); });
        progressBar_->setVisible(false);
    } else {
        ProgressWindow progress(QStringLiteral("Formatting Data"),
                                QStringLiteral("Please wait while data is being formatted"), 0, maximum, this);
        rebuild([&progress](int value) { progress.SetValue(value); });
    }
    // The widths of the classic list, widened where this font needs more.
    const QFontMetrics metrics = tableView_->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth();
    const int stampWidth = table_->RowCount() > 0 ? metrics.horizontalAdvance(table_->TimestampText(0)) : 0;
    tableView_->setColumnWidth(0, std::max(TwipsToPixels(1500), stampWidth + padding));
    for (int column = 1; column < table_->ColumnCount(); ++column) {
        const int headerWidth = metrics.horizontalAdvance(table_->HeaderText(column)) + padding;
        tableView_->setColumnWidth(
            column, std::max(TwipsToPixels(table_->Columns()[size_t(column - 1)].WidthTwips), headerWidth));
    }
    loggerName_->setText(context_.LoggerName);
    rowCount_->setText(QString::number(table_->RowCount()));
}

void HistoryWindow::PackRows()
{
    if (context_.Messages.AskBeforeLoss(PackTitle, PackQuestion, PromptIcon::Information, PromptButtons::YesNo)
        == PromptAnswer::Yes) {
        FillTable(true);
    }
}

void HistoryWindow::SaveToFile()
{
    FileDialogRequest request;
    request.Title = QStringLiteral("Save As");
    request.Filter = QStringLiteral("Comma Separated Value Files (*.csv)|*.csv");
    request.DefaultExtension = QStringLiteral(".csv");
    request.InitialFileName = context_.AppFolder + u'/' + DefaultExportFileName(QDateTime::currentDateTime());
    request.ConfirmOverwrite = true;
    const std::optional<QString> path = context_.Dialogs.SaveFile(request);
    if (path) {
        bool saved = false;
        {
            BusyScope busy(context_.Hourglass);
            ProgressSteps steps(*progressBar_, 1, std::max(2, table_->RowCount()));
            progressBar_->setVisible(true);
            // Line 1 carries the time of writing, not the time the dialog opened.
            const QString firstLine = HistoryExportFirstLine(loggerName_->text(), QDateTime::currentDateTime(),
                                                             context_.FlowMode, context_.FlowDescription);
            saved = RunTrapped(
                context_.ErrorTrapping,
                [&] { return WriteHistoryCsv(*path, *table_, firstLine, [&steps](int row) { steps.SetValue(row); }); },
                [] { return false; });
            progressBar_->setVisible(false);
        }
        // The file is written whole or not at all; the user learns which.
        if (!saved) {
            context_.Messages.Tell(QStringLiteral("Save to File"),
                                   QStringLiteral("Error: file was not saved correctly."), PromptIcon::Error);
        }
    }
    okButton_->setFocus();
}

void HistoryWindow::OpenGraph()
{
    if (context_.OpenGraph) {
        context_.OpenGraph(*table_, loggerName_->text(), this);
    }
}

// Every record goes to the archive, packed or not: packing only chooses the
// rows shown.
void HistoryWindow::SaveToArchive()
{
    if (context_.SaveToArchive) {
        context_.SaveToArchive(this);
    }
}

void HistoryWindow::CloseTable()
{
    {
        BusyScope busy(context_.Hourglass);
        model_->BeginRebuild();
        tableView_->setModel(nullptr);
        model_->EndRebuild();
    }
    accept();
}
