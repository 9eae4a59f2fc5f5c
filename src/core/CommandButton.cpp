#include "core/CommandButton.h"

#include <QPushButton>

namespace core {

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
