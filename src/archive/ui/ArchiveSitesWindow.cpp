#include "archive/ui/ArchiveSitesWindow.h"

#include "archive/ArchiveTime.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString StampText(const ArchiveTimeText& time, const std::optional<qint64>& stamp)
{
    return stamp ? time.Text(*stamp, 0) : QString();
}

} // namespace

ArchiveSitesWindow::ArchiveSitesWindow(const QString& archiveText, const std::vector<ArchiveSite>& sites,
                                       QWidget* parent)
    : QDialog(parent), sites_(new QTreeWidget), open_(nullptr)
{
    setWindowTitle(QStringLiteral("Open Archive"));
    setObjectName(QStringLiteral("frmOpenArchive"));
    auto* caption = new QLabel(QStringLiteral("Sites in the archive %1:").arg(archiveText));
    caption->setWordWrap(true);
    sites_->setObjectName(QStringLiteral("lvwSites"));
    sites_->setRootIsDecorated(false);
    sites_->setUniformRowHeights(true);
    sites_->setHeaderLabels({QStringLiteral("Site"), QStringLiteral("Records"), QStringLiteral("First Record"),
                             QStringLiteral("Last Record"), QStringLiteral("Last Collected")});
    const ArchiveTimeText time(ArchiveTimeFormat::ShortDate);
    const QLocale locale;
    for (const ArchiveSite& site : sites) {
        auto* item = new QTreeWidgetItem(
            sites_, {site.Name, locale.toString(site.RecordCount), StampText(time, site.FirstStamp),
                     StampText(time, site.LastStamp),
                     site.LastCollection.isValid()
                         ? locale.toString(site.LastCollection.toLocalTime(), QLocale::ShortFormat)
                         : QString()});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        // A site without records has nothing to show.
        if (site.RecordCount == 0) {
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        }
    }
    for (int column = 0; column < sites_->columnCount(); ++column) {
        sites_->resizeColumnToContents(column);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    open_ = buttons->button(QDialogButtonBox::Open);
    open_->setObjectName(QStringLiteral("cmdOpen"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(sites_, 1);
    layout->addWidget(buttons);

    const auto chosen = [this] { open_->setEnabled(!SelectedSite().isEmpty()); };
    connect(sites_, &QTreeWidget::itemSelectionChanged, this, chosen);
    connect(sites_, &QTreeWidget::itemActivated, this, [this] {
        if (!SelectedSite().isEmpty()) {
            accept();
        }
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (int row = 0; row < sites_->topLevelItemCount(); ++row) {
        if (sites_->topLevelItem(row)->flags() & Qt::ItemIsSelectable) {
            sites_->setCurrentItem(sites_->topLevelItem(row));
            break;
        }
    }
    chosen();
    sites_->setFocus();
    resize(640, 320);
}

QString ArchiveSitesWindow::SelectedSite() const
{
    const QList<QTreeWidgetItem*> selected = sites_->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

QString ArchiveSitesWindow::ChosenSite() const
{
    return result() == QDialog::Accepted ? SelectedSite() : QString();
}
