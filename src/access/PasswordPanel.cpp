#include "access/PasswordPanel.h"

#include "access/Password.h"
#include "core/OperatorDialogs.h"
#include "core/Text.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace access_ {

PasswordPanel::PasswordPanel(core::OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs(dialogs) {
    setObjectName(QStringLiteral("PASSWORDP"));
    setWindowTitle(tr("PASSWORD"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(tr("ENTER PASSWORD"), this);
    stringEnterPW = new QLineEdit(this);
    stringEnterPW->setObjectName(QStringLiteral("StringEnterPW"));
    stringEnterPW->setEchoMode(QLineEdit::Password);
    // Styles differ in the mask character (a bullet in most) and some show the last character
    // for a moment; here every character is a star at once, on every platform.
    stringEnterPW->setStyleSheet(
        QStringLiteral("lineedit-password-character: 42; lineedit-password-mask-delay: 0;"));
    stringEnterPW->setMaxLength(kPasswordMaxLength);
    stringEnterPW->setMinimumWidth(
        stringEnterPW->fontMetrics().horizontalAdvance(QLatin1Char('*')) * kPasswordMaxLength + 16);
    caption->setBuddy(stringEnterPW);
    layout->addWidget(caption);
    layout->addWidget(stringEnterPW);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(stringEnterPW, &QLineEdit::returnPressed, this, &PasswordPanel::CBF_StringEnterPW);
}

bool PasswordPanel::Ask() {
    if (isVisible()) return false;
    stringEnterPW->clear();
    stringEnterPW->setFocus();
    return exec() == QDialog::Accepted;
}

void PasswordPanel::CBF_StringEnterPW() {
    if (PasswordMatches(core::BytesOfText(stringEnterPW->text()))) {
        accept();
        return;
    }
    dialogs.Message("ATTENTION!", "Wrong password. \nPlease try again.");
    stringEnterPW->clear();
    stringEnterPW->setFocus();
}

PasswordTrigger::PasswordTrigger(core::OperatorDialogs& dialogs, QWidget* window)
    : QObject(window), panel(new PasswordPanel(dialogs, window)) {}

void PasswordTrigger::Watch(QWidget* widget) {
    widget->installEventFilter(this);
}

bool PasswordTrigger::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick ||
        static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
        return QObject::eventFilter(watched, event);
    // Taken here: passed on, the double click would reach the main window, which restores its
    // size on a right double click.
    event->accept();
    if (!opening) {
        opening = true;
        // The popup runs its own loop; it opens once the click has been delivered, not inside it.
        QMetaObject::invokeMethod(this, &PasswordTrigger::Open, Qt::QueuedConnection);
    }
    return true;
}

void PasswordTrigger::Open() {
    opening = false;
    if (panel->Ask()) emit Unlocked();
}

} // namespace access_
