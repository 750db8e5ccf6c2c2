#pragma once

#include "archive/ArchiveRecords.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTreeWidget;

// frmOpenArchive, "Open Archive": the sites an archive holds, with their
// record counts, first and last records and last collection. Open, Enter
// or a double click picks the selected site; Cancel or Escape none.
class ArchiveSitesWindow : public QDialog {
    Q_OBJECT
public:
    ArchiveSitesWindow(const QString& archiveText, const std::vector<ArchiveSite>& sites, QWidget* parent = nullptr);

    // The site picked; empty when none was.
    QString ChosenSite() const;

private:
    QString SelectedSite() const;

    QTreeWidget* sites_;
    QPushButton* open_;
};
