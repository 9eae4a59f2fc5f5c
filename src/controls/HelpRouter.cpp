#include "controls/HelpRouter.h"

#include "core/HelpBook.h"
#include "core/OperatorDialogs.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace core {

HelpRouter::HelpRouter(const HelpBook& book, OperatorDialogs& dialogs, QObject* parent)
    : QObject(parent), book(book), dialogs(dialogs) {}

namespace {

// Walks up from the widget under the mouse to the first named control; Qt's own inner widgets
// (viewports, line edits of combo boxes) have no role of their own.
QString KeyOfNamedControl(const HelpBook& book, const QObject* object) {
    for (; object; object = object->parent()) {
        if (!object->isWidgetType()) return {};
        const QString name = object->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        const QString key = QStringLiteral("CBF_") + name;
        return book.Find(key.toStdString()) ? key : QString();
    }
    return {};
}

} // namespace

QString HelpRouter::HelpKeyFor(const QObject* object) const {
    // A caption answers for the field it names, unless it is a control with help of its own.
    if (const auto* label = qobject_cast<const QLabel*>(object); label && label->buddy()) {
        const QString name = label->objectName();
        const QString own = QStringLiteral("CBF_") + name;
        if (!name.isEmpty() && book.Find(own.toStdString())) return own;
        return KeyOfNamedControl(book, label->buddy());
    }
    return KeyOfNamedControl(book, object);
}

bool HelpRouter::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    if (!mouse && type != QEvent::ContextMenu) return false;
    if (mouse && static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) return false;
    if (type == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Mouse)
        return false;
    // A click no control took travels up through the parents; it keeps the answer of the widget
    // under the mouse, so a plain caption or a page's blank area never shows the help of the
    // tabs around it.
    const QObject* target = watched;
    if (watched->isWidgetType()) {
        const QPoint at = mouse ? static_cast<QMouseEvent*>(event)->position().toPoint()
                                : static_cast<QContextMenuEvent*>(event)->pos();
        if (QWidget* child = static_cast<QWidget*>(watched)->childAt(at)) target = child;
    }
    const QString key = HelpKeyFor(target);
    if (key.isEmpty()) return false;
    if (type == QEvent::MouseButtonPress) {
        const HelpEntry* entry = book.Find(key.toStdString());
        dialogs.Message(entry->title, entry->text);
    }
    return true;
}

} // namespace core
