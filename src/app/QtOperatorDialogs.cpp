#include "app/QtOperatorDialogs.h"

#include "controls/FileChooser.h"
#include "core/CommandGate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace app {

namespace {
QString Q(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), qsizetype(s.size()));
}
} // namespace

bool QtOperatorDialogs::Closed() const {
    return gate && gate->Closed();
}

void QtOperatorDialogs::Message(const std::string& title, const std::string& text) {
    if (Closed()) return;
    QMessageBox::information(parent, Q(title), Q(text));
}

bool QtOperatorDialogs::Confirm(const std::string& title, const std::string& text) {
    if (Closed()) return false;
    return QMessageBox::question(parent, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtOperatorDialogs::ConfirmLoss(const std::string& title, const std::string& text) {
    if (Closed()) return false;
    return QMessageBox::question(parent, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtOperatorDialogs::Prompt(const std::string& title,
                                                     const std::string& text,
                                                     const std::string& initial) {
    if (Closed()) return std::nullopt;
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, Q(title), Q(text), QLineEdit::Normal, Q(initial), &ok);
    if (!ok) return std::nullopt;
    return answer.toLocal8Bit().toStdString();
}

core::OperatorDialogs::FileSelection
QtOperatorDialogs::SelectFile(const std::string& title, const std::string& startDirectory,
                              const std::string& defaultName, const std::string& filter,
                              bool forWriting) {
    if (Closed()) return {};
    const QString start = QDir(Q(startDirectory)).filePath(Q(defaultName));
    const QString filterText = Q(filter) + ";;*";
    const QString path = core::ChooseFile(parent, Q(title), start, filterText, forWriting, false);
    if (path.isEmpty()) return {};
    const bool exists = QFileInfo(path).isFile();
    return {exists ? FileChoice::Existing : FileChoice::New, path.toLocal8Bit().toStdString()};
}

std::optional<core::OperatorDialogs::PrintTarget> QtOperatorDialogs::SelectPrinter() {
    if (Closed()) return std::nullopt;
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintTarget target;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        target.pdfFile = QFile::encodeName(printer.outputFileName()).toStdString();
    else
        target.printerName = printer.printerName().toLocal8Bit().toStdString();
    return target;
}

} // namespace app
