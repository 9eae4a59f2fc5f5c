#pragma once
// The names screen readers and test tools find the controls by: each control is announced by
// the caption the operator reads beside it.
class QWidget;

namespace app {

// Pairs every control under `root` with its caption (a label whose buddy it is, or the label of
// its row in a form, which then becomes its buddy) and names it after the caption, without "&"
// and a trailing ":". A name given in the panel's own code is kept. Where Qt reads the caption
// itself (a label beside the control, its buddy), the name is left to Qt, so it follows the
// caption when the caption changes with the calculation mode. Lists are announced by that name,
// not by their current item. Run once the window is composed, and on each top-level panel.
void NameControls(QWidget& root);

} // namespace app
