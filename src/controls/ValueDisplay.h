#pragma once
// A read-only value as the panels show one: a sunken frame, the number to the right, "0" until
// the first value comes.
class QLabel;
class QWidget;

namespace core {

QLabel* MakeValueDisplay(QWidget* parent, const char* role, int minimumWidth = 0);

} // namespace core
