#include "controls/FileChooser.h"

#include <QFileDialog>
#include <QMimeDatabase>

namespace core {

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
    // The kind of entry is known from its status; nothing is opened.
    if (info.isDir()) return icon(QAbstractFileIconProvider::Folder);
    return icon(QAbstractFileIconProvider::File);
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
    if (info.isDir()) return QFileDialog::tr("Folder");
    // Devices, fifos and sockets are told by their status; other files by their name only.
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    if (mime.isDefault() && info.isFile()) return QFileDialog::tr("File");
    return mime.comment();
}

QString ChooseFile(QWidget* parent, const QString& title, const QString& start,
                   const QString& filter, bool forWriting, bool confirmOverwrite) {
    // Opens in the start's folder with its name filled in, as the static dialogs do.
    const QFileInfo startInfo(start);
    const bool startIsFolder = startInfo.isDir();
    QFileDialog dialog(parent, title,
                       startIsFolder ? startInfo.absoluteFilePath() : startInfo.absolutePath(),
                       filter);
    NameOnlyIconProvider icons;
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(forWriting ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forWriting ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    if (!startIsFolder) dialog.selectFile(startInfo.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace core
