#include "app/WheelGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QWheelEvent>
#include <QWidget>

namespace app {

namespace {

// The control the wheel would change: the widget itself or the spin box or list it is part of
// (a spin box's line edit).
QWidget* GuardedControl(QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    for (int depth = 0; widget && depth < 2; ++depth, widget = widget->parentWidget()) {
        if (qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
            qobject_cast<QAbstractSlider*>(widget))
            return widget;
    }
    return nullptr;
}

// Clicks and Tab still give the focus; the wheel alone does not.
void KeepWheelFromFocus(QWidget* widget) {
    if (widget->focusPolicy() == Qt::WheelFocus) widget->setFocusPolicy(Qt::StrongFocus);
}

} // namespace

WheelGuard::WheelGuard(QObject* parent) : QObject(parent) {}

void WheelGuard::Install() {
    for (QWidget* widget : QApplication::allWidgets())
        if (GuardedControl(widget) == widget) KeepWheelFromFocus(widget);
    qApp->installEventFilter(this);
}

void WheelGuard::Remove() {
    qApp->removeEventFilter(this);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish) {
        if (QWidget* control = GuardedControl(watched); control == watched)
            KeepWheelFromFocus(control);
        return false;
    }
    if (event->type() != QEvent::Wheel) return false;
    QWidget* control = GuardedControl(watched);
    if (!control || control->hasFocus() || !control->parentWidget()) return false;
    // A scrollbar is itself a slider: the wheel over it always scrolls.
    if (qobject_cast<QAbstractSlider*>(control) && control->inherits("QScrollBar")) return false;
    // The page behind takes the wheel: the nearest widget behind the control that handles it
    // (the scroll area's viewport), as an unhandled wheel travels.
    auto* wheel = static_cast<QWheelEvent*>(event);
    for (QWidget* behind = control->parentWidget(); behind; behind = behind->parentWidget()) {
        const QPointF at = behind->mapFromGlobal(wheel->globalPosition());
        QWheelEvent passed(at, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                           wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                           wheel->source());
        passed.setAccepted(false);
        QApplication::sendEvent(behind, &passed);
        if (passed.isAccepted() || behind->isWindow()) break;
    }
    return true;
}

} // namespace app
