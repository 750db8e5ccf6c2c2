#pragma once

#include <QString>
#include <functional>

class RecordTable;
class QWidget;

// Opens a graph of the table as the history window shows it (packed or
// not), over the window. The application provides it, so that the history
// needs no graph code.
using OpenHistoryGraph = std::function<void(const RecordTable& table, const QString& loggerName, QWidget* parent)>;
