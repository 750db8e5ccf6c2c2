#include "platform/ui/QtFileDialogs.h"

#include "platform/ui/DialogParent.h"
#include "platform/FileFilter.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

std::optional<QString> RunDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(DialogParent(), request.Title);
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(QtFileFilter(request.Filter));
    dialog.setDefaultSuffix(request.DefaultExtension.startsWith(QLatin1Char('.')) ? request.DefaultExtension.mid(1)
                                                                                   : request.DefaultExtension);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);

    // An initial name such as "folder/*.set" only chooses the folder.
    const QString initial = QDir::fromNativeSeparators(request.InitialFileName);
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
    return WithDefaultExtension(dialog.selectedFiles().constFirst(), request.DefaultExtension);
}

} // namespace

std::optional<QString> QtFileDialogs::OpenFile(const FileDialogRequest& request)
{
    return RunDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::SaveFile(const FileDialogRequest& request)
{
    return RunDialog(request, QFileDialog::AcceptSave);
}
