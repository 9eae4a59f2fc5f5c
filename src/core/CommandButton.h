#pragma once
// The buttons of the command bar: named by their role, with their function key, reached by Tab
// but not taking the focus from a field on a click.
#include <QString>
#include <Qt>

class QPushButton;
class QWidget;

namespace core {

QPushButton* MakeCommandButton(QWidget* parent, const QString& role, const QString& text,
                               Qt::Key shortcut);

} // namespace core
