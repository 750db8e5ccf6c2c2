#pragma once

#include "history/HistoryExport.h"
#include "history/RecordTable.h"
#include "history/ui/OpenHistoryGraph.h"

#include <QDialog>
#include <memory>

class BusyCursor;
class FileDialogs;
class HistoryTableModel;
class Prompter;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

// What the history window works with: the records of a download or of a
// site in the archive, as a table, and what its export's first line names.
struct HistoryWindowContext {
    std::unique_ptr<RecordTable> Table;
    uint8_t FlowMode = 0;
    HistoryFlowDescription FlowDescription;
    QString LoggerName;
    QString AppFolder;
    bool ErrorTrapping = true;
    Prompter& Messages;
    FileDialogs& Dialogs;
    BusyCursor& Hourglass;
    OpenHistoryGraph OpenGraph = {}; // empty: no Graph button
    std::function<void(QWidget* parent)> SaveToArchive = {}; // empty: no Save to Archive button
};

// frmHistory, "Historical Data Viewer": the records as a table, with Pack
// and Save to File.
class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit HistoryWindow(HistoryWindowContext context, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Builds the table from the records; with pack, without repeated rows.
    void FillTable(bool pack);

    const RecordTable& Table() const { return *table_; }
    QTableView* View() const { return tableView_; }

public slots:
    void PackRows();
    void SaveToFile();
    void CloseTable();
    void OpenGraph();
    void SaveToArchive();

private:
    HistoryWindowContext context_;
    RecordTable* table_;
    HistoryTableModel* model_;
    QTableView* tableView_;
    QLabel* loggerName_;
    QLabel* rowCount_;
    QProgressBar* progressBar_;
    QPushButton* okButton_;
    QPushButton* saveButton_;
    QPushButton* packButton_;
    QPushButton* graphButton_;
    QPushButton* archiveButton_;
};
