#pragma once
// Which event loop the program runs on.
#include <QtGlobal>

namespace core {

// Qt's own event dispatcher rather than GLib's. GLib writes to its wake-up descriptor for every
// event posted (each repaint request, each timer started), Qt's only once until the loop has
// run: with live values shown thousands of times a second, that is most of the event loop's
// system calls. Call it before the application object is made. A QT_NO_GLIB already set in the
// environment is left as it is.
inline void UseQtEventDispatcher() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
}

} // namespace core
