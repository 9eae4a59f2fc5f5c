#include "core/HelpRouter.h"

#include "core/HelpBook.h"
#include "core/OperatorDialogs.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWidget>

namespace core {

HelpRouter::HelpRouter(const HelpBook& book, OperatorDialogs& dialogs, QObject* parent)
    : QObject(parent), book(book), dialogs(dialogs) {}

QString HelpRouter::HelpKeyFor(const QObject* object) const {
    // Walk up from the widget under the mouse to the first named control; Qt's own inner
    // widgets (viewports, line edits of combo boxes) have no role of their own.
    for (; object; object = object->parent()) {
        if (!object->isWidgetType()) return {};
        const QString name = object->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        const QString key = QStringLiteral("CBF_") + name;
        return book.Find(key.toStdString()) ? key : QString();
    }
    return {};
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
    const QString key = HelpKeyFor(watched);
    if (key.isEmpty()) return false;
    if (type == QEvent::MouseButtonPress) {
        const HelpEntry* entry = book.Find(key.toStdString());
        dialogs.Message(entry->title, entry->text);
    }
    return true;
}

} // namespace core
