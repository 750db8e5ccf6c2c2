#pragma once

#include <QAbstractTableModel>

class RecordTable;

// The history table for a view: cells come from the table as they are
// shown, so 200 000 rows cost no more than the rows on screen.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HistoryTableModel(const RecordTable& table, QObject* parent = nullptr);

    // Call around a rebuild of the table.
    void BeginRebuild() { beginResetModel(); }
    void EndRebuild() { endResetModel(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const RecordTable& table_;
};
