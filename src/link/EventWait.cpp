#include "link/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

namespace comm {

EventWait::EventWait() : wakeTimer(new QTimer) {
    wakeTimer->setSingleShot(true);
    wakeTimer->setTimerType(Qt::PreciseTimer);
}

EventWait::~EventWait() {
    delete wakeTimer;
}

void EventWait::ProcessEventsFor(int maxMs) {
    wakeTimer->start(maxMs < 0 ? 0 : maxMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wakeTimer->stop();
}

void EventWait::ProcessEventsQuietlyFor(int maxMs, QSocketNotifier* dataNotifier) {
    dataNotifier->setEnabled(false);
    wakeTimer->start(maxMs < 0 ? 0 : maxMs);
    while (wakeTimer->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    dataNotifier->setEnabled(true);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace comm
