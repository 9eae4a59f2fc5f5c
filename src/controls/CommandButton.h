#pragma once
// Buttons named by their role. Those of the command bar also have their function key and are
// reached by Tab without taking the focus from a field on a click.
#include <QString>
#include <Qt>

class QPushButton;
class QWidget;

namespace core {

QPushButton* MakeCommandButton(QWidget* parent, const QString& role, const QString& text,
                               Qt::Key shortcut);
QPushButton* MakeRoleButton(QWidget* parent, const char* role, const QString& text);

} // namespace core
