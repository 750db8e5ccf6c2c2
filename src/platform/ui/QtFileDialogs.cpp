#include "platform/ui/QtFileDialogs.h"

#include "platform/ui/DialogParent.h"
#include "platform/FileFilter.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

std::optional<QString> RunDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(DialogParent(), request.title);
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(QtFileFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension.startsWith(QLatin1Char('.')) ? request.defaultExtension.mid(1)
                                                                                   : request.defaultExtension);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);

    // An initial name such as "folder/*.set" only chooses the folder.
    const QString initial = QDir::fromNativeSeparators(request.initialFileName);
    const QFileInfo info(initial);
    if (initial.contains(QLatin1Char('*')) || initial.contains(QLatin1Char('?'))) {
        dialog.setDirectory(info.path());
    } else if (!initial.isEmpty()) {
        if (info.isDir()) {
            dialog.setDirectory(initial);
        } else {
            dialog.setDirectory(info.path());
            dialog.selectFile(info.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return WithDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExtension);
}

} // namespace

std::optional<QString> QtFileDialogs::openFile(const FileDialogRequest& request)
{
    return RunDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::saveFile(const FileDialogRequest& request)
{
    return RunDialog(request, QFileDialog::AcceptSave);
}
