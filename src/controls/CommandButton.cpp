#include "controls/CommandButton.h"

#include <QPushButton>

namespace core {

QPushButton* MakeRoleButton(QWidget* parent, const char* role, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(role));
    return button;
}

QPushButton* MakeCommandButton(QWidget* parent, const QString& role, const QString& text,
                               Qt::Key shortcut) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(role);
    button->setShortcut(QKeySequence(shortcut));
    button->setMinimumWidth(64);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace core
