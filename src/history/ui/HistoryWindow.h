#pragma once

#include "config/LoggerSettings.h"
#include "history/HistoryExport.h"
#include "history/HistoryTable.h"
#include "history/ui/OpenHistoryGraph.h"

#include <QDialog>
#include <memory>

class BusyCursor;
class FileDialogs;
class HistoryRecords;
class HistoryTableModel;
class Prompter;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

// What the history window works with, as the main window hands it over.
struct HistoryWindowContext {
    const HistoryRecords& records;
    const LoggerSettings& settings;
    HistoryFlowSource flow;
    HistoryFlowDescription flowDescription;
    QString loggerName;
    QString appFolder;
    bool errorTrapping = true;
    Prompter& prompter;
    FileDialogs& fileDialogs;
    BusyCursor& busyCursor;
    OpenHistoryGraph openGraph = {}; // empty: no Graph button
};

// frmHistory, "Historical Data Viewer": the downloaded records as a table,
// with Pack and Save to File.
class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit HistoryWindow(HistoryWindowContext context, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Builds the table from the records; with pack, without repeated rows.
    void FillList(bool pack);

    const HistoryTable& table() const { return table_; }
    QTableView* view() const { return lvwHistory_; }

public slots:
    void cmdPack_Click();
    void cmdSave_Click();
    void cmdOK_Click();
    void cmdGraph_Click();

private:
    void showFormattingProgress(int maximum, const std::function<void()>& work);

    HistoryWindowContext context_;
    HistoryTable table_;
    HistoryTableModel* model_;
    QTableView* lvwHistory_;
    QLabel* lblLoggerName_;
    QLabel* lblNumRecords_;
    QProgressBar* progressBar_;
    QPushButton* cmdOK_;
    QPushButton* cmdSave_;
    QPushButton* cmdPack_;
    QPushButton* cmdGraph_;
};
